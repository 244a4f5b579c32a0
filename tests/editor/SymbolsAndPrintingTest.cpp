// The editor's symbol search and its paper copies, on the offscreen platform: a result chosen or
// dragged becomes a picture beside the board in one undoable step, searched in the editor's
// language; exported PDFs carry the board's captions as text.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>

#include "editor/BoardCanvas.h"
#include "editor/EditorWindow.h"
#include "editor/SymbolPanel.h"
#include "settings/ProfileFile.h"
#include "support/TempFolder.h"
#include "symbols/SymbolSetup.h"

namespace nq {
namespace {

using test::ReadBytes;
using test::WriteBytes;

const char* const Board2x2 =
    "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=2\r\n"
    "[Cell 1]\r\nCaption=Hola\r\n[Cell 2]\r\nCaption=Adeu\r\n"
    "[Cell 4]\r\nCaption=M\xE9s\r\nLink=segon.qdx\r\n";

// A red disc on nothing: what is drawn is red, the corners stay transparent.
const char* const DiscSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 72 72">)"
                            R"(<circle cx="36" cy="36" r="30" fill="#ff0000"/></svg>)";

std::string Annotations(const std::string& cp, const std::string& name) {
  return "<ldml><annotations>\n<annotation cp=\"" + cp + "\">" + name + "</annotation>\n<annotation cp=\"" +
         cp + "\" type=\"tts\">" + name + "</annotation>\n</annotations></ldml>\n";
}

class SymbolsAndPrintingTest : public ::testing::Test {
protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    QStandardPaths::setTestModeEnabled(true);
    fs::create_directories(Folder.Path("set"));
    WriteBytes(Folder.Path("set/taula.qdx"), Board2x2);
    WriteBytes(Folder.Path("set/segon.qdx"),
               "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=1\r\n"
               "Rows=1\r\n[Cell 1]\r\nCaption=Segona\r\n");
    // One pictogram, named in Catalan and Spanish, and a folder of the user's own with one picture.
    const std::string pictograms = Folder.Path("pictograms");
    fs::create_directories(pictograms + "/data");
    fs::create_directories(pictograms + "/color/svg");
    WriteBytes(pictograms + "/data/openmoji.json",
               R"([{"emoji":"🐈","hexcode":"1F408","annotation":"cat","tags":"pet"}])");
    WriteBytes(pictograms + "/color/svg/1F408.svg", DiscSvg);
    const std::string annotations = Folder.Path("cldr/common/annotations");
    fs::create_directories(annotations);
    fs::create_directories(Folder.Path("cldr/common/annotationsDerived"));
    WriteBytes(annotations + "/ca.xml", Annotations("🐈", "gat"));
    WriteBytes(annotations + "/es.xml", Annotations("🐈", "gato"));
    WriteBytes(annotations + "/en.xml", Annotations("🐈", "cat"));
    fs::create_directories(Folder.Path("meus/animals"));
    QImage own(40, 30, QImage::Format_RGB32);
    own.fill(Qt::green);
    ASSERT_TRUE(own.save(QString::fromStdString(Folder.Path("meus/animals/tortuga.png"))));

    symbols::LibraryFiles files;
    files.BuiltIn = {pictograms, Folder.Path("cldr")};
    files.UserFolders = {Folder.Path("meus")};
    Library = std::make_shared<symbols::SymbolLibrary>(files);
    Library->Start();
    Library->Wait();
  }

  std::unique_ptr<EditorWindow> OpenWindow(authoring::Language language) {
    auto window = std::make_unique<EditorWindow>(language, nullptr);
    window->SetSymbolLibrary(Library, QString());
    EXPECT_TRUE(window->OpenBoard(QString::fromStdString(Folder.Path("set/taula.qdx"))));
    return window;
  }

  // Types the query in the search box; the grid's items.
  QListWidget& Search(EditorWindow& window, const char* query) {
    auto* box = window.findChild<QLineEdit*>("symbolSearch");
    auto* grid = window.findChild<QListWidget*>("symbolResults");
    EXPECT_NE(box, nullptr);
    EXPECT_NE(grid, nullptr);
    box->setText(QString::fromUtf8(query));
    // The panel waits for a pause in typing; the test does not.
    if (auto* panel = window.findChild<SymbolPanel*>()) panel->Search();
    return *grid;
  }

  void Trigger(EditorWindow& window, const char* action) {
    QAction* found = window.findChild<QAction*>(action);
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
  }

