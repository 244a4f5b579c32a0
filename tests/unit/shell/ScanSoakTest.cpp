// A day of automatic scanning at the fastest step, with selections and board changes all along:
// nothing may grow, and the scan position must stay within the board and its bars.
#include <gtest/gtest.h>

#include "ShellFakes.h"

namespace nq::test {
namespace {

// Boards of every shape the scan meets: full, sparse, a single cell, the largest, and none with a stop.
std::vector<std::string> SoakBoard(int index) {
  switch (index % 6) {
  case 0:
    return {"xxx", "x.x"};
  case 1:
    return {"x"};
  case 2:
    return std::vector<std::string>(21, std::string(21, 'x'));
  case 3:
    return {"p..", "...", "..."};
  case 4:
    return {".s.x", "....", "r..."};
  default:
    return {"..", ".x", ".."};
  }
}

class CountingPointer final : public PointerMover {
public:
  int64_t Moves = 0;
  void MovePointerTo(int32_t, int32_t) override { ++Moves; }
};

TEST(ScanSoak, TwentyFourHoursAtTheFastestStepGrowNothing) {
  ScanHarness h;
  CountingPointer pointer;
  h.Modes.SetPointerMover(&pointer);
  h.State.ScanStepMs = 100;
  int64_t activations = 0;
  h.Actions.During = [&](int32_t) {
    ++activations;
    h.Layout.LayoutCells(); // as an activation repaints the grid
  };
  h.Fill(SoakBoard(0));
  h.Modes.MenuEscaneigAutomaticClick();
  const std::size_t timers = h.Clock.Timers.size();
  constexpr int64_t Ticks = 24LL * 60 * 60 * 10;
  int board = 0;
  for (int64_t tick = 1; tick <= Ticks; ++tick) {
    h.Clock.Advance(100);
    if (tick % 7 == 0) h.Modes.ClickAction();
    if (tick % 997 == 0) {
      ++board;
      h.State.LinearScanning = board % 2 == 1;
      h.State.KeepPlace = board % 3 == 1;
      h.Bars(board % 4 != 3, board % 5 != 4, board % 7 >= 4);
      h.Fill(SoakBoard(board), board % 4);
    }
    if (tick % 50021 == 0) h.Modes.MenuEscaneigAutomaticClick(); // chosen again: starts afresh
    h.Actions.Items.clear();
    if (tick % 101 == 0) {
      const ScanPosition& p = h.Modes.Scan().Position;
      ASSERT_GE(p.ScanRow, -1);
      ASSERT_LE(p.ScanRow, MaxGridRows + 1);
      ASSERT_GE(p.ScanColumn, 0);
      ASSERT_LE(p.ScanColumn, MaxGridColumns + 1);
      ASSERT_FALSE(h.Modes.Scan().Busy);
      ASSERT_EQ(h.State.View.ScanMode, AutomaticScanning);
      const std::string shown = h.Shown();
      ASSERT_EQ(shown.find('+'), std::string::npos) << "two things highlighted at once: " << shown;
    }
  }
  EXPECT_EQ(h.Clock.Timers.size(), timers);
  EXPECT_TRUE(h.Clock.Waits.empty());
  EXPECT_GT(activations, 10000);
  EXPECT_GE(pointer.Moves, Ticks); // one pointer move per step
}

} // namespace
} // namespace nq::test
