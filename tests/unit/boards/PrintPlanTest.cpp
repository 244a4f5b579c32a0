// Boards on paper before drawing: pages cut a board only between cells and cover it exactly once,
// and a book lists the boards a home board reaches in a stable order.
#include <gtest/gtest.h>

#include <fstream>
#include <numeric>
#include <set>

#include "boards/PrintPlan.h"
#include "support/FakeDialogs.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

constexpr const char* Header = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n";

TEST(PackRunsTest, RunsFitTheLimitAndKeepEveryLengthOnce) {
  struct Case {
    std::vector<int32_t> Lengths;
    int32_t Limit;
    std::vector<std::pair<std::size_t, std::size_t>> Expected;
  };
  const Case cases[] = {
      {{10, 10, 10}, 30, {{0, 3}}},
      {{10, 10, 10}, 29, {{0, 2}, {2, 3}}},
      {{10, 10, 10}, 10, {{0, 1}, {1, 2}, {2, 3}}},
      {{65, 40, 40, 40, 135}, 150, {{0, 3}, {3, 4}, {4, 5}}}, // a bar taller than what is left moves on
      {{50}, 20, {{0, 1}}},                                   // longer than a page: alone, never dropped
      {{}, 20, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PackRuns(c.Lengths, c.Limit), c.Expected) << "limit " << c.Limit;
}

// Every client pixel row and column of the grid lies in exactly one tile, tiles cut only on cell edges.
void ExpectExactCover(const BoardPages& pages, int32_t columns, int32_t rows, const PrintBars& bars) {
  ASSERT_EQ(pages.Tiles.size(), static_cast<std::size_t>(pages.TileColumns * pages.TileRows));
  const int32_t cellWidth = pages.ClientWidth / columns;
  const int32_t cellHeight = (pages.ClientHeight - bars.Top - bars.Bottom) / rows;
  int64_t area = 0;
  for (const PrintTile& tile : pages.Tiles) {
    area += int64_t{tile.Area.Width} * tile.Area.Height;
    if (pages.TileColumns > 1) {
      EXPECT_EQ(tile.Area.Left % cellWidth, 0) << "a cut through a column";
    }
    const int32_t gridTop = tile.Area.Top - bars.Top;
    if (tile.Area.Top != 0 && tile.Area.Top < pages.ClientHeight - bars.Bottom) {
      EXPECT_EQ(gridTop % cellHeight, 0) << "a cut through a row";
    }
    EXPECT_EQ(tile.CutLeft, tile.Area.Left > 0);
    EXPECT_EQ(tile.CutRight, tile.Area.Right() < pages.ClientWidth);
    EXPECT_EQ(tile.CutTop, tile.Area.Top > 0);
    EXPECT_EQ(tile.CutBottom, tile.Area.Bottom() < pages.ClientHeight);
  }
  EXPECT_EQ(area, int64_t{pages.ClientWidth} * pages.ClientHeight) << "tiles overlap or leave gaps";
}

TEST(PlanBoardPagesTest, PagesAcrossAndDown) {
  struct Case {
    const char* What;
    int32_t Columns, Rows;
    PrintBars Bars;
    PrintArea Area;
    int32_t Across, Down;
  };
  const Case cases[] = {
      {"fits", 4, 3, {65, 135}, {1000, 700, 0, 50}, 1, 1},
      {"too many columns to read", 21, 2, {0, 0}, {1000, 700, 0, 60}, 2, 1},
      {"too many rows to read", 2, 21, {0, 0}, {1000, 700, 0, 60}, 1, 2},
      {"given cell size", 10, 5, {0, 0}, {718, 1017, 151, 50}, 3, 1},
      {"given size, bars add a page down", 3, 6, {65, 135}, {700, 1000, 150, 50}, 1, 2},
      {"cell larger than the page", 2, 2, {0, 0}, {100, 100, 300, 50}, 2, 2},
      {"21 by 21", 21, 21, {65, 135}, {1047, 688, 0, 57}, 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    const BoardPages pages = PlanBoardPages(c.Columns, c.Rows, c.Bars, c.Area);
    EXPECT_EQ(pages.TileColumns, c.Across);
    EXPECT_EQ(pages.TileRows, c.Down);
    ExpectExactCover(pages, c.Columns, c.Rows, c.Bars);
    if (c.Area.CellSize > 0) {
      EXPECT_EQ(pages.ClientWidth, c.Columns * c.Area.CellSize);
    }
  }
}

TEST(PlanBoardPagesTest, AFittedBoardIsLaidOutInTheWholeAreaAndNeverBelowTheReadableSize) {
  const PrintArea area{1000, 700, 0, 60};
  const BoardPages fits = PlanBoardPages(5, 4, {65, 0}, area);
  EXPECT_EQ(fits.ClientWidth, 1000);
  EXPECT_EQ(fits.ClientHeight, 700);
  for (const int32_t columns : {16, 17, 21}) {
    const BoardPages cut = PlanBoardPages(columns, 1, {}, area);
    EXPECT_GE(cut.ClientWidth / columns, area.MinCellSize) << columns;
    for (const PrintTile& tile : cut.Tiles)
      EXPECT_LE(tile.Area.Width, area.Width);
  }
}

class PrintBookTest : public ::testing::Test {
protected:
  void Write(const std::string& name, int columns, const std::vector<std::string>& links) {
    std::ofstream out(Folder.Path(name), std::ios::binary);
    out << Header << "[Grid]\r\nColumns=" << columns << "\r\nRows=1\r\n";
    for (std::size_t i = 0; i < links.size(); ++i)
      if (!links[i].empty()) out << "[Cell " << i + 1 << "]\r\nCaption=c\r\nLink=" << links[i] << "\r\n";
  }
  std::vector<std::string> Names(const std::vector<PrintedBoardInfo>& book) {
    std::vector<std::string> names;
    for (const PrintedBoardInfo& info : book)
      names.push_back(std::filesystem::path(info.Path).filename().string());
    return names;
  }
  test::TempFolder Folder;
  test::FakeDialogs Messages;
};

TEST_F(PrintBookTest, HomeFirstThenBreadthFirstInCellOrderEachBoardOnce) {
  Write("home.qdx", 4, {"b.qdx", "C.QDX", "home.qdx", "b.qdx"}); // letter case as a Windows board writes it
  Write("b.qdx", 2, {"d.qdx", "..\\nowhere.qdx"});
  Write("c.qdx", 2, {"home.qdx", "d.qdx"});
  Write("d.qdx", 1, {"b.qdx"});
  Write("alone.qdx", 1, {""});
  std::vector<std::string> refused;
  const auto book = BookBoards(Folder.Path("home.qdx"), {Folder.Path("alone.qdx"), Folder.Path("d.qdx")},
                               Messages, refused);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"home.qdx", "b.qdx", "c.qdx", "d.qdx", "alone.qdx"}));
  EXPECT_TRUE(refused.empty());
}

