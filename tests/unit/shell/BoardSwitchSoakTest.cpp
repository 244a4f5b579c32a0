// A virtual day of the whole player (real board files, pictures, settings and write-backs, fake
// screen): automatic scanning every 100 ms with selections, and 10,000 changes of board among
// boards of every shape, a refused one and a missing one among them. Nothing may grow: timers,
// the picture cache beyond its budget, the board files on disk; and the player must always show a
// board it could read. Run under LeakSanitizer in the sanitizer build.
#include <gtest/gtest.h>

#include <filesystem>

#include "ShellFakes.h"
#include "support/PictureTestFiles.h"

namespace nq::test {
namespace {

TEST(BoardSwitchSoak, TenThousandBoardChangesInAVirtualDayGrowNothing) {
  ShellHarness h;
  const std::string pictures = h.Root + "boards/";
  const std::vector<uint8_t> png = EncodePng(PatternImage(90, 60));
  {
    std::ofstream out(pictures + "foto.png", std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  }
  std::vector<std::string> boards;
  // One board differs in its options, so changes to and from it write the settings (each write is
  // a synced replacement, so a soak that wrote on every change would mostly wait for the disk).
  const BoardSpec shapes[] = {{.Columns = 2, .Rows = 1, .Prefix = "a"},
                              {.Columns = 21, .Rows = 21, .Prefix = "b"},
                              {.Columns = 1, .Rows = 1, .Prefix = "c"},
                              {.Columns = 5, .Rows = 3, .Prefix = "d", .ShowButtonBar = false, .Position = 2},
                              {.Columns = 3, .Rows = 7, .Prefix = "e"}};
  for (size_t i = 0; i < std::size(shapes); ++i) {
    std::string text = BoardText(shapes[i]);
    // Every cell of every board shows the picture, so each change decodes or reuses pictures.
    for (int n = 1; n <= shapes[i].Columns * shapes[i].Rows; ++n) {
      const std::string section = "[Cell " + std::to_string(n) + "]\r\n";
      text.insert(text.find(section) + section.size(), "Picture=foto.png\r\n");
    }
    boards.push_back(pictures + "soak" + std::to_string(i) + ".qdx");
    ShellHarness::WriteFile(boards.back(), text);
  }
  const std::string refused = h.WriteBoard("massa.qdx", {.Columns = 30, .Rows = 2});
  const std::string missing = pictures + "cap.qdx";

  Player& player = h.Started({boards[0]});
  player.MutableState().ScanStepMs = 100;
  player.MenuClick("MenuEscaneigAutomatic");
  const std::size_t timers = h.Clock.Timers.size();
  std::vector<uintmax_t> sizes;

  constexpr int64_t Ticks = 24LL * 60 * 60 * 10;
  constexpr int64_t SwitchEvery = Ticks / 10000;
  int64_t switches = 0;
  for (int64_t tick = 1; tick <= Ticks; ++tick) {
    h.Clock.Advance(100);
    if (tick % 13 == 0) player.Modes().ClickAction();
    if (tick % SwitchEvery != 0) continue;
    ++switches;
    const int64_t pick = switches % 11;
    if (pick == 5)
      player.Boards().OpenBoard(refused);
    else if (pick == 8)
      player.Boards().OpenBoard(missing);
    else if (pick == 10)
      player.Boards().OpenBoard(h.State().PreviousBoardFile);
    else
      player.Boards().OpenBoard(boards[static_cast<size_t>(switches % 5)]);
    h.Messages.Messages.clear();
    ASSERT_NE(std::find(boards.begin(), boards.end(), h.State().CurrentBoardFile), boards.end())
        << "after change " << switches << " the player shows " << h.State().CurrentBoardFile;
    ASSERT_LE(player.Pictures().UsedBytes(), player.Pictures().BudgetBytes());
    if (switches == 100) {
      for (const std::string& board : boards)
        sizes.push_back(std::filesystem::file_size(board));
    }
  }
  EXPECT_GE(switches, 10000);
  EXPECT_EQ(h.Clock.Timers.size(), timers);
  // The write-backs replace values in place: after the first round no board grows any more.
  for (size_t i = 0; i < boards.size(); ++i)
    EXPECT_EQ(std::filesystem::file_size(boards[i]), sizes[i]) << boards[i];
  EXPECT_EQ(h.Setting("Menu Control", "MenuEscaneigAutomatic.Checked"), "1");
}

} // namespace
} // namespace nq::test
