#include "editor/EditorWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QLockFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTranslator>
#include <QVBoxLayout>
#include <cerrno>
#include <csignal>
#include <unistd.h>

#include "authoring/BoardText.h"
#include "boards/PathResolver.h"
#include "editor/BoardCanvas.h"
#include "editor/CellPanel.h"
#include "editor/EditorDialogs.h"
#include "editor/SymbolPanel.h"
#include "linux/QtText.h"
#include "settings/AtomicFile.h"
#include "settings/ConfigLocation.h"
#include "settings/ProfileFile.h"
#include "symbols/SymbolSetup.h"
#include "text/Encoding.h"
#include "ui/QtTranslations.h"
#include "ui/SymbolPicture.h"

namespace nq {
namespace {

// A copy of lost work that the author declines goes to the desktop's trash, so a key pressed by
// mistake on the question (Escape answers No) can still be undone from there.
void GiveUpCopy(const QString& path) {
  // The trash lives in the user's data folder, which a fresh account may not have made yet; without
  // it, this Qt puts "trashed" files in folders below the working folder, so then the copy just goes.
  const bool trash = QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
  if (!trash || !QFile::moveToTrash(path)) QFile::remove(path);
}

using authoring::BoardDocument;

constexpr int MaxRecent = 8;

const char* const SaveFailedNote =
    "The folder or the file may be read-only, or the disk full. The file is as "
    "it was and your changes are still here: save them elsewhere with \"Save as\".";

QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

std::string LocalPath(const QString& path) {
  return path.toStdString();
}

} // namespace

EditorWindow::EditorWindow(authoring::Language language, PictureDiskCache* disk)
    : Texts(language), UntitledFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)) {
  setObjectName("editor");
  TheCanvas = new BoardCanvas(disk, this);
  TheCanvas->setObjectName("canvas");
  setCentralWidget(TheCanvas);
  Panel = new CellPanel(Texts, this);
  PanelDock = new QDockWidget(this);
  PanelDock->setObjectName("cellDock");
  // The panel scrolls on small screens; the board keeps most of the window.
  auto* panelScroll = new QScrollArea(this);
  panelScroll->setWidget(Panel);
  panelScroll->setWidgetResizable(true);
  panelScroll->setFrameShape(QFrame::NoFrame);
  auto* panelSplit = new QSplitter(Qt::Vertical, this);
  panelSplit->addWidget(panelScroll);
  panelSplit->addWidget(&Panel->Symbols());
  Panel->Symbols().show();
  panelSplit->setStretchFactor(0, 3);
  panelSplit->setStretchFactor(1, 2);
  PanelDock->setWidget(panelSplit);
  PanelDock->setFeatures(QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::RightDockWidgetArea, PanelDock);
  ProblemsList = new QListWidget(this);
  ProblemsList->setObjectName("problems");
  ProblemsDock = new QDockWidget(this);
  ProblemsDock->setObjectName("problemsDock");
  ProblemsDock->setWidget(ProblemsList);
  addDockWidget(Qt::BottomDockWidgetArea, ProblemsDock);
  Status = new QLabel(this);
  statusBar()->addWidget(Status, 1);

  BuildActions();
  BuildMenus();
  LoadQtTexts();

  AutosaveTimer.setSingleShot(true);
  AutosaveTimer.setInterval(3000);
  connect(&AutosaveTimer, &QTimer::timeout, this, &EditorWindow::WriteAutosave);
  CheckTimer.setSingleShot(true);
  CheckTimer.setInterval(300);
  connect(&CheckTimer, &QTimer::timeout, this, &EditorWindow::RunCheck);

  connect(TheCanvas, &BoardCanvas::SelectionChanged, this, &EditorWindow::SelectionChanged);
  connect(TheCanvas, &BoardCanvas::SwapRequested, this, [this](CellPosition from, CellPosition to) {
    Edit(Texts("Swap with the next cell"), [&](Board& b) { authoring::SwapCells(b, from, to); });
  });
  connect(TheCanvas, &BoardCanvas::FileDropped, this, &EditorWindow::FileDropped);
  connect(TheCanvas, &BoardCanvas::EditCaptionRequested, Panel, &CellPanel::FocusCaption);
  connect(Panel, &CellPanel::FieldsEdited, this, &EditorWindow::ApplyFields);
  connect(Panel, &CellPanel::ChoosePictureRequested, this, &EditorWindow::ChoosePicture);
  connect(Panel, &CellPanel::ChooseSoundRequested, this, &EditorWindow::ChooseSound);
  connect(Panel, &CellPanel::ChooseLinkRequested, this, &EditorWindow::ChooseLink);
  connect(Panel, &CellPanel::NewLinkedBoardRequested, this, &EditorWindow::NewLinkedBoard);
  connect(Panel, &CellPanel::TextRefused, this, &EditorWindow::ShowRefused);
  connect(&Panel->Symbols(), &SymbolPanel::PictureChosen, this,
          [this](const QString& path) { SetPictureOfCells(TheCanvas->Selection(), path); });
  connect(&Panel->Symbols(), &SymbolPanel::PictureFailed, this, [this] {
    QMessageBox::warning(this, "NexoQuadrix", Texts("The picture could not be copied beside the board."));
  });
  connect(&Panel->Symbols(), &SymbolPanel::FoldersRequested, this, &EditorWindow::SymbolFolders);
  // Return in a field goes back to the board, where the arrows choose the next cell.
  connect(Panel, &CellPanel::EditingDone, this, [this] { TheCanvas->setFocus(Qt::OtherFocusReason); });
  connect(ProblemsList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const int number = item->data(Qt::UserRole).toInt();
    if (number <= 0 || !Doc || Doc->Model().Columns <= 0) return;
    TheCanvas->Select({CellNumberToPosition(number, Doc->Model().Columns)});
    TheCanvas->setFocus();
  });
  connect(ProblemsList, &QListWidget::itemClicked, ProblemsList, &QListWidget::itemActivated);

  Retranslate();
  resize(1100, 760);
  resizeDocks({PanelDock}, {360}, Qt::Horizontal);
  resizeDocks({ProblemsDock}, {110}, Qt::Vertical);
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::BuildActions() {
  auto make = [this](QKeySequence key, auto slot, const char* name) {
    auto* action = new QAction(this);
    action->setObjectName(name);
    if (!key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  NewAction = make(QKeySequence::New, &EditorWindow::NewBoard, "new");
  OpenAction = make(QKeySequence::Open, &EditorWindow::Open, "open");
  SaveAction = make(
      QKeySequence::Save, [this] { Save(); }, "save");
  SaveAsAction = make(
      QKeySequence("Ctrl+Shift+S"), [this] { SaveAs(); }, "saveAs");
  TryAction = make(QKeySequence("F5"), &EditorWindow::TryInPlayer, "try");
  PrintAction = make(QKeySequence("Ctrl+Shift+P"), &EditorWindow::Print, "print");
  PdfAction = make(QKeySequence("Ctrl+Shift+E"), &EditorWindow::ExportPdfAsked, "exportPdf");
  QuitAction = make(QKeySequence("Ctrl+Q"), &QWidget::close, "quit");
  UndoAction = make(QKeySequence("Ctrl+Z"), &EditorWindow::Undo, "undo");
  RedoAction = make(QKeySequence("Ctrl+Y"), &EditorWindow::Redo, "redo");
  RedoAction->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
  CutAction = make(QKeySequence("Ctrl+X"), &EditorWindow::Cut, "cut");
  CopyAction = make(QKeySequence("Ctrl+C"), &EditorWindow::Copy, "copy");
  PasteAction = make(QKeySequence("Ctrl+V"), &EditorWindow::Paste, "paste");
  ClearAction = make(QKeySequence("Delete"), &EditorWindow::ClearSelected, "clear");
  SelectAllAction = make(
      QKeySequence("Ctrl+A"), [this] { TheCanvas->SelectAll(); }, "selectAll");
  EditCaptionAction = make(
      QKeySequence("F2"), [this] { Panel->FocusCaption(); }, "editCaption");
  EditReadAction = make(
      QKeySequence("F3"), [this] { Panel->FocusField("read"); }, "editRead");
  EditLinkAction = make(
      QKeySequence("Ctrl+L"), [this] { Panel->FocusField("link"); }, "editLink");
  ChooseCommandAction = make(
      QKeySequence("Ctrl+K"), [this] { Panel->FocusField("command"); }, "chooseCommand");
  NewLinkAction = make(QKeySequence("Ctrl+Shift+N"), &EditorWindow::NewLinkedBoard, "newLinkedBoard");
  ChoosePictureAction = make(QKeySequence("Ctrl+P"), &EditorWindow::ChoosePicture, "choosePicture");
  FocusBoardAction = make(
      QKeySequence("F6"), [this] { TheCanvas->setFocus(Qt::ShortcutFocusReason); }, "focusBoard");
  // Dragging a cell onto another swaps them; these do it from the keyboard, one place at a time.
  MoveLeftAction = make(
      QKeySequence("Alt+Left"), [this] { MoveCell(-1, 0); }, "moveLeft");
  MoveRightAction = make(
      QKeySequence("Alt+Right"), [this] { MoveCell(1, 0); }, "moveRight");
  MoveUpAction = make(
      QKeySequence("Alt+Up"), [this] { MoveCell(0, -1); }, "moveUp");
  MoveDownAction = make(
      QKeySequence("Alt+Down"), [this] { MoveCell(0, 1); }, "moveDown");
  RowAboveAction = make(
      QKeySequence("Ctrl+Alt+Up"), [this] { InsertRow(false); }, "rowAbove");
  RowBelowAction = make(
      QKeySequence("Ctrl+Alt+Down"), [this] { InsertRow(true); }, "rowBelow");
  DeleteRowAction = make(QKeySequence("Ctrl+Alt+Shift+Up"), &EditorWindow::DeleteRow, "deleteRow");
  ColumnLeftAction = make(
      QKeySequence("Ctrl+Alt+Left"), [this] { InsertColumn(false); }, "columnLeft");
  ColumnRightAction = make(
      QKeySequence("Ctrl+Alt+Right"), [this] { InsertColumn(true); }, "columnRight");
  DeleteColumnAction = make(QKeySequence("Ctrl+Alt+Shift+Left"), &EditorWindow::DeleteColumn, "deleteColumn");
  OptionsAction = make(QKeySequence("Ctrl+B"), &EditorWindow::BoardOptions, "options");
  ProblemsAction = make(
      QKeySequence("F7"),
      [this] {
        ProblemsDock->show();
        ProblemsList->setFocus();
      },
      "problemsPanel");
  SymbolFoldersAction = make(QKeySequence(), &EditorWindow::SymbolFolders, "symbolFolders");
  ProposeAction = make(QKeySequence(), &EditorWindow::ProposePictures, "proposePictures");
  FindSymbolAction = make(
      QKeySequence("Ctrl+F"), [this] { Panel->Symbols().FocusSearch(); }, "findSymbol");
  ShortcutsAction = make(QKeySequence("F1"), &EditorWindow::ShowShortcuts, "shortcuts");
  LanguageGroup = new QActionGroup(this);
  auto language = [this](authoring::Language which, const char* name) {
    auto* action = new QAction(this);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setChecked(Texts.Language() == which);
    LanguageGroup->addAction(action);
    connect(action, &QAction::triggered, this, [this, which] { SetLanguage(which); });
    return action;
  };
  CatalanAction = language(authoring::Language::Catalan, "catalan");
  SpanishAction = language(authoring::Language::Spanish, "spanish");
  EnglishAction = language(authoring::Language::English, "english");
  CatalanAction->setText("Català");
  SpanishAction->setText("Español");
  EnglishAction->setText("English");
}

void EditorWindow::BuildMenus() {
  FileMenu = menuBar()->addMenu(QString());
  FileMenu->addActions({NewAction, OpenAction});
  RecentMenu = FileMenu->addMenu(QString());
  FileMenu->addActions({SaveAction, SaveAsAction});
  FileMenu->addSeparator();
  FileMenu->addAction(TryAction);
  FileMenu->addSeparator();
  FileMenu->addActions({PrintAction, PdfAction});
  FileMenu->addSeparator();
  FileMenu->addAction(QuitAction);
  EditMenu = menuBar()->addMenu(QString());
  EditMenu->addActions({UndoAction, RedoAction});
  EditMenu->addSeparator();
  EditMenu->addActions({CutAction, CopyAction, PasteAction, ClearAction, SelectAllAction});
  EditMenu->addSeparator();
  EditMenu->addActions({EditCaptionAction, EditReadAction, ChoosePictureAction, EditLinkAction, NewLinkAction,
                        ChooseCommandAction, FocusBoardAction});
  EditMenu->addSeparator();
  EditMenu->addActions({FindSymbolAction, ProposeAction, SymbolFoldersAction});
  GridMenu = menuBar()->addMenu(QString());
  GridMenu->addActions({MoveLeftAction, MoveRightAction, MoveUpAction, MoveDownAction});
  GridMenu->addSeparator();
  GridMenu->addActions({RowAboveAction, RowBelowAction, DeleteRowAction});
  GridMenu->addSeparator();
  GridMenu->addActions({ColumnLeftAction, ColumnRightAction, DeleteColumnAction});
  BoardMenu = menuBar()->addMenu(QString());
  BoardMenu->addActions({OptionsAction, ProblemsAction});
  LanguageMenu = menuBar()->addMenu(QString());
  LanguageMenu->addActions({CatalanAction, SpanishAction, EnglishAction});
  HelpMenu = menuBar()->addMenu(QString());
  HelpMenu->addAction(ShortcutsAction);
}

void EditorWindow::Retranslate() {
  FileMenu->setTitle(Texts("&File"));
  RecentMenu->setTitle(Texts("Open &recent"));
  EditMenu->setTitle(Texts("&Edit"));
  GridMenu->setTitle(Texts("&Grid"));
  BoardMenu->setTitle(Texts("&Board"));
  LanguageMenu->setTitle(Texts("&Language"));
  HelpMenu->setTitle(Texts("&Help"));
  NewAction->setText(Texts("New board..."));
  OpenAction->setText(Texts("&Open..."));
  SaveAction->setText(Texts("&Save"));
  SaveAsAction->setText(Texts("Save &as..."));
  TryAction->setText(Texts("&Try in the player"));
  PrintAction->setText(Texts("&Print..."));
  PdfAction->setText(Texts("E&xport to PDF..."));
  SymbolFoldersAction->setText(Texts("Symbol folders..."));
  ProposeAction->setText(Texts("Propose pictograms"));
  FindSymbolAction->setText(Texts("Find a symbol"));
  QuitAction->setText(Texts("&Quit"));
  CutAction->setText(Texts("Cu&t"));
  CopyAction->setText(Texts("&Copy"));
  PasteAction->setText(Texts("&Paste"));
  ClearAction->setText(Texts("C&lear cell"));
  SelectAllAction->setText(Texts("Select &all"));
  EditCaptionAction->setText(Texts("Edit the caption"));
  ChoosePictureAction->setText(Texts("Choose a picture..."));
  EditReadAction->setText(Texts("Edit the spoken text"));
  EditLinkAction->setText(Texts("Edit the link"));
  ChooseCommandAction->setText(Texts("Choose the command"));
  NewLinkAction->setText(Texts("New board here"));
  FocusBoardAction->setText(Texts("Go to the board"));
  MoveLeftAction->setText(Texts("Move the cell left"));
  MoveRightAction->setText(Texts("Move the cell right"));
  MoveUpAction->setText(Texts("Move the cell up"));
  MoveDownAction->setText(Texts("Move the cell down"));
  RowAboveAction->setText(Texts("Insert row above"));
  RowBelowAction->setText(Texts("Insert row below"));
  DeleteRowAction->setText(Texts("Delete row"));
  ColumnLeftAction->setText(Texts("Insert column left"));
  ColumnRightAction->setText(Texts("Insert column right"));
  DeleteColumnAction->setText(Texts("Delete column"));
  OptionsAction->setText(Texts("Board &options..."));
  ProblemsAction->setText(Texts("&Problems"));
  ShortcutsAction->setText(Texts("Keyboard shortcuts"));
  PanelDock->setWindowTitle(Texts("Cell"));
  ProblemsDock->setWindowTitle(Texts("&Problems").remove('&'));
  Panel->Retranslate();
  FillRecentMenu();
  if (Doc) {
    UpdateTitleAndActions();
    SelectionChanged();
    RunCheck();
  }
}

void EditorWindow::SetLanguage(authoring::Language language) {
  Texts.SetLanguage(language);
  QSettings().setValue("language", static_cast<int>(language));
  LoadQtTexts();
  Retranslate();
}

void EditorWindow::LoadQtTexts() {
  if (QtTexts) QCoreApplication::removeTranslator(QtTexts.get());
  QtTexts.reset();
  if (Texts.Language() == authoring::Language::English) return;
  QtTexts = LoadQtTranslations(Texts.Language() == authoring::Language::Catalan ? "ca" : "es");
  if (QtTexts) QCoreApplication::installTranslator(QtTexts.get());
}

void EditorWindow::StartUntitled(int columns, int rows) {
  BoardLock.reset();
  Doc = BoardDocument::Create(columns, rows);
  TheCanvas->Select({{1, 1}});
  DocumentChanged();
}

bool EditorWindow::OpenBoard(const QString& path) {
  std::string refusal;
  std::optional<BoardDocument> opened = BoardDocument::Open(LocalPath(path), refusal);
  if (!opened) {
    QMessageBox::warning(this, "NexoQuadrix", RefusalText(path));
    return false;
  }
  std::unique_ptr<QLockFile> lock;
  if (!LockBoard(Utf8(opened->Path()), lock)) return false;
  const QString autosave = Utf8(BoardDocument::AutosavePath(opened->Path()));
  if (QFileInfo::exists(autosave)) {
    QString question =
        Texts("A copy of unsaved changes to %1 was found (the editor did not close normally). Recover it?")
            .arg(QFileInfo(path).fileName());
    // The copy holds the whole board as it was then: taking it undoes what was saved since.
    if (QFileInfo(Utf8(opened->Path())).lastModified() > QFileInfo(autosave).lastModified())
      question += "\n\n" + Texts("The board was saved again after this copy was made; recovering the "
                                 "copy replaces those later changes.");
    const auto answer = QMessageBox::question(this, "NexoQuadrix", question);
    std::string bytes;
    FileStamp stamp;
    if (answer == QMessageBox::Yes &&
        ReadWholeFile(autosave.toStdString(), bytes, stamp) == ReadResult::Read) {
      if (std::optional<BoardDocument> restored = BoardDocument::Restore(opened->Path(), bytes))
        opened = std::move(restored);
    } else if (answer == QMessageBox::No) {
      GiveUpCopy(autosave);
    }
  }
  Doc = std::move(opened);
  BoardLock = std::move(lock);
  RememberRecent(Utf8(Doc->Path()));
  TheCanvas->Select({{1, 1}});
  DocumentChanged();
  return true;
}

QString EditorWindow::RefusalText(const QString& path) const {
  const QFileInfo file(path);
  if (!file.isFile()) return Texts("The file does not exist: %1").arg(path);
  if (!authoring::IsBoardFileName(LocalPath(path)))
    return Texts("%1 is not a board file (.qdx).").arg(file.fileName());
  const ProfileFile board(LocalPath(path));
  if (board.ReadText("Quadrix", "Name", "") != "Quadrix" ||
      board.ReadText("Quadrix", "autor", "") != "Vellumor") {
    QFile bytes(path);
    // Notepad and other editors may save a board as UTF-8 with a mark in front of its first section.
    if (bytes.open(QIODevice::ReadOnly) && bytes.read(3) == "\xEF\xBB\xBF")
      return Texts("%1 was saved as UTF-8 by another program, and the player cannot read it that way. "
                   "Save it again as ANSI (Windows-1252) text.")
          .arg(file.fileName());
    return Texts("%1 is not a NexoQuadrix board: its [Quadrix] section does not say Name=Quadrix and "
                 "autor=Vellumor.")
        .arg(file.fileName());
  }
  return Texts("%1 has a grid of %2 columns and %3 rows; a board has 1 to 21 of each.")
      .arg(file.fileName())
      .arg(board.ReadInteger("Grid", "Columns", 1))
      .arg(board.ReadInteger("Grid", "Rows", 1));
}

bool EditorWindow::Edit(const QString& label, const std::function<void(Board&)>& change) {
  if (!Doc) return false;
  if (!Committing) {
    // Text typed into a field and not confirmed is a change made before this one: it goes first,
    // instead of being wiped when the panel shows the result.
    Committing = true;
    Panel->CommitPending();
    Committing = false;
  }
  if (!Doc->Change(label.toStdString(), change)) return false;
  DocumentChanged();
  return true;
}

void EditorWindow::DocumentChanged() {
  TheCanvas->ShowBoard(Doc->Model(), Doc->Folder());
  SelectionChanged();
  UpdateTitleAndActions();
  CheckTimer.start();
  // Counted from the first change not yet copied: an author who never pauses is still covered.
  if (!AutosaveTimer.isActive()) AutosaveTimer.start();
}

void EditorWindow::SelectionChanged() {
  if (!Doc) return;
  std::vector<CellRecord> cells;
  const Board& board = Doc->Model();
  for (const CellPosition& at : TheCanvas->Selection())
    if (authoring::InGrid(board, at)) cells.push_back(board.Cell(at.Column, at.Row));
  QString title = Texts("No cell chosen");
  QString preview;
  if (cells.size() == 1) {
    const CellPosition at = TheCanvas->Selection().front();
    title = Texts("Cell %1").arg(CellNumber(at.Column, at.Row, board.Columns));
  } else if (cells.size() > 1) {
    title = Texts("%1 cells").arg(cells.size());
  }
  if (!cells.empty() && !cells.front().Picture.empty() && !Doc->Folder().empty())
    if (const auto path = FindBoardPath(Doc->Folder(), cells.front().Picture)) preview = Utf8(*path);
  Panel->ShowCells(cells, title, preview);
}

void EditorWindow::UpdateTitleAndActions() {
  const QString name =
      Doc->Path().empty() ? Texts("Untitled board") : QFileInfo(Utf8(Doc->Path())).fileName();
  setWindowTitle(name + (Doc->Modified() ? " *" : "") + QString::fromUtf8(" \u2014 NexoQuadrix"));
  UndoAction->setEnabled(Doc->CanUndo());
  RedoAction->setEnabled(Doc->CanRedo());
  UndoAction->setText(Doc->CanUndo() ? Texts("Undo %1").arg(Utf8(Doc->UndoLabel())) : Texts("&Undo"));
  RedoAction->setText(Doc->CanRedo() ? Texts("Redo %1").arg(Utf8(Doc->RedoLabel())) : Texts("&Redo"));
  const QMimeData* outside = QApplication::clipboard()->mimeData();
  PasteAction->setEnabled(Clipboard.has_value() || (outside != nullptr && outside->hasImage()));
  const Board& b = Doc->Model();
  RowAboveAction->setEnabled(b.Rows < MaxGridRows);
  RowBelowAction->setEnabled(b.Rows < MaxGridRows);
  ColumnLeftAction->setEnabled(b.Columns < MaxGridColumns);
  ColumnRightAction->setEnabled(b.Columns < MaxGridColumns);
  DeleteRowAction->setEnabled(b.Rows > 1);
  DeleteColumnAction->setEnabled(b.Columns > 1);
}

void EditorWindow::RunCheck() {
  if (!Doc) return;
  Problems.clear();
  const std::string folder = Doc->Folder();
  if (!folder.empty()) Problems = authoring::CheckBoardCells(Doc->Model(), folder);
  for (const auto& [number, caption] : TheCanvas->CaptionsTooWide())
    Problems.push_back({authoring::ProblemKind::CaptionTooWide, number, Windows1252ToUtf8(caption), {}});
  std::sort(
      Problems.begin(), Problems.end(),
      [](const authoring::BoardProblem& a, const authoring::BoardProblem& b) { return a.Cell < b.Cell; });
  ProblemsList->clear();
  std::set<int> cells;
  for (const authoring::BoardProblem& p : Problems) {
    const char* text = "Unknown command %1";
    switch (p.Kind) {
    case authoring::ProblemKind::MissingPicture:
      text = "Missing picture %1";
      break;
    case authoring::ProblemKind::UnreadablePicture:
      text = "Picture cannot be shown %1";
      break;
    case authoring::ProblemKind::MissingSound:
      text = "Missing sound %1";
      break;
    case authoring::ProblemKind::MissingLink:
      text = "Link to a missing board %1";
      break;
    case authoring::ProblemKind::LinkNotBoard:
      text = "Link to something that is not a board %1";
      break;
    case authoring::ProblemKind::CaptionTooWide:
      text = "The caption does not fit its cell: %1";
      break;
    default:
      break;
    }
    auto* item = new QListWidgetItem(Texts("Cell %1").arg(p.Cell) + ": " + Texts(text).arg(Utf8(p.Detail)));
    item->setData(Qt::UserRole, p.Cell);
    ProblemsList->addItem(item);
    cells.insert(p.Cell);
  }
  if (Problems.empty()) ProblemsList->addItem(Texts("No problems found"));
  TheCanvas->SetProblemCells(cells);
}

// One copy per editor, named by its process, so two editors with new boards never share one.
QString EditorWindow::UntitledCopy() const {
  return QDir(UntitledCopyFolder()).filePath(QString("untitled-%1.qdx.autosave").arg(getpid()));
}

bool EditorWindow::RecoverUntitled() {
  const QDir folder(UntitledCopyFolder());
  for (const QFileInfo& copy : folder.entryInfoList({"untitled-*.qdx.autosave"}, QDir::Files, QDir::Time)) {
    bool number = false;
    const pid_t owner = copy.fileName().section('-', 1).section('.', 0, 0).toInt(&number);
    // A copy whose editor still runs is that editor's own.
    if (!number || (kill(owner, 0) == 0 || errno != ESRCH)) continue;
    const auto answer = QMessageBox::question(
        this, "NexoQuadrix",
        Texts("Unsaved work was found that an editor left when it did not close normally (a new board, or a "
              "board in a folder it could not write to). Recover it as a new board?"));
    std::string bytes;
    FileStamp stamp;
    std::optional<BoardDocument> restored;
    if (answer == QMessageBox::Yes &&
        ReadWholeFile(copy.filePath().toStdString(), bytes, stamp) == ReadResult::Read)
      restored = BoardDocument::Restore(std::string(), bytes);
    if (!restored) {
      if (answer == QMessageBox::No) GiveUpCopy(copy.filePath());
      continue;
    }
    // Kept under this editor's name until it is saved or given up.
    QFile::remove(UntitledCopy());
    QFile::rename(copy.filePath(), UntitledCopy());
    BoardLock.reset();
    Doc = std::move(restored);
    TheCanvas->Select({{1, 1}});
    DocumentChanged();
    return true;
  }
  return false;
}

void EditorWindow::WriteAutosave() {
  if (!Doc) return;
  FileStamp stamp;
  if (!Doc->Path().empty()) {
    const std::string copy = BoardDocument::AutosavePath(Doc->Path());
    // Undone back to what is on disk: nothing is left to recover.
    if (!Doc->Modified()) {
      QFile::remove(Utf8(copy));
      QFile::remove(UntitledCopy());
      return;
    }
    if (ReplaceFile(copy, Doc->Bytes(), stamp)) {
      QFile::remove(UntitledCopy());
      return;
    }
    // A folder the editor cannot write to (bundled boards, a read-only share): the work is kept
    // in the editor's own folder instead, as for a board never saved.
  } else if (!Doc->CanUndo() && !QFileInfo::exists(UntitledCopy())) {
    return; // a new board nobody touched
  }
  QDir().mkpath(UntitledCopyFolder());
  ReplaceFile(UntitledCopy().toStdString(), Doc->Bytes(), stamp);
}

void EditorWindow::RememberRecent(const QString& path) {
  QSettings settings;
  QStringList recent = settings.value("recent").toStringList();
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > MaxRecent)
    recent.removeLast();
  settings.setValue("recent", recent);
  FillRecentMenu();
}

void EditorWindow::FillRecentMenu() {
  RecentMenu->clear();
  int n = 0;
  for (const QString& path : QSettings().value("recent").toStringList()) {
    QAction* action = RecentMenu->addAction(QString("&%1 %2").arg(++n).arg(QFileInfo(path).fileName()));
    action->setToolTip(path);
    connect(action, &QAction::triggered, this, [this, path] {
      if (MaybeSave()) OpenBoard(path);
    });
  }
  RecentMenu->setEnabled(n > 0);
}

bool EditorWindow::MaybeSave() {
  if (Doc) Panel->CommitPending();
  if (!Doc || !Doc->Modified()) return true;
  // A new board nobody touched is no work to lose.
  if (Doc->Path().empty() && !Doc->CanUndo() && !QFileInfo::exists(UntitledCopy())) return true;
  const QString name =
      Doc->Path().empty() ? Texts("Untitled board") : QFileInfo(Utf8(Doc->Path())).fileName();
  const auto answer = QMessageBox::question(this, "NexoQuadrix", Texts("Save changes to %1?").arg(name),
                                            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                            QMessageBox::Save);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Save) return Save();
  if (!Doc->Path().empty()) QFile::remove(Utf8(BoardDocument::AutosavePath(Doc->Path())));
  QFile::remove(UntitledCopy());
  return true;
}