  test::TempFolder Folder;
  std::shared_ptr<symbols::SymbolLibrary> Library;
};

TEST_F(SymbolsAndPrintingTest, AChosenPictogramBecomesATransparentPngForEveryChosenCellInOneStep) {
  auto window = OpenWindow(authoring::Language::Catalan);
  // The first chosen cell has no caption: the picture is named after the symbol.
  window->Canvas().Select({{1, 2}, {2, 1}});
  QListWidget& grid = Search(*window, "gats");
  ASSERT_GE(grid.count(), 1);
  EXPECT_TRUE(grid.item(0)->text().startsWith("gat\n")) << grid.item(0)->text().toStdString();
  EXPECT_TRUE(grid.item(0)->text().contains("OpenMoji"));
  emit grid.itemDoubleClicked(grid.item(0));

  const Board& board = window->Document().Model();
  EXPECT_EQ(board.Cell(1, 2).Picture, "pictures\\gat.png");
  EXPECT_EQ(board.Cell(2, 1).Picture, "pictures\\gat.png");
  const QImage drawn(QString::fromStdString(Folder.Path("set/pictures/gat.png")));
  ASSERT_FALSE(drawn.isNull());
  EXPECT_EQ(drawn.size(), QSize(512, 512));
  EXPECT_EQ(qAlpha(drawn.pixel(2, 2)), 0);
  EXPECT_EQ(QColor(drawn.pixel(256, 256)), QColor(Qt::red));

  Trigger(*window, "undo");
  EXPECT_EQ(window->Document().Model().Cell(1, 2).Picture, "");
  EXPECT_EQ(window->Document().Model().Cell(2, 1).Picture, "");
  EXPECT_FALSE(window->Document().Modified());
}

TEST_F(SymbolsAndPrintingTest, TheSearchFollowsTheEditorsLanguage) {
  struct Case {
    const char* Query;
    const char* Shown;
  };
  const std::pair<const char*, Case> cases[] = {
      {"catalan", {"gat", "gat"}}, {"spanish", {"gatos", "gato"}}, {"english", {"cats", "cat"}}};
  auto window = OpenWindow(authoring::Language::English);
  for (const auto& [action, c] : cases) {
    Trigger(*window, action);
    QListWidget& grid = Search(*window, c.Query);
    ASSERT_GE(grid.count(), 1) << c.Query;
    EXPECT_TRUE(grid.item(0)->text().startsWith(QString::fromUtf8(c.Shown) + "\n")) << c.Query;
  }
  // Another language's word finds nothing.
  Trigger(*window, "spanish");
  EXPECT_EQ(Search(*window, "cat").count(), 0);
}

TEST_F(SymbolsAndPrintingTest, AUsersPictureDraggedOntoACellIsCopiedAsItIsAndNamedFromTheCaption) {
  auto window = OpenWindow(authoring::Language::Spanish);
  window->Canvas().Select({{1, 1}});
  QListWidget& grid = Search(*window, "tortugas");
  ASSERT_GE(grid.count(), 1);
  EXPECT_TRUE(grid.item(0)->text().contains("animals")) << "the source folder is shown";
  // What a drag carries: the file itself, dropped on cell 2.
  std::unique_ptr<QMimeData> dragged(grid.model()->mimeData({grid.model()->index(0, 0)}));
  ASSERT_TRUE(dragged && dragged->hasUrls());
  emit window->Canvas().FileDropped({2, 1}, dragged->urls().front().toLocalFile());
  EXPECT_EQ(window->Document().Model().Cell(2, 1).Picture, "pictures\\adeu.png");
  EXPECT_EQ(ReadBytes(Folder.Path("set/pictures/adeu.png")),
            ReadBytes(Folder.Path("meus/animals/tortuga.png")));
  EXPECT_EQ(window->Document().Model().Cell(1, 1).Picture, "");
}

TEST_F(SymbolsAndPrintingTest, ASearchBeforeTheLibraryIsReadShowsItsResultsOnceItIs) {
  EditorWindow window(authoring::Language::Catalan, nullptr);
  window.StartUntitled(2, 1);
  symbols::LibraryFiles none;
  auto empty = std::make_shared<symbols::SymbolLibrary>(none);
  window.SetSymbolLibrary(empty, QString());
  QListWidget& grid = Search(window, "gat");
  EXPECT_EQ(grid.count(), 0);
  // Searched again with the real library: results come, and nothing was set meanwhile.
  window.SetSymbolLibrary(Library, QString());
  EXPECT_GE(grid.count(), 1);
  EXPECT_EQ(window.Document().Model().Cell(1, 1).Picture, "");
}

TEST_F(SymbolsAndPrintingTest, ProposedPicturesAreReviewedAndEachKeptOneUndoesOnItsOwn) {
  auto window = OpenWindow(authoring::Language::Catalan);
  window->Edit("captions", [](Board& b) {
    b.Cell(1, 1).Caption = "gats";
    b.Cell(2, 1).Caption = "tortuga";
    b.Cell(1, 2).Caption = "";
    b.Cell(2, 2).Caption = "gat";
    b.Cell(2, 2).Picture = "meu.png";
  });
  window->Canvas().SelectAll();
  // The review lists the two cells with a caption and no picture; the author unticks the turtle.
  QStringList listed;
  auto review = [&](bool keep) {
    QTimer::singleShot(0, [&listed, keep] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      auto* list = dialog->findChild<QListWidget*>("proposals");
      for (int i = 0; list && i < list->count(); ++i) {
        listed << list->item(i)->text();
        if (list->item(i)->text().contains("tortuga")) list->item(i)->setCheckState(Qt::Unchecked);
      }
      keep ? dialog->accept() : dialog->reject();
    });
  };
  review(false);
  Trigger(*window, "proposePictures");
  EXPECT_EQ(listed.size(), 2) << listed.join('|').toStdString();
  EXPECT_EQ(window->Document().Model().Cell(1, 1).Picture, "") << "nothing kept when the review is cancelled";

