// The editor as an author meets it, on the offscreen platform: the canvas paints what the player
// paints, the window's actions change the board as one undoable step each, typed characters a board
// cannot hold are refused, and pictures travel with pasted cells.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>

#include "authoring/BoardKeys.h"
#include "boards/PathResolver.h"
#include "editor/BoardCanvas.h"
#include "editor/EditorDialogs.h"
#include "editor/EditorWindow.h"
#include "support/WindowedPlayer.h"
#include "text/Encoding.h"
#include "ui/BoardView.h"
#include "ui/HeadlessWindow.h"

namespace nq {
namespace {

using test::ReadBytes;
using test::WriteBytes;

// Window sizes are the player's outer size; this one gives a client area of 400 x 300.
const char* const Board2x2 =
    "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Position]\r\nWidth=408\r\nHeight=346\r\n"
    "[Grid]\r\nColumns=2\r\nRows=2\r\n[Menu Options 2]\r\nShow Button Bar=0\r\nShow Message Bar=0\r\n"
    "Center Captions=1\r\n"
    "[Cell 1]\r\nCaption=HHHH\r\nPicture=blau.png\r\nFrame cell color=65280\r\nFont Size=12\r\n"
    "[Cell 2]\r\nCaption=Hola\r\nFrame cell color=0\r\n[Cell 3]\r\nFrame cell color=16777215\r\n"
    "[Cell 4]\r\nCaption=Adeu\r\nFont Size=20\r\nFont fsBold=1\r\n";

class EditorWindowTest : public ::testing::Test {
public:
  void SetUp() override {
    // Recent boards and the language go to Qt's test settings, never the user's own.
    QStandardPaths::setTestModeEnabled(true);
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(Folder.Path("blau.png"))));
    WriteBytes(Folder.Path("taula.qdx"), Board2x2);
  }

  // Answers the next modal box (a question or a note) with the given button, and records its text.
  void AnswerNextBox(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [this, button] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        BoxTexts.push_back(box->text().toStdString());
        box->button(button) ? box->button(button)->click() : box->done(button);
      }
    });
  }

  void Trigger(EditorWindow& window, const char* action) {
    QAction* found = window.findChild<QAction*>(action);
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
  }

  test::TempFolder Folder;
  std::vector<std::string> BoxTexts;
};

TEST_F(EditorWindowTest, TheCanvasPaintsWhatThePlayerPaints) {
  test::WindowedPlayer<HeadlessWindow> windowed{400, 300};
  PlayerPaths paths;
  paths.ProgramFolder = Folder.Root() + "/";
  Player& player = windowed.Start(paths);
  player.Options().LoadProgramSettings();
  player.ClientResized(400, 300);
  player.Boards().OpenBoard(Utf8ToWindows1252(Folder.Path("taula.qdx")));
  const QImage played = RenderClientArea(player, "", 400, 300).convertToFormat(QImage::Format_RGB32);

  std::string refusal;
  const auto document = authoring::BoardDocument::Open(Folder.Path("taula.qdx"), refusal);
  ASSERT_TRUE(document);
  BoardCanvas canvas(nullptr);
  canvas.ShowBoard(document->Model(), document->Folder());
  const QImage edited = canvas.Render().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(edited.size(), played.size());
  int differing = 0;
  for (int y = 0; y < played.height(); ++y)
    for (int x = 0; x < played.width(); ++x)
      differing += played.pixel(x, y) != edited.pixel(x, y);
  EXPECT_EQ(differing, 0);
  // Not two blank images: the picture of cell 1 is there.
  EXPECT_EQ(edited.pixel(edited.width() / 4, edited.height() / 4 + 10), QColor(Qt::blue).rgb());
}