bool EditorWindow::Save() {
  Panel->CommitPending();
  if (Doc->Path().empty()) return SaveAs();
  if (Doc->ChangedOnDisk() &&
      QMessageBox::warning(
          this, "NexoQuadrix",
          Texts("%1 was changed by another program after it was opened here (the player keeps its "
                "window's place and its options in the board). Save your version over it? Those other "
                "changes would be lost.")
              .arg(QFileInfo(Utf8(Doc->Path())).fileName()),
          QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Save)
    return false;
  if (Doc->Save() != authoring::SaveStatus::Saved) {
    QMessageBox::warning(this, "NexoQuadrix",
                         Texts("The board could not be saved:\n%1").arg(Utf8(Doc->Path())) + "\n\n" +
                             Texts(SaveFailedNote));
    return false;
  }
  QFile::remove(UntitledCopy()); // a copy made while the folder could not be written
  Status->setText(Texts("Saved"));
  RememberRecent(Utf8(Doc->Path()));
  DocumentChanged();
  return true;
}

bool EditorWindow::SaveAs() {
  Panel->CommitPending();
  const QString start = Doc->Path().empty() ? QDir::homePath() : Utf8(Doc->Path());
  QString path =
      QFileDialog::getSaveFileName(this, Texts("Save &as...").remove('&'), start, Texts("Boards (*.qdx)"));
  if (path.isEmpty()) return false;
  if (!path.endsWith(".qdx", Qt::CaseInsensitive)) path += ".qdx";
  if (!authoring::ToBoardText(QFileInfo(path).fileName().toStdString())) {
    ShowRefused(QFileInfo(path).fileName());
    return false;
  }
  std::unique_ptr<QLockFile> lock;
  if (!LockBoard(path, lock)) return false;
  const bool untitled = Doc->Path().empty();
  if (Doc->SaveAs(LocalPath(path)) != authoring::SaveStatus::Saved) {
    QMessageBox::warning(this, "NexoQuadrix",
                         Texts("The board could not be saved:\n%1").arg(path) + "\n\n" +
                             Texts(SaveFailedNote));
    if (!BoardLock) BoardLock = std::move(lock); // the same board as before
    return false;
  }
  BoardLock = std::move(lock);
  if (untitled) QFile::remove(UntitledCopy());
  RememberRecent(Utf8(Doc->Path()));
  DocumentChanged();
  return true;
}

void EditorWindow::NewBoard() {
  if (!MaybeSave()) return;
  const QString folder = Doc && !Doc->Folder().empty() ? Utf8(Doc->Folder()) : QDir::homePath();
  const std::optional<NewBoardChoice> choice = AskNewBoard(this, Texts, folder);
  if (!choice) return;
  BoardDocument made = BoardDocument::Create(choice->Columns, choice->Rows);
  std::unique_ptr<QLockFile> lock;
  if (!LockBoard(choice->Path, lock)) return;
  if (made.SaveAs(LocalPath(choice->Path)) != authoring::SaveStatus::Saved) {
    QMessageBox::warning(this, "NexoQuadrix", Texts("The board could not be saved:\n%1").arg(choice->Path));
    if (!BoardLock) BoardLock = std::move(lock);
    return;
  }
  Doc = std::move(made);
  BoardLock = std::move(lock);
  RememberRecent(Utf8(Doc->Path()));
  TheCanvas->Select({{1, 1}});
  DocumentChanged();
}

void EditorWindow::Open() {
  if (!MaybeSave()) return;
  const QString start = Doc && !Doc->Folder().empty() ? Utf8(Doc->Folder()) : QDir::homePath();
  const QString path =
      QFileDialog::getOpenFileName(this, Texts("&Open...").remove('&'), start, Texts("Boards (*.qdx)"));
  if (!path.isEmpty()) OpenBoard(path);
}

QString EditorWindow::PlayerProgram() const {
  const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath("nexoquadrix");
  if (QFileInfo(beside).isExecutable()) return beside;
  return QStandardPaths::findExecutable("nexoquadrix");
}

bool EditorWindow::StartPlayer(const QString& board) {
  const QString program = PlayerProgram();
  if (program.isEmpty() || !QProcess::startDetached(program, {board})) {
    QMessageBox::warning(this, "NexoQuadrix", Texts("The player could not be started."));
    return false;
  }
  return true;
}

void EditorWindow::TryInPlayer() {
  if (!Save()) return;
  StartPlayer(Utf8(Doc->Path()));
}

void EditorWindow::Undo() {
  if (Doc) Panel->CommitPending();
  std::vector<CellPosition> touched;
  if (!Doc || !Doc->Undo(&touched)) return;
  DocumentChanged();
  if (!touched.empty()) TheCanvas->Select(touched);
}

void EditorWindow::Redo() {
  if (Doc) Panel->CommitPending();
  std::vector<CellPosition> touched;
  if (!Doc || !Doc->Redo(&touched)) return;
  DocumentChanged();
  if (!touched.empty()) TheCanvas->Select(touched);
}

void EditorWindow::Copy() {
  Clipboard = authoring::CopyCells(Doc->Model(), TheCanvas->Selection(), Doc->Folder());
  // Other programs get the captions as text, one row per line.
  QString text;
  for (int r = 0; r < Clipboard->Rows; ++r) {
    QStringList row;
    for (int c = 0; c < Clipboard->Columns; ++c)
      row << ToQString(Clipboard->Cells[static_cast<std::size_t>(r * Clipboard->Columns + c)].Caption);
    text += row.join('\t') + '\n';
  }
  QApplication::clipboard()->setText(text);
  UpdateTitleAndActions();
}

void EditorWindow::Cut() {
  Copy();
  ClearSelected();
}

void EditorWindow::Paste() {
  if (TheCanvas->Selection().empty()) return;
  const CellPosition at = TheCanvas->Selection().front();
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  // A picture copied in another program becomes the cell's picture.
  if (mime != nullptr && mime->hasImage() && !mime->hasText()) {
    if (!HasFolder()) return;
    QTemporaryDir scratch;
    const QString file = scratch.filePath("pasted.png");
    if (qvariant_cast<QImage>(mime->imageData()).save(file, "PNG")) SetPictureFromFile(at, file);
    return;
  }
  if (!Clipboard) return;
  authoring::CellBlock block = *Clipboard;
  // Pictures travel as files copied beside the board, so a board never saved gets its folder first.
  const bool bringsPictures =
      !block.FolderUtf8.empty() && std::any_of(block.Cells.begin(), block.Cells.end(),
                                               [](const CellRecord& cell) { return !cell.Picture.empty(); });
  if (bringsPictures && Doc->Folder().empty() && !HasFolder()) return;
  // Pictures of cells from another board's folder are copied beside this board.
  if (block.FolderUtf8 != Doc->Folder() && !Doc->Folder().empty()) {
    for (CellRecord& cell : block.Cells) {
      if (cell.Picture.empty() || block.FolderUtf8.empty()) continue;
      if (const auto source = FindBoardPath(block.FolderUtf8, cell.Picture))
        if (const auto name = authoring::ImportPicture(Doc->Folder(), *source, cell.Caption))
          cell.Picture = *name;
    }
  }
  std::vector<CellPosition> pasted;
  Edit(Texts("&Paste").remove('&'), [&](Board& b) { pasted = authoring::PasteCells(b, block, at); });
  if (!pasted.empty()) TheCanvas->Select(pasted);
}

void EditorWindow::ClearSelected() {
  Edit(Texts("C&lear cell").remove('&'), [&](Board& b) { authoring::ClearCells(b, TheCanvas->Selection()); });
}

void EditorWindow::MoveCell(int columns, int rows) {
  if (!Doc || TheCanvas->Selection().size() != 1) return;
  const CellPosition from = TheCanvas->Selection().front();
  const CellPosition to{from.Column + columns, from.Row + rows};
  if (Edit(Texts("Swap with the next cell"), [&](Board& b) { authoring::SwapCells(b, from, to); }))
    TheCanvas->Select({to});
}

void EditorWindow::InsertRow(bool below) {
  if (TheCanvas->Selection().empty()) return;
  const CellPosition at = TheCanvas->Selection().front();
  if (Edit(Texts(below ? "Insert row below" : "Insert row above"),
           [&](Board& b) { authoring::InsertRow(b, at.Row + (below ? 1 : 0)); }))
    TheCanvas->Select({{at.Column, at.Row + (below ? 1 : 0)}});
}

void EditorWindow::DeleteRow() {
  if (TheCanvas->Selection().empty()) return;
  const int row = TheCanvas->Selection().front().Row;
  Edit(Texts("Delete row"), [&](Board& b) { authoring::DeleteRow(b, row); });
}

void EditorWindow::InsertColumn(bool right) {
  if (TheCanvas->Selection().empty()) return;
  const CellPosition at = TheCanvas->Selection().front();
  if (Edit(Texts(right ? "Insert column right" : "Insert column left"),
           [&](Board& b) { authoring::InsertColumn(b, at.Column + (right ? 1 : 0)); }))
    TheCanvas->Select({{at.Column + (right ? 1 : 0), at.Row}});
}

void EditorWindow::DeleteColumn() {
  if (TheCanvas->Selection().empty()) return;
  const int column = TheCanvas->Selection().front().Column;
  Edit(Texts("Delete column"), [&](Board& b) { authoring::DeleteColumn(b, column); });
}

void EditorWindow::BoardOptions() {
  const std::optional<authoring::BoardHeader> header =
      AskBoardOptions(this, Texts, authoring::HeaderOf(Doc->Model()));
  if (!header) return;
  Edit(Texts("Board options"), [&](Board& b) {
    const authoring::BoardHeader before = authoring::HeaderOf(b);
    // A grid made larger gets blank cells in the style of the cells beside them.
    for (int c = 1; c <= header->Columns; ++c)
      for (int r = 1; r <= header->Rows; ++r)
        if (c > before.Columns || r > before.Rows)
          b.Cell(c, r) = authoring::BlankCell(b.Cell(std::min(c, before.Columns), std::min(r, before.Rows)));
    authoring::SetHeader(b, *header);
  });
}

void EditorWindow::ApplyFields(const authoring::CellFields& fields, const QString& label) {
  Edit(label, [&](Board& b) { authoring::SetCellFields(b, TheCanvas->Selection(), fields); });
}

bool EditorWindow::LockBoard(const QString& path, std::unique_ptr<QLockFile>& held) {
  const QFileInfo board(path);
  const QString lockPath = board.absoluteDir().filePath("." + board.fileName() + ".lock");
  if (BoardLock && Doc && QFileInfo(Utf8(Doc->Path())) == board) {
    held = std::move(BoardLock); // this window has it already
    return true;
  }
  auto lock = std::make_unique<QLockFile>(lockPath);
  // Only a living editor holds it: a lock left by one that crashed is taken over.
  lock->setStaleLockTime(0);
  OpenElsewhere = false;
  if (!lock->tryLock(0)) {
    if (lock->error() == QLockFile::LockFailedError) {
      OpenElsewhere = true;
      QMessageBox::warning(this, "NexoQuadrix",
                           Texts("%1 is already open in another editor window. Go on there, or close it "
                                 "there first.")
                               .arg(board.fileName()));
      return false;
    }
    lock.reset(); // a folder we cannot write to: nobody can save there either
  }
  held = std::move(lock);
  return true;
}

bool EditorWindow::HasFolder() {
  if (!Doc->Folder().empty()) return true;
  QMessageBox::information(this, "NexoQuadrix",
                           Texts("Save the board first: its pictures go in a folder beside it."));
  return SaveAs();
}

void EditorWindow::SetPictureFromFile(CellPosition at, const QString& path) {
  SetPictureOfCells({at}, path);
}

void EditorWindow::SetPictureOfCells(const std::vector<CellPosition>& cells, const QString& path) {
  if (!Doc || cells.empty() || !HasFolder()) return;
  const Board& board = Doc->Model();
  const CellPosition first = cells.front();
  if (!authoring::InGrid(board, first)) return;
  const CellRecord& cell = board.Cell(first.Column, first.Row);
  const std::string caption = cell.Caption.empty() ? cell.Read : cell.Caption;
  const std::optional<std::string> name = authoring::ImportPicture(
      Doc->Folder(), LocalPath(path),
      caption.empty() ? LocalNameToWindows1252(QFileInfo(path).completeBaseName().toStdString()) : caption);
  if (!name) {
    QMessageBox::warning(this, "NexoQuadrix", Texts("The picture could not be copied beside the board."));
    return;
  }
  Edit(Texts("Picture"), [&](Board& b) {
    for (const CellPosition& at : cells)
      if (authoring::InGrid(b, at)) b.Cell(at.Column, at.Row).Picture = *name;
  });
}

void EditorWindow::ChoosePicture() {
  if (TheCanvas->Selection().empty() || !HasFolder()) return;
  const QString path = QFileDialog::getOpenFileName(this, Texts("Picture"), Utf8(Doc->Folder()),
                                                    Texts("Pictures (*.png *.jpg *.jpeg *.bmp)"));
  if (path.isEmpty()) return;
  // One file for all chosen cells: copied once, named after the first cell.
  SetPictureOfCells(TheCanvas->Selection(), path);
}

void EditorWindow::SetSymbolLibrary(std::shared_ptr<symbols::SymbolLibrary> library,
                                    const QString& settingsFile) {
  Symbols = std::move(library);
  SettingsFile = settingsFile;
  SymbolFoldersAction->setEnabled(Symbols && !SettingsFile.isEmpty());
  ProposeAction->setEnabled(Symbols != nullptr);
  Panel->Symbols().SetFoldersEnabled(SymbolFoldersAction->isEnabled());
  Panel->Symbols().SetLibrary(Symbols);
}

void EditorWindow::SymbolFolders() {
  if (!Symbols || SettingsFile.isEmpty()) return;
  ProfileFile settings(SettingsFile.toStdString());
  std::vector<std::string> folders = symbols::ReadSymbolFolders(settings);
  QDialog dialog(this);
  dialog.setWindowTitle(Texts("Symbol folders..."));
  auto* layout = new QVBoxLayout(&dialog);
  auto* note =
      new QLabel(Texts("Folders of your own pictures, found by their file and folder names."), &dialog);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* list = new QListWidget(&dialog);
  list->setObjectName("folderList");
  layout->addWidget(list);
  auto fill = [&] {
    list->clear();
    for (const std::string& folder : folders)
      list->addItem(Utf8(folder));
  };
  fill();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QPushButton* add = buttons->addButton(Texts("Add..."), QDialogButtonBox::ActionRole);
  QPushButton* remove = buttons->addButton(Texts("Remove"), QDialogButtonBox::ActionRole);
  add->setObjectName("addFolder");
  remove->setObjectName("removeFolder");
  layout->addWidget(buttons);
  bool changed = false;
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  connect(add, &QPushButton::clicked, &dialog, [&] {
    const QString chosen = QFileDialog::getExistingDirectory(&dialog, Texts("Add..."), QDir::homePath());
    if (chosen.isEmpty()) return;
    const std::string folder = QDir(chosen).canonicalPath().toStdString();
    if (folder.empty() || std::find(folders.begin(), folders.end(), folder) != folders.end()) return;
    folders.push_back(folder);
    changed = true;
    fill();
  });
  connect(remove, &QPushButton::clicked, &dialog, [&] {
    const int row = list->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= folders.size()) return;
    folders.erase(folders.begin() + row);
    changed = true;
    fill();
  });
  dialog.exec();
  if (!changed) return;
  CreateFolderPath(QFileInfo(SettingsFile).path().toStdString());
  if (!symbols::WriteSymbolFolders(settings, folders))
    QMessageBox::warning(this, "NexoQuadrix",
                         Texts("The settings could not be saved:\n%1").arg(SettingsFile));
  Symbols->SetUserFolders(folders);
  Panel->Symbols().Search();
}

