#pragma once
// The side panel that edits the chosen cells: every field the player reads from a cell. A field
// changed here is set on all chosen cells at once, as one step that undoes; fields that differ
// between the chosen cells show "(several)" and are left alone until the author types.
#include <QWidget>
#include <vector>

#include "authoring/BoardEdits.h"
#include "editor/EditorTexts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QGroupBox;

namespace nq {

class SymbolPanel;

class CellPanel : public QWidget {
  Q_OBJECT
public:
  CellPanel(const EditorTexts& texts, QWidget* parent = nullptr);

  /// Shows the fields of the chosen cells; picturePathUtf8 is the first cell's picture file for the preview.
  void ShowCells(const std::vector<CellRecord>& cells, const QString& title, const QString& picturePath);
  void Retranslate();
  /// Puts the keyboard in the caption field with its text selected.
  void FocusCaption();
  /// Puts the keyboard in the field of that object name ("read", "link", "command"...).
  void FocusField(const QString& name);
  /// Hands on what was typed into a field and not yet confirmed (Return or leaving the field), so
  /// a save, a close or an undo started from the keyboard never passes it over.
  void CommitPending();
  /// The symbol search that goes with the fields (the window places it).
  SymbolPanel& Symbols() const { return *SymbolSearch; }

signals:
  /// Fields the author changed; label names the change for the undo menu.
  void FieldsEdited(const authoring::CellFields& fields, const QString& label);
  void ChoosePictureRequested();
  void ChooseSoundRequested();
  void ChooseLinkRequested();
  void NewLinkedBoardRequested();
  /// Return was pressed in a field: the author is done with it.
  void EditingDone();
  /// A text that a board cannot hold was typed (the characters refused, UTF-8).
  void TextRefused(const QString& characters);

private:
  void Build();
  void FillCommands();
  void TextEdited(QLineEdit* field, std::optional<std::string> authoring::CellFields::*member,
                  const char* label);
  void CommandChosen();
  void PickColour(bool frame);
  void SetMixed(QLineEdit* field, const std::vector<std::string>& values);

  const EditorTexts& Texts;
  bool Filling = false;
  int KnownCommands = 0;
  std::vector<CellRecord> Shown;
  QLabel* Title = nullptr;
  QLabel* CaptionLabel = nullptr;
  QLineEdit* Caption = nullptr;
  QLabel* ReadLabel = nullptr;
  QLineEdit* Read = nullptr;
  QCheckBox* HideCaption = nullptr;
  QGroupBox* PictureBox = nullptr;
  QLabel* Preview = nullptr;
  QLineEdit* Picture = nullptr;
  QPushButton* ChoosePicture = nullptr;
  QPushButton* RemovePicture = nullptr;
  QLabel* SoundLabel = nullptr;
  QPushButton* ChooseSound = nullptr;
  QLabel* LinkLabel = nullptr;
  QLineEdit* Link = nullptr;
  QPushButton* ChooseLink = nullptr;
  QPushButton* NewLink = nullptr;
  QLabel* CommandLabel = nullptr;
  QComboBox* Command = nullptr;
  QLabel* CommandHelp = nullptr;
  QLineEdit* Argument = nullptr;
  QLabel* FrameLabel = nullptr;
  QPushButton* FrameColour = nullptr;
  QLabel* FontLabel = nullptr;
  QComboBox* FontName = nullptr;
  QSpinBox* FontSize = nullptr;
  QPushButton* TextColour = nullptr;
  QCheckBox* Bold = nullptr;
  QCheckBox* Italic = nullptr;
  QCheckBox* Underline = nullptr;
  SymbolPanel* SymbolSearch = nullptr;
};

} // namespace nq
