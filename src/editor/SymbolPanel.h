#pragma once
// The symbol search of the cell panel: a box where the author types a word and a grid of the
// library's symbols that match it, in the editor's language. A result double-clicked or dragged onto
// a cell becomes a picture file ready to be copied beside the board.
#include <QHash>
#include <QIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "editor/EditorTexts.h"
#include "symbols/SymbolLibrary.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace nq {

/// The language the library searches in for the editor's interface language.
symbols::Language SymbolLanguage(authoring::Language language);

class SymbolPanel : public QWidget {
  Q_OBJECT
public:
  SymbolPanel(const EditorTexts& texts, QWidget* parent = nullptr);

  /// The library to search; null leaves the box without results.
  void SetLibrary(std::shared_ptr<symbols::SymbolLibrary> library);
  /// Whether the author can change the picture folders here.
  void SetFoldersEnabled(bool enabled);
  void Retranslate();
  /// Searches for the box's text now and fills the grid.
  void Search();
  /// Puts the keyboard in the search box with its text selected.
  void FocusSearch();
  /// The symbol of the grid's row, null when there is none.
  const symbols::Symbol* ResultAt(int row) const;
  /// The symbol as a picture file the board can use: a user's PNG, JPEG or BMP as it is; anything
  /// else drawn to a 512 px PNG in a scratch folder, named after the symbol. Empty when it cannot be
  /// drawn.
  QString PictureFile(const symbols::Symbol& symbol);

signals:
  /// A result was chosen (double-clicked or Return): its picture file, from PictureFile.
  void PictureChosen(const QString& path);
  /// The author asked to add or remove picture folders.
  void FoldersRequested();
  /// A picture could not be made of the chosen symbol.
  void PictureFailed();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Choose(int row);
  QIcon IconOf(const symbols::Symbol& symbol);
  QString SourceOf(const symbols::Symbol& symbol) const;

  const EditorTexts& Texts;
  std::shared_ptr<symbols::SymbolLibrary> Library;
  std::shared_ptr<const symbols::SymbolIndex> Shown; // keeps the results' symbols alive
  std::vector<const symbols::Symbol*> Results;
  QHash<const symbols::Symbol*, QIcon> Icons;
  QTemporaryDir Scratch;
  int Drawn = 0;
  QTimer Waiting; // searches again while the library is still being loaded
  QTimer Typing;  // searches once the author pauses, not on every key of a word
  QLabel* Heading = nullptr;
  QLineEdit* Box = nullptr;
  QListWidget* Grid = nullptr;
  QLabel* Note = nullptr;
  QPushButton* Folders = nullptr;
};

} // namespace nq