void EditorWindow::ProposePictures() {
  if (!Doc || !Symbols || TheCanvas->Selection().empty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::shared_ptr<const symbols::SymbolIndex> index = Symbols->Wait();
  QApplication::restoreOverrideCursor();
  const symbols::Language language = SymbolLanguage(Texts.Language());
  struct Proposal {
    CellPosition At;
    QString Caption;
    const symbols::Symbol* Found;
  };
  std::vector<Proposal> proposals;
  const Board& board = Doc->Model();
  for (const CellPosition& at : TheCanvas->Selection()) {
    if (!authoring::InGrid(board, at)) continue;
    const CellRecord& cell = board.Cell(at.Column, at.Row);
    if (cell.Caption.empty() || !cell.Picture.empty()) continue;
    const QString caption = ToQString(cell.Caption);
    const std::vector<symbols::SearchResult> best = index->Search(caption.toStdString(), language, 1);
    if (!best.empty()) proposals.push_back({at, caption, best.front().Item});
  }
  if (proposals.empty()) {
    QMessageBox::information(this, "NexoQuadrix",
                             Texts("No chosen cell with a caption and no picture has a matching symbol."));
    return;
  }
  if (!HasFolder()) return;

  // Every proposal is shown, ticked, and only the ticked ones are kept.
  QDialog review(this);
  review.setObjectName("proposalReview");
  review.setWindowTitle(Texts("Propose pictograms"));
  auto* layout = new QVBoxLayout(&review);
  auto* note =
      new QLabel(Texts("Untick the pictures you do not want. Each one kept can be undone."), &review);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* list = new QListWidget(&review);
  list->setObjectName("proposals");
  list->setIconSize(QSize(64, 64));
  for (const Proposal& proposal : proposals) {
    const symbols::Symbol& symbol = *proposal.Found;
    QPixmap icon;
    if (const std::optional<std::string> png = DrawSymbolPicture(
            symbol.Source == symbols::SymbolSource::EmojiFont ? std::string() : symbol.Picture, symbol.Text,
            64))
      icon.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<uint>(png->size()), "PNG");
    auto* item = new QListWidgetItem(
        QIcon(icon), Texts("Cell %1").arg(CellNumber(proposal.At.Column, proposal.At.Row, board.Columns)) +
                         ": " + proposal.Caption + QString::fromUtf8(" \u2192 ") +
                         Utf8(symbol.Name(language)));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    list->addItem(item);
  }
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &review);
  connect(buttons, &QDialogButtonBox::accepted, &review, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &review, &QDialog::reject);
  layout->addWidget(buttons);
  review.resize(460, 420);
  if (review.exec() != QDialog::Accepted) return;
  std::vector<CellPosition> kept;
  for (size_t i = 0; i < proposals.size(); ++i) {
    if (list->item(static_cast<int>(i))->checkState() != Qt::Checked) continue;
    const QString file = Panel->Symbols().PictureFile(*proposals[i].Found);
    if (file.isEmpty()) continue;
    // One step per cell, so each proposal can be undone on its own.
    SetPictureOfCells({proposals[i].At}, file);
    kept.push_back(proposals[i].At);
  }
  if (!kept.empty()) TheCanvas->Select(kept);
}