TEST_F(EditorWindowTest, ActionsChangeTheBoardOneUndoableStepEach) {
  EditorWindow window(authoring::Language::English, nullptr);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  // A cell moved with the keyboard swaps with its neighbour and stays chosen.
  window.Canvas().Select({{1, 1}});
  Trigger(window, "moveRight");
  EXPECT_EQ(window.Document().Model().Cell(2, 1).Caption, "HHHH");
  EXPECT_EQ(window.Document().Model().Cell(1, 1).Caption, "Hola");
  EXPECT_EQ(window.Canvas().Selection(), std::vector<CellPosition>({{2, 1}}));
  Trigger(window, "moveRight"); // the edge: nothing happens
  EXPECT_EQ(window.Document().Model().Cell(2, 1).Caption, "HHHH");
  Trigger(window, "undo");
  EXPECT_FALSE(window.Document().Modified());
  window.Canvas().Select({{2, 1}});
  Trigger(window, "columnRight");
  EXPECT_EQ(window.Document().Model().Columns, 3);
  EXPECT_EQ(window.Document().Model().Cell(3, 2).Caption, "");
  Trigger(window, "rowAbove");
  EXPECT_EQ(window.Document().Model().Rows, 3);
  EXPECT_EQ(window.Document().Model().Cell(1, 2).Caption, "HHHH");
  Trigger(window, "undo");
  Trigger(window, "undo");
  EXPECT_FALSE(window.Document().Modified());
  Trigger(window, "redo");
  EXPECT_EQ(window.Document().Model().Columns, 3);
  // Cut and paste: the cell moves, and both steps undo.
  window.Canvas().Select({{1, 1}});
  Trigger(window, "cut");
  EXPECT_EQ(window.Document().Model().Cell(1, 1).Picture, "");
  window.Canvas().Select({{3, 2}});
  Trigger(window, "paste");
  EXPECT_EQ(window.Document().Model().Cell(3, 2).Picture, "blau.png");
  Trigger(window, "save");
  std::string refusal;
  const auto saved = authoring::BoardDocument::Open(Folder.Path("taula.qdx"), refusal);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->Model(), window.Document().Model());
}

TEST_F(EditorWindowTest, ACaptionWithCharactersABoardCannotHoldIsRefusedAndNotSaved) {
  EditorWindow window(authoring::Language::Catalan, nullptr);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  window.Canvas().Select({{2, 1}});
  auto* caption = window.findChild<QLineEdit*>("caption");
  ASSERT_NE(caption, nullptr);
  caption->setText(QString::fromUtf8("gos \xF0\x9F\x90\xB6"));
  caption->setModified(true);
  AnswerNextBox(QMessageBox::Ok);
  emit caption->editingFinished();
  ASSERT_EQ(BoxTexts.size(), 1u);
  EXPECT_NE(BoxTexts.front().find("\xF0\x9F\x90\xB6"), std::string::npos);
  EXPECT_EQ(window.Document().Model().Cell(2, 1).Caption, "Hola");
  EXPECT_FALSE(window.Document().Modified());
  // Catalan letters go through.
  caption->setText(QString::fromUtf8("L\xC2\xB7l \xC3\xA7"));
  caption->setModified(true);
  emit caption->editingFinished();
  EXPECT_EQ(window.Document().Model().Cell(2, 1).Caption, "L\xB7l \xE7");
}

TEST_F(EditorWindowTest, ClosingWithChangesAsksAndKeepsAnAutosaveOnlyUntilSaved) {
  {
    EditorWindow window(authoring::Language::Spanish, nullptr);
    ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
    window.Edit("edit", [](Board& b) { b.Cell(1, 2).Caption = "nou"; });
    AnswerNextBox(QMessageBox::Cancel);
    EXPECT_FALSE(window.close());
    ASSERT_EQ(BoxTexts.size(), 1u);
    EXPECT_EQ(ReadBytes(Folder.Path("taula.qdx")), Board2x2);
  }
  // A crash leaves the autosave copy, which is offered when the board is opened again.
  std::string refusal;
  auto document = authoring::BoardDocument::Open(Folder.Path("taula.qdx"), refusal);
  document->Change("edit", [](Board& b) { b.Cell(1, 2).Caption = "recuperat"; });
  WriteBytes(authoring::BoardDocument::AutosavePath(Folder.Path("taula.qdx")), document->Bytes());
  EditorWindow window(authoring::Language::Spanish, nullptr);
  AnswerNextBox(QMessageBox::Yes);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  EXPECT_EQ(window.Document().Model().Cell(1, 2).Caption, "recuperat");
  EXPECT_TRUE(window.Document().Modified());
  Trigger(window, "save");
  EXPECT_FALSE(test::Exists(authoring::BoardDocument::AutosavePath(Folder.Path("taula.qdx"))));
  EXPECT_TRUE(window.close());
}