  window->Canvas().SelectAll();
  review(true);
  Trigger(*window, "proposePictures");
  const Board& board = window->Document().Model();
  EXPECT_EQ(board.Cell(1, 1).Picture, "pictures\\gats.png");
  EXPECT_EQ(board.Cell(2, 1).Picture, "");
  EXPECT_EQ(board.Cell(2, 2).Picture, "meu.png");
  EXPECT_TRUE(std::filesystem::exists(Folder.Path("set/pictures/gats.png")));
  Trigger(*window, "undo");
  EXPECT_EQ(window->Document().Model().Cell(1, 1).Picture, "");
  EXPECT_EQ(window->Document().Model().Cell(1, 1).Caption, "gats") << "only the picture was undone";
}

TEST_F(SymbolsAndPrintingTest, AFolderRemovedInTheFoldersDialogLeavesTheSettingsAndTheSearch) {
  const std::string settingsFile = Folder.Path("nexoquadrix.ini");
  {
    ProfileFile settings(settingsFile);
    ASSERT_TRUE(symbols::WriteSymbolFolders(settings, {Folder.Path("meus"), Folder.Path("altres")}));
  }
  auto window = OpenWindow(authoring::Language::Catalan);
  window->SetSymbolLibrary(Library, QString::fromStdString(settingsFile));
  ASSERT_GE(Search(*window, "tortuga").count(), 1);
  QStringList shown;
  QTimer::singleShot(0, [&shown] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    auto* list = dialog->findChild<QListWidget*>("folderList");
    for (int i = 0; list && i < list->count(); ++i)
      shown << list->item(i)->text();
    if (list) list->setCurrentRow(0);
    if (auto* remove = dialog->findChild<QPushButton*>("removeFolder")) remove->click();
    dialog->reject();
  });
  Trigger(*window, "symbolFolders");
  EXPECT_EQ(shown.size(), 2);
  ProfileFile settings(settingsFile);
  EXPECT_EQ(symbols::ReadSymbolFolders(settings), std::vector<std::string>{Folder.Path("altres")});
  Library->Wait();
  EXPECT_EQ(Search(*window, "tortuga").count(), 0) << "the removed folder is no longer searched";
  EXPECT_GE(Search(*window, "gat").count(), 1) << "the built-in symbols stay";
}

std::string PdfText(const std::string& pdf) {
  QProcess process;
  process.start("pdftotext", {QString::fromStdString(pdf), "-"});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return "(pdftotext failed)";
  return process.readAllStandardOutput().toStdString();
}

TEST_F(SymbolsAndPrintingTest, ExportedPdfsHoldTheCaptionsOfTheBoardOrOfTheWholeSet) {
  auto window = OpenWindow(authoring::Language::Catalan);
  const PrintReport board = window->ExportPdf(QString::fromStdString(Folder.Path("taula.pdf")), false);
  ASSERT_TRUE(board.Ok) << board.Error;
  const std::string text = PdfText(Folder.Path("taula.pdf"));
  EXPECT_NE(text.find("Hola"), std::string::npos) << text;
  EXPECT_NE(text.find("Adeu"), std::string::npos) << text;
  EXPECT_NE(text.find("Més"), std::string::npos) << text;
  EXPECT_EQ(text.find("Segona"), std::string::npos) << "only this board";

  const PrintReport book = window->ExportPdf(QString::fromStdString(Folder.Path("conjunt.pdf")), true);
  ASSERT_TRUE(book.Ok) << book.Error;
  EXPECT_EQ(book.Boards.size(), 2u);
  const std::string whole = PdfText(Folder.Path("conjunt.pdf"));
  EXPECT_NE(whole.find("Hola"), std::string::npos) << whole;
  EXPECT_NE(whole.find("Segona"), std::string::npos) << whole;

  // The preview and the printer get the same pages through a paged device.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(Folder.Path("printed.pdf")));
  const PrintReport printed = window->PrintTo(printer, false);
  ASSERT_TRUE(printed.Ok) << printed.Error;
  EXPECT_EQ(printed.Pages, board.Pages);
  EXPECT_NE(PdfText(Folder.Path("printed.pdf")).find("Adeu"), std::string::npos);

  // An output that cannot be written is reported, and leaves nothing behind.
  const std::string nowhere = Folder.Path("no/such/folder/x.pdf");
  EXPECT_FALSE(window->ExportPdf(QString::fromStdString(nowhere), false).Ok);
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

} // namespace
} // namespace nq