void EditorWindow::SetPrintFiles(const std::string& dataFolderUtf8, const std::string& sharedFileUtf8) {
  Printing.DataFolder = dataFolderUtf8;
  Printing.SharedFile = sharedFileUtf8;
}

PrintReport EditorWindow::ExportPdf(const QString& pdfPath, bool wholeSet) {
  PrintOptions options = Printing;
  options.Book = wholeSet;
  return PrintBoards({Doc->Path()}, pdfPath.toStdString(), options);
}

PrintReport EditorWindow::PrintTo(QPagedPaintDevice& device, bool wholeSet) {
  PrintOptions options = Printing;
  options.Book = wholeSet;
  return PrintBoards({Doc->Path()}, device, options);
}

std::optional<bool> EditorWindow::AskWholeSet(const QString& title) {
  QMessageBox box(QMessageBox::Question, title, Texts("Print this board only, or the whole set it opens?"),
                  QMessageBox::Cancel, this);
  QPushButton* board = box.addButton(Texts("This board"), QMessageBox::AcceptRole);
  QPushButton* set = box.addButton(Texts("The whole set"), QMessageBox::AcceptRole);
  box.setDefaultButton(board);
  box.exec();
  if (box.clickedButton() == board) return false;
  if (box.clickedButton() == set) return true;
  return std::nullopt;
}