// Runs the event loop (timers included) for a while.
void RunEvents(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A caption typed and not yet confirmed with Return is part of the work: every way of saving or
// leaving takes it.
TEST_F(EditorWindowTest, TextTypedButNotConfirmedIsNeverPassedOver) {
  struct Case {
    const char* Name;
    std::function<void(EditorWindowTest&, EditorWindow&)> Leave;
    bool Asked;
    CellPosition Where = {2, 1}; // where the typed caption ends up
  };
  const std::vector<Case> cases = {
      {"save", [](EditorWindowTest& t, EditorWindow& w) { t.Trigger(w, "save"); }, false},
      {"close, saving",
       [](EditorWindowTest& t, EditorWindow& w) {
         t.AnswerNextBox(QMessageBox::Save);
         EXPECT_TRUE(w.close());
       },
       true},
      {"quit, saving",
       [](EditorWindowTest& t, EditorWindow& w) {
         t.AnswerNextBox(QMessageBox::Save);
         t.Trigger(w, "quit");
       },
       true},
      {"a cell moved from the keyboard, then saved",
       [](EditorWindowTest& t, EditorWindow& w) {
         t.Trigger(w, "moveDown");
         t.Trigger(w, "save");
       },
       false,
       {2, 2}},
      {"a row inserted, then saved",
       [](EditorWindowTest& t, EditorWindow& w) {
         t.Trigger(w, "rowAbove");
         t.Trigger(w, "save");
       },
       false,
       {2, 2}},
  };
  for (const Case& c : cases) {
    WriteBytes(Folder.Path("taula.qdx"), Board2x2);
    BoxTexts.clear();
    EditorWindow window(authoring::Language::English, nullptr);
    ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
    window.Canvas().Select({{2, 1}});
    auto* caption = window.findChild<QLineEdit*>("caption");
    caption->setFocus();
    caption->setText("Bon dia");
    caption->setModified(true);
    c.Leave(*this, window);
    EXPECT_EQ(BoxTexts.size(), c.Asked ? 1u : 0u) << c.Name;
    std::string refusal;
    const auto saved = authoring::BoardDocument::Open(Folder.Path("taula.qdx"), refusal);
    ASSERT_TRUE(saved) << c.Name;
    EXPECT_EQ(saved->Model().Cell(c.Where.Column, c.Where.Row).Caption, "Bon dia") << c.Name;
  }
}

TEST_F(EditorWindowTest, TheAutosaveCopyIsWrittenWhileTheAuthorKeepsEditing) {
  EditorWindow window(authoring::Language::English, nullptr);
  window.SetAutosaveDelay(300);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  const std::string copy = authoring::BoardDocument::AutosavePath(Folder.Path("taula.qdx"));
  // A change every 100 ms, never a pause as long as the delay.
  for (int i = 0; i < 10; ++i) {
    window.Edit("edit", [i](Board& b) { b.Cell(1, 2).Caption = "w" + std::to_string(i); });
    RunEvents(100);
  }
  ASSERT_TRUE(test::Exists(copy));
  std::optional<authoring::BoardDocument> restored =
      authoring::BoardDocument::Restore(Folder.Path("taula.qdx"), ReadBytes(copy));
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->Model().Cell(1, 2).Caption.rfind("w", 0), 0u);
}

