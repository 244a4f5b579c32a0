// Reading .qdx boards: acceptance and refusal, the values read, and what a refusal leaves alone.
#include "boards/BoardFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/FakeDialogs.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

const std::string Header = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n";

using test::ReadBytes;

class BoardFileTest : public ::testing::Test {
protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path path = Folder / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  // A good board with distinct values everywhere, read first so that refusals have something to keep.
  std::string ReadGoodBoard() {
    const std::string path =
        Write("good.qdx", Header + "[Grid]\r\nColumns=2\r\nRows=2\r\n[Position]\r\nLeft=7\r\n"
                                   "[Cell 1]\r\nCaption=one\r\n[Cell 4]\r\nCaption=four\r\n");
    EXPECT_TRUE(Reader.ReadBoardFile(path));
    Dialogs.Messages.clear();
    return path;
  }

  test::TempFolder Temp;
  const fs::path Folder = Temp.Root();
  Board TheBoard;
  test::FakeDialogs Dialogs;
  BoardFile Reader{TheBoard, Dialogs};
};

TEST_F(BoardFileTest, HeaderOnlyIsOneEmptyCellWithDefaults) {
  const std::string path = Write("a.qdx", "[Quadrix]\nName=Quadrix\nautor=Vellumor\n");
  ASSERT_TRUE(Reader.ReadBoardFile(path));
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_EQ(TheBoard.Columns, 1);
  EXPECT_EQ(TheBoard.Rows, 1);
  EXPECT_EQ(TheBoard.CellCount(), 1);
  EXPECT_EQ(TheBoard.WindowLeft, 305);
  EXPECT_EQ(TheBoard.WindowTop, 117);
  EXPECT_EQ(TheBoard.WindowWidth, 632);
  EXPECT_EQ(TheBoard.WindowHeight, 452);
  EXPECT_FALSE(TheBoard.ShowButtonBar);
  EXPECT_FALSE(TheBoard.ShowMessageBar);
  EXPECT_EQ(TheBoard.Position, 0);
  EXPECT_EQ(TheBoard.GridFont.Name, "Arial");
  const CellRecord& cell = TheBoard.Cell(1, 1);
  EXPECT_EQ(cell.Caption, "");
  EXPECT_EQ(cell.Picture, "");
  EXPECT_EQ(cell.FrameCellColour, 0);
  EXPECT_EQ(cell.Font.Name, "Arial");
  EXPECT_EQ(cell.Font.Size, 0);
  EXPECT_EQ(Reader.FileName(), path);
}

TEST_F(BoardFileTest, EveryFieldOfAFullBoardIsRead) {
  const std::string path = std::string(NQ_FIXTURES) + "/boards/full.qdx";
  ASSERT_TRUE(Reader.ReadBoardFile(path));
  EXPECT_EQ(TheBoard.WindowLeft, 10);
  EXPECT_EQ(TheBoard.WindowTop, 20);
  EXPECT_EQ(TheBoard.WindowWidth, 800);
  EXPECT_EQ(TheBoard.WindowHeight, 600);
  EXPECT_EQ(TheBoard.Columns, 3);
  EXPECT_EQ(TheBoard.Rows, 2);
  EXPECT_EQ(TheBoard.GridFrameColour, 255);
  EXPECT_EQ(TheBoard.GridFont, (FontSpec{1, 65280, -13, "Times New Roman", 10, true, false, true, false}));
  EXPECT_TRUE(TheBoard.CenterCaptions);
  EXPECT_TRUE(TheBoard.WordWrap);
  EXPECT_TRUE(TheBoard.ShowButtonBar);
  EXPECT_FALSE(TheBoard.ShowMessageBar);
  EXPECT_TRUE(TheBoard.WriteOnlyLettersOrWords);
  EXPECT_TRUE(TheBoard.EscriureTextALlegir);
  EXPECT_TRUE(TheBoard.AlwaysVisible);
  EXPECT_TRUE(TheBoard.SendToExternWindow);
  EXPECT_TRUE(TheBoard.ForcingBeOnTop);
  EXPECT_EQ(TheBoard.Position, 4);
  const CellRecord& cafe = TheBoard.Cell(2, 1);
  EXPECT_EQ(cafe.Picture, "imatges\\caf\xE8.png");
  EXPECT_EQ(cafe.Caption, "Caf\xE8");
  EXPECT_EQ(cafe.Read, "Vull un caf\xE8");
  EXPECT_EQ(cafe.SpecialFunction, "<LLEGIR MISSATGE>");
  EXPECT_EQ(cafe.Link, "..\\Inici.qdx#2");
  EXPECT_EQ(cafe.FrameCellColour, 16777215);
  EXPECT_EQ(cafe.Font, (FontSpec{0, 128, -40, "Comic Sans MS", 0, false, true, false, true}));
  EXPECT_EQ(TheBoard.Cell(3, 2).Caption, "sis");
  EXPECT_EQ(Reader.Folder(), std::string(NQ_FIXTURES) + "/boards/");
}