// The boards are printed from their files, so what is printed is what is saved.
bool EditorWindow::SavedForPrinting() {
  if (!Doc) return false;
  if (!Doc->Path().empty() && !Doc->Modified()) return true;
  return Save();
}

void EditorWindow::Print() {
  if (!SavedForPrinting()) return;
  const std::optional<bool> wholeSet = AskWholeSet(Texts("&Print...").remove('&'));
  if (!wholeSet) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QFileInfo(Utf8(Doc->Path())).completeBaseName());
  QPrintPreviewDialog preview(&printer, this);
  std::optional<PrintReport> last;
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [&](QPrinter* device) { last = PrintTo(*device, *wholeSet); });
  preview.exec();
  if (last && !last->Ok) ShowPrintReport(*last, QString());
}

void EditorWindow::ExportPdfAsked() {
  if (!SavedForPrinting()) return;
  const std::optional<bool> wholeSet = AskWholeSet(Texts("E&xport to PDF...").remove('&'));
  if (!wholeSet) return;
  const QString start =
      QFileInfo(Utf8(Doc->Path())).path() + "/" + QFileInfo(Utf8(Doc->Path())).completeBaseName() + ".pdf";
  QString path =
      QFileDialog::getSaveFileName(this, Texts("E&xport to PDF...").remove('&'), start, "PDF (*.pdf)");
  if (path.isEmpty()) return;
  if (!path.endsWith(".pdf", Qt::CaseInsensitive)) path += ".pdf";
  ShowPrintReport(ExportPdf(path, *wholeSet), Texts("Written: %1").arg(path));
}