// A board never saved has no folder to keep its copy in: it is copied into the editor's own folder,
// offered to the next editor started without a board, and gone once saved or given up.
TEST_F(EditorWindowTest, ANewBoardNeverSavedSurvivesACrashToo) {
  const QDir copies(QString::fromStdString(Folder.Path("copies")));
  auto copiesLeft = [&] { return copies.entryList({"untitled-*.qdx.autosave"}, QDir::Files).size(); };
  std::string lost;
  {
    EditorWindow window(authoring::Language::English, nullptr);
    window.SetUntitledCopyFolder(copies.path());
    window.SetAutosaveDelay(50);
    window.StartUntitled(3, 2);
    RunEvents(150);
    EXPECT_EQ(copiesLeft(), 0) << "a board nobody touched is no work to keep";
    window.Edit("edit", [](Board& b) { b.Cell(2, 2).Caption = "perdut"; });
    RunEvents(150);
    ASSERT_EQ(copiesLeft(), 1);
    lost = ReadBytes(copies.filePath(copies.entryList({"untitled-*"}).front()).toStdString());
    AnswerNextBox(QMessageBox::Discard);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(copiesLeft(), 0) << "given up on closing";
  }
  // What a crashed editor leaves: a copy named after a process that is gone.
  const QString crashed = copies.filePath("untitled-999999.qdx.autosave");
  for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
    WriteBytes(crashed.toStdString(), lost);
    EditorWindow window(authoring::Language::English, nullptr);
    window.SetUntitledCopyFolder(copies.path());
    AnswerNextBox(answer);
    const bool recovered = window.RecoverUntitled();
    EXPECT_EQ(recovered, answer == QMessageBox::Yes);
    EXPECT_FALSE(QFileInfo::exists(crashed));
    if (!recovered) {
      EXPECT_EQ(copiesLeft(), 0);
      continue;
    }
    EXPECT_EQ(window.Document().Model().Cell(2, 2).Caption, "perdut");
    EXPECT_EQ(window.Document().Model().Columns, 3);
    EXPECT_EQ(copiesLeft(), 1) << "kept under the new editor's name until saved";
    // Closing asks even though nothing was changed since the recovery.
    AnswerNextBox(QMessageBox::Cancel);
    EXPECT_FALSE(window.close());
    QTimer::singleShot(0, [this] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        dialog->selectFile(QString::fromStdString(Folder.Path("recuperat.qdx")));
        static_cast<QDialog*>(dialog)->accept();
      }
    });
    Trigger(window, "save");
    EXPECT_EQ(window.Document().Path(), Folder.Path("recuperat.qdx"));
    EXPECT_EQ(copiesLeft(), 0) << "saved under a name";
  }
}

// A board in a folder the editor cannot write to (the bundled boards, a read-only share) still has
// its work copied while it changes, in the editor's own folder.
TEST_F(EditorWindowTest, ABoardInAFolderThatCannotBeWrittenIsCopiedElsewhere) {
  test::TempFolder elsewhere;
  const QDir copies(QString::fromStdString(elsewhere.Path("copies")));
  EditorWindow window(authoring::Language::English, nullptr);
  window.SetUntitledCopyFolder(copies.path());
  window.SetAutosaveDelay(50);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  chmod(Folder.Root().c_str(), 0500);
  window.Edit("edit", [](Board& b) { b.Cell(1, 2).Caption = "desat a part"; });
  RunEvents(200);
  chmod(Folder.Root().c_str(), 0700);
  const QStringList found = copies.entryList({"untitled-*.qdx.autosave"}, QDir::Files);
  ASSERT_EQ(found.size(), 1);
  const auto kept = authoring::BoardDocument::Restore(
      std::string(), ReadBytes(copies.filePath(found.front()).toStdString()));
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->Model().Cell(1, 2).Caption, "desat a part");
  // Saved at last: the copy kept elsewhere goes at once, not only when a timer comes round (an
  // editor closed right after the save would leave it to be offered as lost work).
  Trigger(window, "save");
  EXPECT_TRUE(copies.entryList({"untitled-*.qdx.autosave"}, QDir::Files).isEmpty());
  // Once the folder can be written again the copy beside the board takes over.
  window.Edit("edit", [](Board& b) { b.Cell(1, 2).Caption = "al costat"; });
  RunEvents(200);
  EXPECT_TRUE(test::Exists(authoring::BoardDocument::AutosavePath(Folder.Path("taula.qdx"))));
  EXPECT_TRUE(copies.entryList({"untitled-*.qdx.autosave"}, QDir::Files).isEmpty());
}

