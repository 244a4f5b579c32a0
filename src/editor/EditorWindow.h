#pragma once
// The editor's main window: the board canvas, the cell panel and the problems list around one board
// document. Every change goes through the document as one step that undoes; the widgets only follow it.
#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <optional>

#include "authoring/BoardCheck.h"
#include "authoring/BoardDocument.h"
#include "authoring/BoardEdits.h"
#include "editor/EditorTexts.h"
#include "ui/PrintBoards.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QLockFile;
class QDockWidget;
class QMenu;
class QTranslator;
class QPagedPaintDevice;

namespace nq::symbols {
class SymbolLibrary;
}

namespace nq {

class BoardCanvas;
class CellPanel;
class PictureDiskCache;

class EditorWindow : public QMainWindow {
  Q_OBJECT
public:
  EditorWindow(authoring::Language language, PictureDiskCache* disk);
  ~EditorWindow() override;

  /// Opens the board (offering its autosave copy when one was left behind); false when refused.
  bool OpenBoard(const QString& path);
  /// True when the last board refused was open in another editor window.
  bool RefusedAsOpenElsewhere() const { return OpenElsewhere; }
  /// Offers the copy of a board never saved that an editor which did not close normally left behind;
  /// true when the author took it and it is now on screen.
  bool RecoverUntitled();
  /// The folder where the work on boards never saved (or in folders that cannot be written) is copied
  /// while it changes: the editor's own data folder unless set.
  QString UntitledCopyFolder() const { return UntitledFolder; }
  void SetUntitledCopyFolder(const QString& folder) { UntitledFolder = folder; }
  /// Starts with a new unsaved board.
  void StartUntitled(int columns, int rows);
  /// The symbol library the cell panel searches, and the program settings file that keeps the user's
  /// picture folders (none: the folders cannot be changed).
  void SetSymbolLibrary(std::shared_ptr<symbols::SymbolLibrary> library, const QString& settingsFile);
  /// Where printing finds the bundled data and the shared settings the player reads.
  void SetPrintFiles(const std::string& dataFolderUtf8, const std::string& sharedFileUtf8);
  /// Prints the board (or, as a book, the set it opens) into a PDF; the report says what went wrong.
  PrintReport ExportPdf(const QString& pdfPath, bool wholeSet);
  /// The same onto a device the caller opened (a printer, a preview).
  PrintReport PrintTo(QPagedPaintDevice& device, bool wholeSet);

  /// When set, closing the editor offers to start the player again on the board.
  void SetReturnToPlayer(bool offer) { ReturnToPlayer = offer; }
  /// How long after the first unsaved change the autosave copy is written.
  void SetAutosaveDelay(int milliseconds) { AutosaveTimer.setInterval(milliseconds); }

  const authoring::BoardDocument& Document() const { return *Doc; }
  BoardCanvas& Canvas() { return *TheCanvas; }

  /// Runs one change on the document and shows it; false when nothing changed.
  bool Edit(const QString& label, const std::function<void(Board&)>& change);

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildActions();
  void BuildMenus();
  void Retranslate();
  void SetLanguage(authoring::Language language);
  void LoadQtTexts();
  void DocumentChanged();
  void SelectionChanged();
  void UpdateTitleAndActions();
  void RunCheck();
  void WriteAutosave();
  QString UntitledCopy() const;
  void RememberRecent(const QString& path);
  void FillRecentMenu();

  bool MaybeSave();
  bool Save();
  bool SaveAs();
  void NewBoard();
  void Open();
  void TryInPlayer();
  void Undo();
  void Redo();
  void Copy();
  void Cut();
  void Paste();
  void ClearSelected();
  /// Swaps the chosen cell with its neighbour in that direction; the choice follows the cell.
  void MoveCell(int columns, int rows);
  void InsertRow(bool below);
  void DeleteRow();
  void InsertColumn(bool right);
  void DeleteColumn();
  void BoardOptions();
  void ApplyFields(const authoring::CellFields& fields, const QString& label);
  void ChoosePicture();
  void SetPictureFromFile(CellPosition at, const QString& path);
  /// Copies the picture file beside the board once, named after the first cell's caption, and sets
  /// it on all the cells as one step.
  void SetPictureOfCells(const std::vector<CellPosition>& cells, const QString& path);
  void SymbolFolders();
  void ProposePictures();
  std::optional<bool> AskWholeSet(const QString& title);
  bool SavedForPrinting();
  void Print();
  void ExportPdfAsked();
  void ShowPrintReport(const PrintReport& report, const QString& done);
  void ChooseSound();
  void ChooseLink();
  void NewLinkedBoard();
  void FileDropped(CellPosition at, const QString& path);
  void ShowRefused(const QString& characters);
  void ShowShortcuts();
  bool HasFolder();
  /// Why the board at path was not opened, in the editor's language.
  QString RefusalText(const QString& path) const;
  /// Holds the board against a second editor window, in `held` until the caller keeps it (nothing
  /// when this window holds it already); false (and a note) when another window has it.
  bool LockBoard(const QString& path, std::unique_ptr<QLockFile>& held);
  QString PlayerProgram() const;
  bool StartPlayer(const QString& board);

  EditorTexts Texts;
  std::optional<authoring::BoardDocument> Doc;
  std::unique_ptr<QLockFile> BoardLock; // while a board is open here, no other editor opens it
  bool OpenElsewhere = false;
  QString UntitledFolder;
  bool Committing = false; // handing on the panel's unconfirmed text
  BoardCanvas* TheCanvas = nullptr;
  CellPanel* Panel = nullptr;
  QDockWidget* PanelDock = nullptr;
  QDockWidget* ProblemsDock = nullptr;
  QListWidget* ProblemsList = nullptr;
  QLabel* Status = nullptr;
  std::optional<authoring::CellBlock> Clipboard;
  std::vector<authoring::BoardProblem> Problems;
  QTimer AutosaveTimer;
  QTimer CheckTimer;
  bool ReturnToPlayer = false;
  std::shared_ptr<symbols::SymbolLibrary> Symbols;
  QString SettingsFile;
  PrintOptions Printing;
  std::unique_ptr<QTranslator> QtTexts; // Qt's own dialogs (print preview, file choosers) in our language

  QMenu* FileMenu = nullptr;
  QMenu* RecentMenu = nullptr;
  QMenu* EditMenu = nullptr;
  QMenu* GridMenu = nullptr;
  QMenu* BoardMenu = nullptr;
  QMenu* LanguageMenu = nullptr;
  QMenu* HelpMenu = nullptr;
  QAction *NewAction, *OpenAction, *SaveAction, *SaveAsAction, *TryAction, *PrintAction, *PdfAction,
      *QuitAction;
  QAction *UndoAction, *RedoAction, *CutAction, *CopyAction, *PasteAction, *ClearAction, *SelectAllAction;
  QAction *EditCaptionAction, *EditReadAction, *EditLinkAction, *ChooseCommandAction, *NewLinkAction,
      *ChoosePictureAction, *FocusBoardAction;
  QAction *MoveLeftAction, *MoveRightAction, *MoveUpAction, *MoveDownAction;
  QAction *RowAboveAction, *RowBelowAction, *DeleteRowAction, *ColumnLeftAction, *ColumnRightAction,
      *DeleteColumnAction;
  QAction *OptionsAction, *ProblemsAction, *SymbolFoldersAction, *FindSymbolAction, *ProposeAction,
      *ShortcutsAction;
  QAction *CatalanAction, *SpanishAction, *EnglishAction;
  QActionGroup* LanguageGroup = nullptr;
};

} // namespace nq