void EditorWindow::ShowPrintReport(const PrintReport& report, const QString& done) {
  if (!report.Ok) {
    QMessageBox::warning(this, "NexoQuadrix", Texts("Nothing was printed:\n%1").arg(Utf8(report.Error)));
    return;
  }
  Status->setText(done);
  if (report.Notes.empty()) return;
  QStringList notes;
  for (const std::string& note : report.Notes)
    notes << Utf8(note);
  QMessageBox::information(this, "NexoQuadrix", done + "\n\n" + notes.join('\n'));
}

void EditorWindow::ChooseSound() {
  if (TheCanvas->Selection().empty() || !HasFolder()) return;
  const QString path =
      QFileDialog::getOpenFileName(this, Texts("Sound"), Utf8(Doc->Folder()), Texts("Sounds (*.wav)"));
  if (path.isEmpty()) return;
  QString relative = QDir(Utf8(Doc->Folder())).relativeFilePath(path);
  if (relative.startsWith("..")) {
    // A sound from elsewhere is copied beside the board, like a picture.
    QDir(Utf8(Doc->Folder())).mkpath("sounds");
    const QString target = QDir(Utf8(Doc->Folder())).filePath("sounds/" + QFileInfo(path).fileName());
    if (!QFileInfo::exists(target) && !QFile::copy(path, target)) return;
    relative = "sounds/" + QFileInfo(path).fileName();
  }
  std::string refused;
  const std::optional<std::string> name =
      authoring::ToBoardText(relative.replace('/', '\\').toStdString(), &refused);
  if (!name) {
    ShowRefused(QString::fromStdString(refused));
    return;
  }
  authoring::CellFields fields;
  fields.Read = *name;
  ApplyFields(fields, Texts("Sound"));
}