TEST_F(EditorWindowTest, ABoardChangedByAnotherProgramIsNotOverwrittenWithoutAsking) {
  EditorWindow window(authoring::Language::English, nullptr);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  window.Edit("edit", [](Board& b) { b.Cell(1, 2).Caption = "meu"; });
  const std::string theirs = std::string(Board2x2) + "[Cell 9]\r\nCaption=seu\r\n";
  WriteBytes(Folder.Path("taula.qdx"), theirs);
  AnswerNextBox(QMessageBox::Cancel);
  Trigger(window, "save");
  ASSERT_EQ(BoxTexts.size(), 1u);
  EXPECT_NE(BoxTexts.back().find("taula.qdx"), std::string::npos);
  EXPECT_EQ(ReadBytes(Folder.Path("taula.qdx")), theirs);
  EXPECT_TRUE(window.Document().Modified());
  AnswerNextBox(QMessageBox::Save);
  Trigger(window, "save");
  EXPECT_EQ(window.Document().Model().Cell(1, 2).Caption, "meu");
  EXPECT_NE(ReadBytes(Folder.Path("taula.qdx")).find("Caption=meu"), std::string::npos);
  // Saved by us, it is ours again: no question the next time.
  window.Edit("edit", [](Board& b) { b.Cell(1, 2).Caption = "altra"; });
  Trigger(window, "save");
  EXPECT_EQ(BoxTexts.size(), 2u);
}

TEST_F(EditorWindowTest, ASecondEditorWindowDoesNotOpenABoardOpenInTheFirst) {
  const QString board = QString::fromStdString(Folder.Path("taula.qdx"));
  {
    EditorWindow first(authoring::Language::English, nullptr);
    ASSERT_TRUE(first.OpenBoard(board));
    // Opening its own board again is no conflict.
    ASSERT_TRUE(first.OpenBoard(board));
    EditorWindow second(authoring::Language::English, nullptr);
    AnswerNextBox(QMessageBox::Ok);
    EXPECT_FALSE(second.OpenBoard(board));
    ASSERT_EQ(BoxTexts.size(), 1u);
    EXPECT_NE(BoxTexts.front().find("taula.qdx"), std::string::npos);
  }
  // Once the first is gone the board opens, also after an editor that died without unlocking.
  WriteBytes(Folder.Path(".taula.qdx.lock"), "999999\neditor\n\n");
  EditorWindow third(authoring::Language::English, nullptr);
  EXPECT_TRUE(third.OpenBoard(board));
}

TEST_F(EditorWindowTest, ASaveThatFailsSaysSoAndKeepsBothTheFileAndTheChanges) {
  EditorWindow window(authoring::Language::English, nullptr);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  window.Edit("edit", [](Board& b) { b.Cell(1, 2).Caption = "nou"; });
  chmod(Folder.Root().c_str(), 0500);
  AnswerNextBox(QMessageBox::Ok);
  Trigger(window, "save");
  chmod(Folder.Root().c_str(), 0700);
  ASSERT_EQ(BoxTexts.size(), 1u);
  EXPECT_NE(BoxTexts.front().find("Save as"), std::string::npos);
  EXPECT_EQ(ReadBytes(Folder.Path("taula.qdx")), Board2x2);
  EXPECT_TRUE(window.Document().Modified());
  EXPECT_EQ(window.Document().Model().Cell(1, 2).Caption, "nou");
}