struct ExtensionCase {
  const char* Name;
  bool Accepted;
};

class BoardFileExtension : public BoardFileTest, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(BoardFileExtension, OnlyQdxInAnyCaseIsABoard) {
  const std::string path = Write(GetParam().Name, Header);
  EXPECT_EQ(Reader.ReadBoardFile(path), GetParam().Accepted);
  if (GetParam().Accepted) {
    EXPECT_TRUE(Dialogs.Messages.empty());
  } else {
    EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{"No es un archivo .qdx"});
  }
}

INSTANTIATE_TEST_SUITE_P(Names, BoardFileExtension,
                         ::testing::Values(ExtensionCase{"board.QDX", true}, ExtensionCase{"board.Qdx", true},
                                           ExtensionCase{"board", false},
                                           ExtensionCase{"board.qdx.bak", false},
                                           ExtensionCase{"board.qd", false},
                                           ExtensionCase{"my.boards/board", false},
                                           ExtensionCase{".qdx", true}));

struct RefusalCase {
  const char* Label;
  std::string Bytes;
  std::string Message; // empty: refused silently
};

class BoardFileRefusal : public BoardFileTest, public ::testing::WithParamInterface<RefusalCase> {};

// Every refusal keeps the board on screen and keeps writing back into the board that was accepted.
TEST_P(BoardFileRefusal, KeepsTheBoardAndTheWriteBackTarget) {
  const std::string good = ReadGoodBoard();
  const Board before = TheBoard;
  const std::string refused = Write("refused.qdx", GetParam().Bytes);

  EXPECT_FALSE(Reader.ReadBoardFile(refused));
  if (GetParam().Message.empty()) {
    EXPECT_TRUE(Dialogs.Messages.empty());
  } else {
    EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{GetParam().Message});
  }
  EXPECT_TRUE(TheBoard == before);
  EXPECT_EQ(Reader.FileName(), good);

  Reader.WriteBoardInteger("Position", "Left", 99);
  EXPECT_EQ(ReadBytes(refused), GetParam().Bytes);
  EXPECT_NE(ReadBytes(good).find("Left=99"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BoardFileRefusal,
    ::testing::Values(RefusalCase{"LowerCaseName", "[Quadrix]\nName=quadrix\nautor=Vellumor\n", ""},
                      RefusalCase{"LowerCaseAutor", "[Quadrix]\nName=Quadrix\nautor=vellumor\n", ""},
                      RefusalCase{"MissingAutor", "[Quadrix]\nName=Quadrix\n", ""},
                      RefusalCase{"HeaderInOtherSection", "[Grid]\nName=Quadrix\nautor=Vellumor\n", ""},
                      RefusalCase{"Empty", "", ""},
                      RefusalCase{"Binary", std::string("\x00\xFF\x89PNG\r\n\x1A\n[\x00]=\xFE", 14), ""},
                      RefusalCase{"TooManyColumns", Header + "[Grid]\nColumns=22\nRows=3\n",
                                  "El tablero tiene 22 columnas; el m\xE1ximo es 21."},
                      RefusalCase{"TooManyRows", Header + "[Grid]\nColumns=3\nRows=25\n",
                                  "El tablero tiene 25 filas; el m\xE1ximo es 21."},
                      RefusalCase{"AbsurdColumns", Header + "[Grid]\nColumns=1000000\n",
                                  "El tablero tiene 1000000 columnas; el m\xE1ximo es 21."},
                      RefusalCase{"ProductOverflows", Header + "[Grid]\nColumns=65536\nRows=65536\n",
                                  "El tablero tiene 65536 columnas; el m\xE1ximo es 21."},
                      RefusalCase{"NoColumns", Header + "[Grid]\nColumns=0\nRows=3\n",
                                  "El tablero tiene 0 columnas; debe tener al menos una."},
                      RefusalCase{"NoRows", Header + "[Grid]\nColumns=3\nRows=0\n",
                                  "El tablero tiene 0 filas; debe tener al menos una."},
                      RefusalCase{"NegativeColumnsButTooManyRows", Header + "[Grid]\nColumns=-5\nRows=22\n",
                                  "El tablero tiene 22 filas; el m\xE1ximo es 21."}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST_F(BoardFileTest, MissingOrUnnamedFileKeepsTheBoard) {
  const std::string good = ReadGoodBoard();
  const Board before = TheBoard;
  const std::string missing = (Folder / "nothere.qdx").string();

  EXPECT_FALSE(Reader.ReadBoardFile(missing));
  EXPECT_FALSE(Reader.ReadBoardFile(""));
  fs::create_directories(Folder / "folder.qdx");
  EXPECT_FALSE(Reader.ReadBoardFile((Folder / "folder.qdx").string()));

  EXPECT_EQ(Dialogs.Messages,
            (std::vector<std::string>{"No existe el archivo: " + missing,
                                      "No existe el archivo: " + (Folder / "folder.qdx").string()}));
  EXPECT_TRUE(TheBoard == before);
  EXPECT_EQ(Reader.FileName(), good);
  Reader.WriteBoardFlag("Menu Options 2", "Show Button Bar", true);
  EXPECT_NE(ReadBytes(good).find("Show Button Bar=1"), std::string::npos);
  EXPECT_FALSE(fs::exists(missing));
}

struct ColumnsCase {
  const char* Value;
  int32_t Columns;
};

class BoardFileColumns : public BoardFileTest, public ::testing::WithParamInterface<ColumnsCase> {};

TEST_P(BoardFileColumns, IntegerFormsAndDefaults) {
  const std::string path = Write("c.qdx", Header + "[Grid]\nColumns=" + GetParam().Value + "\n");
  ASSERT_TRUE(Reader.ReadBoardFile(path));
  EXPECT_EQ(TheBoard.Columns, GetParam().Columns);
  EXPECT_EQ(TheBoard.Rows, 1);
}

INSTANTIATE_TEST_SUITE_P(Values, BoardFileColumns,
                         ::testing::Values(ColumnsCase{"0x3", 3}, ColumnsCase{"$A", 10},
                                           ColumnsCase{"three", 1}, ColumnsCase{"3.5", 1}, ColumnsCase{"", 1},
                                           ColumnsCase{" 21 ", 21}, ColumnsCase{"\"4\"", 4},
                                           ColumnsCase{"99999999999", 1}));

TEST_F(BoardFileTest, NegativeSizesGiveABoardWithNoCells) {
  for (const char* grid :
       {"Columns=-5\nRows=3\n", "Columns=-5\nRows=-5\n", "Columns=-65536\nRows=-65536\n"}) {
    SCOPED_TRACE(grid);
    const std::string path = Write("n.qdx", Header + "[Grid]\n" + grid + "[Cell 1]\nCaption=never\n");
    ASSERT_TRUE(Reader.ReadBoardFile(path));
    EXPECT_EQ(TheBoard.CellCount(), 0);
    for (const CellRecord& cell : TheBoard.Cells)
      EXPECT_EQ(cell.Caption, "");
  }
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(BoardFileTest, CellsAreNumberedInRows) {
  std::string text = Header + "[Grid]\nColumns=3\nRows=3\n";
  for (int n = 1; n <= 9; ++n)
    text += "[Cell " + std::to_string(n) + "]\nCaption=c" + std::to_string(n) + "\n";
  ASSERT_TRUE(Reader.ReadBoardFile(Write("rows.qdx", text)));
  EXPECT_EQ(TheBoard.Cell(1, 3).Caption, "c7");
  EXPECT_EQ(TheBoard.Cell(3, 2).Caption, "c6");
  EXPECT_EQ(TheBoard.Cell(3, 1).Caption, "c3");
  EXPECT_EQ(TheBoard.Cell(3, 3).Caption, "c9");
  EXPECT_EQ((CellNumberToPosition(7, 3)), (CellPosition{1, 3}));
  EXPECT_EQ((CellNumberToPosition(6, 3)), (CellPosition{3, 2}));
  EXPECT_EQ(CellNumber(1, 3, 3), 7);
}

TEST_F(BoardFileTest, FullTableOf441CellsIsRead) {
  std::string text = Header + "[Grid]\nColumns=21\nRows=21\n";
  for (int n = 1; n <= MaxGridCells; ++n)
    text += "[Cell " + std::to_string(n) + "]\nRead=r" + std::to_string(n) + "\n";
  ASSERT_TRUE(Reader.ReadBoardFile(Write("big.qdx", text)));
  EXPECT_EQ(TheBoard.CellCount(), MaxGridCells);
  EXPECT_EQ(TheBoard.Cell(21, 21).Read, "r441");
  EXPECT_EQ(TheBoard.Cell(1, 21).Read, "r421");
}

TEST_F(BoardFileTest, SmallerBoardEmptiesTheTextsOfTheCellsItLacks) {
  std::string big = Header + "[Grid]\nColumns=5\nRows=4\n";
  for (int n = 1; n <= 20; ++n) {
    big += "[Cell " + std::to_string(n) +
           "]\nCaption=x\nPicture=p.png\nRead=r\nLink=l.qdx\nSpecial Function=<CASA>\n";
  }
  ASSERT_TRUE(Reader.ReadBoardFile(Write("big.qdx", big)));
  ASSERT_TRUE(
      Reader.ReadBoardFile(Write("small.qdx", Header + "[Grid]\nColumns=2\nRows=2\n[Cell 4]\nCaption=d\n")));
  EXPECT_EQ(TheBoard.Cell(2, 2).Caption, "d");
  EXPECT_EQ(TheBoard.Cell(1, 1).Caption, "");
  int filled = 0;
  for (const CellRecord& cell : TheBoard.Cells) {
    filled += !cell.Caption.empty() + !cell.Picture.empty() + !cell.Read.empty() + !cell.Link.empty() +
              !cell.SpecialFunction.empty();
  }
  EXPECT_EQ(filled, 1);
}

TEST_F(BoardFileTest, SizeDecidesTheFontHeight) {
  const std::string text =
      Header + "[Grid]\nColumns=2\n[Cell 1]\nFont Height=-40\n[Cell 2]\nFont Height=-40\nFont Size=12\n";
  ASSERT_TRUE(Reader.ReadBoardFile(Write("font.qdx", text)));
  EXPECT_EQ(TheBoard.Cell(1, 1).Font.Height, -40);
  EXPECT_EQ(AppliedFontHeight(TheBoard.Cell(1, 1).Font, 96), 0);
  EXPECT_EQ(AppliedFontHeight(TheBoard.Cell(2, 1).Font, 96), -16);
  EXPECT_EQ(AppliedFontHeight(TheBoard.Cell(2, 1).Font, 120), -20);
}

TEST_F(BoardFileTest, FirstOfDuplicateSectionsAndKeysWins) {
  const std::string text = Header + "[Grid]\nColumns=2\nColumns=9\n[grid]\nRows=9\n[Cell 1]\nCaption=first\n"
                                    "[CELL 1]\nCaption=second\nRead=second\n[Quadrix]\nName=Other\n";
  ASSERT_TRUE(Reader.ReadBoardFile(Write("dup.qdx", text)));
  EXPECT_EQ(TheBoard.Columns, 2);
  EXPECT_EQ(TheBoard.Rows, 1);
  EXPECT_EQ(TheBoard.Cell(1, 1).Caption, "first");
  EXPECT_EQ(TheBoard.Cell(1, 1).Read, "");
}

TEST_F(BoardFileTest, HugeLinesNeverBreakTheReader) {
  const std::string line(10 * 1024 * 1024, 'x');
  EXPECT_FALSE(Reader.ReadBoardFile(Write("line.qdx", line)));
  ASSERT_TRUE(
      Reader.ReadBoardFile(Write("long.qdx", Header + "[Cell 1]\nCaption=" + line + "\n" + line + "\n")));
  EXPECT_EQ(TheBoard.Cell(1, 1).Caption, std::string(1023, 'x'));
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(BoardFileTest, WindowsNameWithBackslashesAndOtherCaseOpens) {
  const std::string real = Write("Taulers/inici.qdx", Header + "[Cell 1]\nCaption=inici\n");
  Write("Taulers/animals/gos.qdx", Header);
  const std::string name = Folder.string() + "/taulers\\ANIMALS\\..\\Inici.QDX";
  ASSERT_TRUE(Reader.ReadBoardFile(name));
  EXPECT_EQ(TheBoard.Cell(1, 1).Caption, "inici");
  EXPECT_EQ(Reader.FileName(), name);
  EXPECT_EQ(Reader.Folder(), Folder.string() + "/taulers\\ANIMALS\\..\\");
  EXPECT_TRUE(fs::equivalent(Reader.PathOnDisk(), real));
  EXPECT_TRUE(fs::equivalent(Reader.FolderOnDisk(), Folder / "Taulers"));
}

TEST_F(BoardFileTest, WriteBacksChangeOnlyTheirValue) {
  const std::string before = Header + "; made on Windows\r\n[Menu Options 2]\r\nShow Button Bar=0\r\n"
                                      "MenuQdxPosition=3\r\n[Cell 1]\r\nCaption=Caf\xE8\r\n";
  const std::string path = Write("w.qdx", before);
  ASSERT_TRUE(Reader.ReadBoardFile(path));

  Reader.WriteBoardFlag("menu options 2", "show button bar", true);
  Reader.WriteBoardInteger("Menu Options 2", "MenuQdxPosition", -8);
  std::string expected = before;
  expected.replace(expected.find("Bar=0"), 5, "Bar=1");
  expected.replace(expected.find("=3"), 2, "=-8");
  EXPECT_EQ(ReadBytes(path), expected);

  Reader.WriteBoardInteger("Position", "Left", 12);
  const std::string after = ReadBytes(path);
  EXPECT_EQ(after.substr(0, expected.size()), expected);
  EXPECT_NE(after.find("[Position]"), std::string::npos);
  ASSERT_TRUE(Reader.ReadBoardFile(path));
  EXPECT_EQ(TheBoard.WindowLeft, 12);
  EXPECT_EQ(TheBoard.Position, -8);
  EXPECT_TRUE(TheBoard.ShowButtonBar);
}

TEST_F(BoardFileTest, WriteBacksBeforeAnyBoardDoNothing) {
  const std::string path = Write("untouched.qdx", "[Quadrix]\nName=quadrix\n");
  Reader.WriteBoardFlag("Menu Options 2", "Show Button Bar", true);
  EXPECT_FALSE(Reader.ReadBoardFile(path));
  Reader.WriteBoardFlag("Menu Options 2", "Show Button Bar", true);
  EXPECT_FALSE(Reader.HasBoard());
  EXPECT_EQ(ReadBytes(path), "[Quadrix]\nName=quadrix\n");
}

} // namespace
} // namespace nq