void EditorWindow::ChooseLink() {
  if (TheCanvas->Selection().empty() || !HasFolder()) return;
  const QString path =
      QFileDialog::getOpenFileName(this, Texts("Link"), Utf8(Doc->Folder()), Texts("Boards (*.qdx)"));
  if (path.isEmpty()) return;
  std::string refused;
  const std::optional<std::string> name = authoring::ToBoardText(
      QDir(Utf8(Doc->Folder())).relativeFilePath(path).replace('/', '\\').toStdString(), &refused);
  if (!name) {
    ShowRefused(QString::fromStdString(refused));
    return;
  }
  authoring::CellFields fields;
  fields.Link = *name;
  ApplyFields(fields, Texts("Link"));
}

void EditorWindow::NewLinkedBoard() {
  if (TheCanvas->Selection().empty() || !HasFolder()) return;
  const CellPosition at = TheCanvas->Selection().front();
  const CellRecord& cell = Doc->Model().Cell(at.Column, at.Row);
  const QString suggested =
      Utf8(authoring::FileStemFromCaption(cell.Caption.empty() ? cell.Read : cell.Caption));
  const std::optional<NewBoardChoice> choice =
      AskNewBoard(this, Texts, Utf8(Doc->Folder()), suggested, Doc->Model().Columns, Doc->Model().Rows);
  if (!choice) return;
  BoardDocument linked = BoardDocument::Create(choice->Columns, choice->Rows);
  // The new board keeps the window and options of the board it is reached from.
  linked.Change("options", [&](Board& b) {
    authoring::BoardHeader header = authoring::HeaderOf(Doc->Model());
    header.Columns = b.Columns;
    header.Rows = b.Rows;
    authoring::SetHeader(b, header);
  });
  if (linked.SaveAs(LocalPath(choice->Path)) != authoring::SaveStatus::Saved) {
    QMessageBox::warning(this, "NexoQuadrix", Texts("The board could not be saved:\n%1").arg(choice->Path));
    return;
  }
  const QString relative = QDir(Utf8(Doc->Folder())).relativeFilePath(choice->Path).replace('/', '\\');
  authoring::CellFields fields;
  fields.Link = authoring::ToBoardText(relative.toStdString()).value_or(std::string());
  ApplyFields(fields, Texts("Link"));
}