// Values a board made elsewhere may hold that the options dialog cannot show: OK without touching
// them keeps them as they are.
TEST_F(EditorWindowTest, TheOptionsDialogKeepsWhatItCannotShow) {
  const std::vector<std::pair<const char*, std::function<void(authoring::BoardHeader&)>>> cases = {
      {"placement beyond the nine", [](authoring::BoardHeader& h) { h.Position = 12; }},
      {"negative placement", [](authoring::BoardHeader& h) { h.Position = -1; }},
      {"tiny window",
       [](authoring::BoardHeader& h) {
         h.WindowWidth = 40;
         h.WindowHeight = 0;
       }},
      {"far away window", [](authoring::BoardHeader& h) { h.WindowLeft = -20000; }},
      {"huge font", [](authoring::BoardHeader& h) { h.GridFont.Size = 900; }},
  };
  EditorTexts texts(authoring::Language::Catalan);
  QWidget parent;
  for (const auto& [name, odd] : cases) {
    authoring::BoardHeader header = authoring::HeaderOf(authoring::BoardDocument::Create(3, 2).Model());
    odd(header);
    QTimer::singleShot(0, [] {
      if (QWidget* dialog = QApplication::activeModalWidget())
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
          buttons->button(QDialogButtonBox::Ok)->click();
    });
    const std::optional<authoring::BoardHeader> chosen = AskBoardOptions(&parent, texts, header);
    ASSERT_TRUE(chosen) << name;
    EXPECT_EQ(*chosen, header) << name;
  }
}

// A board the editor does not open is explained in the editor's language, naming the file, and each
// reason in its own words.
TEST_F(EditorWindowTest, ARefusedBoardIsExplainedInTheEditorsLanguage) {
  const std::string header = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n";
  const std::vector<std::pair<std::string, std::string>> files = {
      {"absent.qdx", ""},
      {"notes.txt", header},
      {"altre.qdx", "[Quadrix]\r\nName=Altre\r\n"},
      {"bloc.qdx", "\xEF\xBB\xBF" + header},
      {"ample.qdx", header + "[Grid]\r\nColumns=30\r\n"},
  };
  std::map<std::string, std::set<std::string>> seen; // file -> its texts in the three languages
  for (const authoring::Language language :
       {authoring::Language::Catalan, authoring::Language::Spanish, authoring::Language::English}) {
    std::set<std::string> texts;
    for (const auto& [name, bytes] : files) {
      if (!bytes.empty()) WriteBytes(Folder.Path(name), bytes);
      EditorWindow window(language, nullptr);
      BoxTexts.clear();
      AnswerNextBox(QMessageBox::Ok);
      EXPECT_FALSE(window.OpenBoard(QString::fromStdString(Folder.Path(name)))) << name;
      ASSERT_EQ(BoxTexts.size(), 1u) << name;
      EXPECT_NE(BoxTexts.front().find(name), std::string::npos) << BoxTexts.front();
      texts.insert(BoxTexts.front());
      seen[name].insert(BoxTexts.front());
    }
    EXPECT_EQ(texts.size(), files.size());
  }
  for (const auto& [name, texts] : seen)
    EXPECT_EQ(texts.size(), 3u) << name << " is told the same in two languages";
  // A board whose size reads as negative holds no cells; it opens, and nothing can be edited in it.
  WriteBytes(Folder.Path("buit.qdx"), header + "[Grid]\r\nColumns=-2\r\nRows=3\r\n");
  EditorWindow window(authoring::Language::English, nullptr);
  if (window.OpenBoard(QString::fromStdString(Folder.Path("buit.qdx")))) {
    window.Canvas().Render();
    Trigger(window, "rowBelow");
    Trigger(window, "columnRight");
    Trigger(window, "selectAll");
    Trigger(window, "clear");
    Trigger(window, "copy");
    Trigger(window, "paste");
  }
}