TEST_F(PrintBookTest, ABoardThatDoesNotOpenIsLeftOutAndNamed) {
  Write("home.qdx", 2, {"broken.qdx", "b.qdx"});
  Write("b.qdx", 1, {""});
  std::ofstream(Folder.Path("broken.qdx"), std::ios::binary)
      << Header << "[Grid]\r\nColumns=99\r\nRows=99\r\n";
  std::vector<std::string> refused;
  const auto book = BookBoards(Folder.Path("home.qdx"), {}, Messages, refused);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"home.qdx", "b.qdx"}));
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0].find("broken.qdx"), std::string::npos);
}

TEST_F(PrintBookTest, AHomeBoardThatDoesNotOpenGivesAnEmptyBook) {
  std::vector<std::string> refused;
  EXPECT_TRUE(BookBoards(Folder.Path("missing.qdx"), {}, Messages, refused).empty());
}

TEST_F(PrintBookTest, TheFolderHomeIsTheBoardNothingLinksTo) {
  Write("a.qdx", 1, {"b.qdx"});
  Write("b.qdx", 1, {"c.qdx"});
  Write("c.qdx", 1, {"b.qdx"});
  Write("z.qdx", 1, {"a.qdx"});
  EXPECT_EQ(std::filesystem::path(FolderHomeBoard(Folder.Root())).filename(), "z.qdx");
  Write("z.qdx", 2, {"a.qdx", "inici.qdx"});
  Write("inici.qdx", 1, {"z.qdx"}); // every board is linked to: the home board is the one named so
  EXPECT_EQ(std::filesystem::path(FolderHomeBoard(Folder.Root())).filename(), "inici.qdx");
  std::ofstream(Folder.Path("root-board.txt")) << "b.qdx\n";
  EXPECT_EQ(std::filesystem::path(FolderHomeBoard(Folder.Root())).filename(), "b.qdx");
}

TEST_F(PrintBookTest, PicturesAreListedOnlyWhenTheirFilesExist) {
  std::ofstream(Folder.Path("Poma.png"), std::ios::binary) << "x";
  std::ofstream(Folder.Path("b.qdx"), std::ios::binary)
      << Header
      << "[Grid]\r\nColumns=3\r\nRows=1\r\n[Cell 1]\r\nPicture=poma.PNG\r\n[Cell 2]\r\nPicture=cap.png\r\n"
         "[Cell 3]\r\nPicture=Poma.png\r\n";
  const auto info = ReadPrintedBoard(Folder.Path("b.qdx"), Messages);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Pictures, (std::vector<std::string>{Folder.Path("Poma.png"), Folder.Path("Poma.png")}));
}

} // namespace
} // namespace nq