void EditorWindow::FileDropped(CellPosition at, const QString& path) {
  if (path.endsWith(".qdx", Qt::CaseInsensitive)) {
    if (MaybeSave()) OpenBoard(path);
    return;
  }
  SetPictureFromFile(at, path);
}

void EditorWindow::ShowRefused(const QString& characters) {
  QMessageBox::warning(
      this, "NexoQuadrix",
      Texts("These characters cannot be kept in a board: %1\nBoards store Catalan and Spanish "
            "letters; please write them differently.")
          .arg(characters));
  SelectionChanged();
}

void EditorWindow::ShowShortcuts() {
  QStringList lines;
  lines << Texts(
      "Edit cells: arrows move, Shift+arrows extend, Ctrl+click adds, F2 edits the caption, drag a "
      "cell onto another to swap them.");
  for (QAction* action : findChildren<QAction*>())
    if (!action->shortcut().isEmpty())
      lines << action->shortcut().toString(QKeySequence::NativeText) + "\t" + action->text().remove('&');
  QMessageBox::information(this, Texts("Keyboard shortcuts"), lines.join('\n'));
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (!MaybeSave()) {
    event->ignore();
    return;
  }
  // Saved, given up or unchanged: nothing is left for the next editor to offer.
  QFile::remove(UntitledCopy());
  if (ReturnToPlayer && Doc && !Doc->Path().empty() &&
      QMessageBox::question(
          this, "NexoQuadrix",
          Texts("Start the player again on %1?").arg(QFileInfo(Utf8(Doc->Path())).fileName())) ==
          QMessageBox::Yes)
    StartPlayer(Utf8(Doc->Path()));
  event->accept();
}

} // namespace nq