// The copy holds the whole board as it was when the editor died: when the board was saved again
// since, the question says that taking the copy replaces those later changes.
TEST_F(EditorWindowTest, AnOlderCopyThanTheBoardSaysItReplacesLaterChanges) {
  const std::string board = Folder.Path("taula.qdx");
  std::string refusal;
  auto edited = authoring::BoardDocument::Open(board, refusal);
  edited->Change("edit", [](Board& b) { b.Cell(1, 2).Caption = "vell"; });
  std::vector<std::string> asked;
  for (const int boardAge : {-60, 60}) {
    WriteBytes(authoring::BoardDocument::AutosavePath(board), edited->Bytes());
    QFile file(QString::fromStdString(board));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(boardAge), QFileDevice::FileModificationTime);
    file.close();
    EditorWindow window(authoring::Language::Catalan, nullptr);
    AnswerNextBox(QMessageBox::No);
    ASSERT_TRUE(window.OpenBoard(QString::fromStdString(board)));
    ASSERT_FALSE(BoxTexts.empty());
    asked.push_back(BoxTexts.back());
  }
  EXPECT_NE(asked[1], asked[0]);
  EXPECT_EQ(asked[1].rfind(asked[0], 0), 0u) << asked[1];
}

TEST_F(EditorWindowTest, PastedCellsBringTheirPicturesToAnotherBoard) {
  std::filesystem::create_directories(Folder.Path("altre"));
  WriteBytes(Folder.Path("altre/b.qdx"),
             "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=1\r\n");
  EditorWindow window(authoring::Language::English, nullptr);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  window.Canvas().Select({{1, 1}, {2, 1}});
  Trigger(window, "copy");
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("altre/b.qdx"))));
  window.Canvas().Select({{1, 1}});
  Trigger(window, "paste");
  const Board& board = window.Document().Model();
  EXPECT_EQ(board.Cell(1, 1).Caption, "HHHH");
  EXPECT_EQ(board.Cell(2, 1).Caption, "Hola");
  EXPECT_EQ(board.Cell(1, 1).Picture, "pictures\\hhhh.png");
  EXPECT_TRUE(test::Exists(Folder.Path("altre/pictures/hhhh.png")));
}

// Cells with pictures pasted into a board never saved: the board is saved first, so the pictures
// have a folder to be copied to and are not left pointing nowhere.
TEST_F(EditorWindowTest, PicturesPastedIntoABoardNeverSavedAreCopiedToo) {
  std::filesystem::create_directories(Folder.Path("nou"));
  EditorWindow window(authoring::Language::English, nullptr);
  ASSERT_TRUE(window.OpenBoard(QString::fromStdString(Folder.Path("taula.qdx"))));
  window.Canvas().Select({{1, 1}});
  Trigger(window, "copy");
  window.StartUntitled(2, 2);
  window.Canvas().Select({{2, 2}});
  const QString target = QString::fromStdString(Folder.Path("nou/nou.qdx"));
  // The note first, then the file chooser that names the board.
  AnswerNextBox(QMessageBox::Ok);
  QTimer chooser;
  QObject::connect(&chooser, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(target);
      static_cast<QDialog*>(dialog)->accept();
    }
  });
  chooser.start(20);
  Trigger(window, "paste");
  chooser.stop();
  EXPECT_EQ(window.Document().Path(), target.toStdString());
  const std::string picture = window.Document().Model().Cell(2, 2).Picture;
  ASSERT_FALSE(picture.empty());
  EXPECT_TRUE(FindBoardPath(window.Document().Folder(), picture).has_value()) << picture;
}

TEST_F(EditorWindowTest, TheLanguageMenuSwitchesEveryText) {
  EditorWindow window(authoring::Language::English, nullptr);
  window.StartUntitled(2, 2);
  const QString english = window.findChild<QAction*>("save")->text();
  Trigger(window, "catalan");
  const QString catalan = window.findChild<QAction*>("save")->text();
  Trigger(window, "spanish");
  const QString spanish = window.findChild<QAction*>("save")->text();
  EXPECT_NE(english, catalan);
  EXPECT_NE(catalan, spanish);
  EXPECT_NE(english, spanish);
}

} // namespace
} // namespace nq
