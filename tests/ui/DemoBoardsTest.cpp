// The bundled boards on a small laptop screen: every window fits with its bars, every caption is whole
// (with the mark an option that is on adds), every menu-board cell has a picture, and every board can
// be reached from the home boards.
#include <QGuiApplication>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <vector>

#include "boards/BoardFile.h"
#include "boards/CellMarks.h"
#include "boards/PathResolver.h"
#include "support/CellTestFakes.h"
#include "support/WindowedPlayer.h"
#include "text/Encoding.h"
#include "ui/HeadlessWindow.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

// A 1366 x 768 screen with a 40 px panel; the frame and menu bar take this much of the window.
constexpr WindowRect SmallWorkArea{0, 0, 1366, 728};
constexpr int FrameWidth = 10;
constexpr int FrameAndMenuHeight = 60;

// The player writes options back into the boards it shows, so the tests work on a copy of data/.
class DataCopy {
public:
  DataCopy() { fs::copy(fs::path(NQ_SOURCE_DIR) / "data", Folder, fs::copy_options::recursive); }
  std::vector<fs::path> Boards() const {
    std::vector<fs::path> boards;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(Folder))
      if (entry.path().extension() == ".qdx") boards.push_back(entry.path());
    std::sort(boards.begin(), boards.end());
    return boards;
  }
  test::TempFolder Temp;
  const fs::path Folder = Temp.Root();
};

// One board shown by a player on the small screen, laid out in the window it would get there.
class ShownBoard {
public:
  ShownBoard(const DataCopy& data, const fs::path& board) {
    PlayerPaths paths;
    paths.DataFolder = Utf8ToWindows1252(data.Folder.string() + "/");
    paths.SharedFile = (data.Folder / "Quadrix.ini").string();
    Player& player = Shown.Start(paths);
    player.Boards().OpenBoard(Utf8ToWindows1252(board.string()));
    Rect = Shown.Window.CurrentWindowRect();
    if (Rect == WindowRect{0, 0, Shown.Window.ScreenWidth(), Shown.Window.ScreenHeight()})
      Rect = SmallWorkArea; // maximized
    player.ClientResized(Rect.Width - FrameWidth, Rect.Height - FrameAndMenuHeight);
    player.Layout().LayoutCells();
  }
  std::vector<const TBox*> CellsWithContent() {
    std::vector<const TBox*> cells;
    for (int32_t k = 1; k <= Shown.ThePlayer->State().CellCount; ++k) {
      const TBox& cell = *Shown.ThePlayer->Boxes().GridBox(k);
      if (!cell.Caption.empty()) cells.push_back(&cell);
    }
    return cells;
  }

  test::WindowedPlayer<HeadlessWindow> Shown{1, 1};
  WindowRect Rect;
};

// The caption as wide as it can get: with the mark, under whichever placement marks it.
int WidestCaption(QtTextMetrics& metrics, const TBox& cell) {
  int widest = 0;
  for (int32_t position = 0; position <= 8; ++position) {
    test::OptionsOn settings("", position);
    widest = std::max(widest, metrics.TextWidth(cell.CaptionFont(),
                                                MarkedCaption(cell.Caption, cell.SpecialFunction, settings)));
  }
  return widest;
}

TEST(DemoBoardsTest, FitA1366x768ScreenWithWholeCaptions) {
  const DataCopy data;
  const std::vector<fs::path> boards = data.Boards();
  ASSERT_GE(boards.size(), 13u);
  for (const fs::path& board : boards) {
    const std::string name = board.filename().string();
    ShownBoard shown(data, board);
    EXPECT_GE(shown.Rect.Left, SmallWorkArea.Left) << name;
    EXPECT_GE(shown.Rect.Top, SmallWorkArea.Top) << name;
    EXPECT_LE(shown.Rect.Left + shown.Rect.Width, SmallWorkArea.Left + SmallWorkArea.Width) << name;
    EXPECT_LE(shown.Rect.Top + shown.Rect.Height, SmallWorkArea.Top + SmallWorkArea.Height) << name;
    for (const TBox* cell : shown.CellsWithContent()) {
      EXPECT_TRUE(cell->CaptionLabel.Visible) << name << " cell " << cell->Number;
      EXPECT_LE(WidestCaption(shown.Shown.Metrics, *cell), cell->CaptionLabel.Bounds.Width)
          << name << " cell " << cell->Number << " \"" << Windows1252ToUtf8(cell->Caption) << "\"";
    }
  }
}

TEST(DemoBoardsTest, EveryMenuBoardCellShowsAPicture) {
  const DataCopy data;
  ShownBoard shown(data, data.Folder / "Nexo_quadrix_menu.qdx");
  const std::vector<const TBox*> cells = shown.CellsWithContent();
  ASSERT_GE(cells.size(), 30u);
  for (const TBox* cell : cells) {
    EXPECT_TRUE(cell->PictureImage.Visible)
        << "cell " << cell->Number << " \"" << Windows1252ToUtf8(cell->Caption) << "\"";
    EXPECT_GT(cell->PictureImage.Bounds.Height, 20) << "cell " << cell->Number;
  }
}

const CellRecord& CellAt(const Board& board, int n) {
  const CellPosition at = CellNumberToPosition(n, board.Columns);
  return board.Cell(at.Column, at.Row);
}

// Every board the links reach from the given one, itself included (paths on disk).
std::set<fs::path> ReachedByLinks(const fs::path& start) {
  test::FakeDialogs dialogs;
  Board board;
  BoardFile reader(board, dialogs);
  std::set<fs::path> reached{fs::canonical(start)};
  std::vector<fs::path> pending{*reached.begin()};
  while (!pending.empty()) {
    const fs::path current = pending.back();
    pending.pop_back();
    if (!reader.ReadBoardFile(Utf8ToWindows1252(current.string()))) continue;
    for (int n = 1; n <= board.CellCount(); ++n) {
      std::string link = CellAt(board, n).Link;
      std::erase(link, '#');
      if (link.empty()) continue;
      const std::optional<std::string> found = FindBoardPath(current.parent_path().string(), link);
      if (found && reached.insert(fs::canonical(*found)).second) pending.push_back(fs::canonical(*found));
    }
  }
  return reached;
}

TEST(DemoBoardsTest, EveryDemoBoardIsReachedByLinksFromEachHomeBoard) {
  const fs::path boards = fs::path(NQ_SOURCE_DIR) / "data" / "boards";
  for (const char* home : {"ca/inici.qdx", "es/inicio.qdx"}) {
    const std::set<fs::path> reached = ReachedByLinks(boards / home);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(boards)) {
      if (entry.path().extension() != ".qdx") continue;
      EXPECT_TRUE(reached.count(fs::canonical(entry.path()))) << entry.path().filename() << " from " << home;
    }
  }
}

TEST(DemoBoardsTest, KeyboardsTypeArithmeticAndPunctuation) {
  const std::string wanted = "2+2=4-*/()?!;:\"'";
  test::FakeDialogs dialogs;
  for (const char* keyboard : {"ca/teclat.qdx", "es/teclado.qdx"}) {
    Board board;
    BoardFile reader(board, dialogs);
    ASSERT_TRUE(reader.ReadBoardFile(std::string(NQ_SOURCE_DIR) + "/data/boards/" + keyboard));
    std::set<std::string> captions;
    for (int n = 1; n <= board.CellCount(); ++n)
      captions.insert(CellAt(board, n).Caption);
    for (char ch : wanted) {
      EXPECT_TRUE(captions.count(std::string(1, ch))) << keyboard << " has no key " << ch;
    }
  }
}

} // namespace
} // namespace nq
