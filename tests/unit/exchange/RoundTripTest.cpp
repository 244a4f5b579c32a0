// Our boards out to the Open Board Format and back: every cell, option and file comes back as it was.
#include <gtest/gtest.h>

#include "exchange/ObfExport.h"
#include "exchange/ObfImport.h"
#include "exchange/ObfReader.h"
#include "exchange/SetFiles.h"
#include "support/ZipTestFiles.h"
#include "unit/exchange/ExchangeTestSupport.h"

namespace nq::exchange {
namespace {

using test::ReadBoard;

// Whoever exported the boards imports them back with every command.
ImportOptions KeepingCommands() {
  ImportOptions options;
  options.KeepCommands = true;
  return options;
}

// Compares two boards as the player sees them: options, and every cell of the grid.
void ExpectSameBoard(const Board& original, const Board& back, const std::string& name) {
  SCOPED_TRACE(name);
  ASSERT_EQ(back.Columns, original.Columns);
  ASSERT_EQ(back.Rows, original.Rows);
  Board a = original;
  Board b = back;
  a.Cells = {};
  b.Cells = {};
  EXPECT_TRUE(a == b) << "board options differ";
  for (int n = 1; n <= original.CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, original.Columns);
    const CellRecord& x = original.Cell(at.Column, at.Row);
    const CellRecord& y = back.Cell(at.Column, at.Row);
    EXPECT_EQ(y.Caption, x.Caption) << "cell " << n;
    EXPECT_EQ(y.Read, x.Read) << "cell " << n;
    EXPECT_EQ(y.Picture, x.Picture) << "cell " << n;
    EXPECT_EQ(y.SpecialFunction, x.SpecialFunction) << "cell " << n;
    EXPECT_EQ(y.Link, x.Link) << "cell " << n;
    EXPECT_EQ(y.FrameCellColour, x.FrameCellColour) << "cell " << n;
    EXPECT_TRUE(y.Font == x.Font) << "cell " << n;
  }
}

const char* const HomeBoard =
    "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n"
    "[Position]\r\nLeft=10\r\nTop=20\r\nWidth=700\r\nHeight=500\r\n"
    "[Grid]\r\nColumns=3\r\nRows=2\r\nFrame Color=255\r\n"
    "[Grid Font]\r\nName=Verdana\r\nSize=11\r\nfsItalic=1\r\n"
    "[Menu Options 2]\r\nCenter Captions=1\r\nShow Button Bar=0\r\nShow Message Bar=1\r\n"
    "Write only letters or words=1\r\nMenuEscriureTextALlegir=1\r\nMenuQdxPosition=5\r\n"
    "[Cell 1]\r\nCaption=Hola\r\nRead=hola, bon dia\r\nPicture=..\\imatges\\Hola.PNG\r\nFrame cell "
    "color=16711680\r\n"
    "Font Name=Comic Sans MS\r\nFont Size=22\r\nFont fsBold=1\r\nFont Color=255\r\n"
    "[Cell 2]\r\nCaption=Menjar\r\nRead=\r\nLink=sub\\menjar.qdx\r\n"
    "[Cell 3]\r\nCaption=Sona\r\nRead=Campana.WAV\r\n"
    "[Cell 4]\r\nCaption=Esborra\r\nSpecial Function=<ESBORRAR TOT>\r\n"
    "[Cell 5]\r\nCaption=Bloc\r\nSpecial Function=<EXECUTAR notepad.exe>\r\nLink=#sub\\menjar.qdx\r\n"
    "[Cell 6]\r\nFrame cell color=16777215\r\n";

const char* const FoodBoard =
    "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\nRows=1\r\n"
    "[Cell 1]\r\nCaption=Tornar\r\nRead=  \"cometes\"  \r\nLink=..\\inici.qdx\r\nSpecial "
    "Function=<NEXO_QDX_ANTERIOR>\r\n"
    "[Cell 2]\r\nCaption=Poma \xE0 la \x80\r\nPicture=..\\..\\imatges\\hola.png\r\nLink=falta.qdx\r\n";

TEST(RoundTrip, ExportedBoardsComeBackCellByCell) {
  test::TempFolder temp;
  std::filesystem::create_directories(temp.Path("set/taulers/sub"));
  std::filesystem::create_directories(temp.Path("set/imatges"));
  test::WriteBytes(temp.Path("set/taulers/inici.qdx"), HomeBoard);
  test::WriteBytes(temp.Path("set/taulers/sub/menjar.qdx"), FoodBoard);
  const std::string png = test::ReadBytes(std::string(NQ_FIXTURES) + "/obf/set/images/pear.png");
  test::WriteBytes(temp.Path("set/imatges/hola.png"), png);
  test::WriteBytes(temp.Path("set/taulers/campana.wav"),
                   test::ReadBytes(std::string(NQ_FIXTURES) + "/obf/set/sounds/bell.wav"));

  const ExportResult exported = ExportBoardSet(temp.Path("set/taulers/inici.qdx"), temp.Path("out.obz"));
  ASSERT_TRUE(exported.Ok) << exported.Error;
  EXPECT_EQ(exported.Boards, 2);
  ASSERT_EQ(exported.Notes.size(), 1u); // the link to the missing board
  EXPECT_NE(exported.Notes[0].find("falta.qdx"), std::string::npos);

  const ImportResult imported =
      ImportBoardSet(temp.Path("out.obz"), temp.Path("back"), nullptr, KeepingCommands());
  ASSERT_TRUE(imported.Ok) << imported.Error;
  EXPECT_EQ(imported.RootBoard, "taulers/inici.qdx");
  ExpectSameBoard(ReadBoard(temp.Path("set/taulers/inici.qdx")),
                  ReadBoard(temp.Path("back/taulers/inici.qdx")), "inici");
  ExpectSameBoard(ReadBoard(temp.Path("set/taulers/sub/menjar.qdx")),
                  ReadBoard(temp.Path("back/taulers/sub/menjar.qdx")), "menjar");
  // One picture file for the two cells that show it, with the same bytes; the sound too.
  EXPECT_EQ(test::ReadBytes(temp.Path("back/imatges/Hola.PNG")), png);
  EXPECT_FALSE(test::Exists(temp.Path("back/imatges/hola.png")));
  EXPECT_EQ(test::ReadBytes(temp.Path("back/taulers/Campana.WAV")),
            test::ReadBytes(temp.Path("set/taulers/campana.wav")));
}

// Other systems read the standard fields: the set must make sense without our own.
TEST(RoundTrip, TheExportedSetIsAValidOpenBoardSet) {
  test::TempFolder temp;
  test::WriteBytes(temp.Path("inici.qdx"), HomeBoard);
  std::filesystem::create_directories(temp.Path("sub"));
  test::WriteBytes(temp.Path("sub/menjar.qdx"), FoodBoard);
  ASSERT_TRUE(ExportBoardSet(temp.Path("inici.qdx"), temp.Path("out.obz")).Ok);
  std::string error;
  std::unique_ptr<SetFiles> files = OpenArchiveSet(temp.Path("out.obz"), error);
  ASSERT_TRUE(files) << error;
  std::string manifest;
  ASSERT_TRUE(files->Read("manifest.json", manifest, error));
  EXPECT_NE(manifest.find("\"root\": \"boards/b1.obf\""), std::string::npos);
  std::string bytes;
  ASSERT_TRUE(files->Read("boards/b1.obf", bytes, error));
  const ObfParse home = ParseObfBoard(bytes, "b1");
  ASSERT_TRUE(home.Board) << home.Error;
  EXPECT_EQ(home.Board->Rows, 2);
  EXPECT_EQ(home.Board->Columns, 3);
  const ObfButton& clear = home.Board->Buttons[3];
  EXPECT_EQ(clear.Label, "Esborra");
  EXPECT_EQ(clear.Actions, std::vector<std::string>{":clear"});
  ASSERT_TRUE(home.Board->Buttons[1].LoadBoard);
  EXPECT_EQ(home.Board->Buttons[1].LoadBoard->Path, "boards/b2.obf");
  EXPECT_EQ(home.Board->Buttons[0].BorderColor, "rgb(0, 0, 255)");
  EXPECT_EQ(home.Board->Buttons[0].Vocalization, std::optional<std::string>("hola, bon dia"));
}

TEST(RoundTrip, TheDemoBoardsComeBack) {
  test::TempFolder temp;
  const std::string data = std::string(NQ_SOURCE_DIR) + "/data/";
  const ExportResult exported = ExportBoardSet(data + "boards/ca/inici.qdx", temp.Path("demo.obz"));
  ASSERT_TRUE(exported.Ok) << exported.Error;
  EXPECT_GE(exported.Boards, 5);
  const ImportResult imported =
      ImportBoardSet(temp.Path("demo.obz"), temp.Path("back"), nullptr, KeepingCommands());
  ASSERT_TRUE(imported.Ok) << imported.Error;
  EXPECT_EQ(imported.Boards, exported.Boards);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.Path("back"))) {
    if (entry.path().extension() != ".qdx") continue;
    const std::string relative = std::filesystem::relative(entry.path(), temp.Path("back")).generic_string();
    ExpectSameBoard(ReadBoard(data + relative), ReadBoard(entry.path().string()), relative);
  }
}

TEST(RoundTrip, ExportRefusesWhatIsNotABoardAndKeepsAnOldArchive) {
  test::TempFolder temp;
  test::WriteBytes(temp.Path("old.obz"), "old");
  test::WriteBytes(temp.Path("x.qdx"), "[Quadrix]\r\nName=Other\r\n");
  ExportResult result = ExportBoardSet(temp.Path("x.qdx"), temp.Path("old.obz"));
  EXPECT_FALSE(result.Ok);
  EXPECT_NE(result.Error.find("not a board of this program"), std::string::npos);
  result = ExportBoardSet(temp.Path("missing.qdx"), temp.Path("old.obz"));
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(test::ReadBytes(temp.Path("old.obz")), "old");
  EXPECT_EQ(test::Listing(temp.Root()), (std::vector<std::string>{"old.obz", "x.qdx"}));
}

} // namespace
} // namespace nq::exchange
