// The dwell progress bar against a virtual clock: it fills as the dwell click approaches and is full
// when the click comes, whatever the timer's phase when the pointer arrived; it starts again on
// another item and after each click; it repaints at most 25 times a second and never when off.
#include <gtest/gtest.h>

#include "ShellFakes.h"
#include "shell/VisualAccess.h"

namespace nq::test {
namespace {

struct DwellBoard {
  ScanHarness H;
  VisualAccessOptions Visual{H.Ctx, H.Modes.Progress()};

  explicit DwellBoard(bool progress = true) {
    H.State.DwellTickMs = 1000;
    H.Fill({"xxx", "x.x"});
    H.Window.PointerX = H.Window.PointerY = -50; // outside every item
    if (progress) Visual.MenuProgresoClicAutomaticoClick();
    H.Options.MenuClicAutomaticALEstarEnUnacasellaClick();
  }
  const DwellIndicator& Bar() const { return H.Modes.Progress().Indicator(); }
  // The filled part of the bar as a share of its track.
  double Filled() const { return Bar().Visible ? double(Bar().Filled) / Bar().Track.Width : 0.0; }
};

TEST(DwellProgress, TheBarIsFullWhenTheClickComesWhateverThePhaseOfArrival) {
  // The pointer arrives this long after a dwell tick; the click comes on the second tick that finds it.
  for (const uint64_t phase : {0u, 1u, 300u, 640u, 999u}) {
    SCOPED_TRACE(phase);
    DwellBoard b;
    b.H.Clock.Advance(3000 + phase);
    b.H.PointAt(1);
    std::vector<double> atClick;
    b.H.Actions.During = [&](int32_t) { atClick.push_back(b.Filled()); };
    const uint64_t arrival = b.H.Clock.Now;
    const uint64_t click = (arrival / 1000 + 2) * 1000;
    // Half way to the click the bar is half full.
    b.H.Clock.Advance((click - arrival) / 2);
    EXPECT_NEAR(b.Filled(), 0.5, 0.05);
    b.H.Clock.Advance(click - b.H.Clock.Now);
    ASSERT_EQ(atClick.size(), 1u) << "no click at " << click;
    // The last frame before the click is at most one frame (40 ms) short of it.
    EXPECT_GE(atClick[0], 1.0 - 40.0 / double(click - arrival) - 0.01);
  }
}

TEST(DwellProgress, AfterAClickTheBarFillsAgainOverTwoTicks) {
  DwellBoard b;
  b.H.PointAt(3);
  b.H.Clock.Advance(2000); // clicks at 2000 (the pointer arrived on the tick at 0... found at 1000)
  ASSERT_EQ(b.H.Actions.Items, std::vector<int32_t>{3});
  b.H.Clock.Advance(40);
  EXPECT_LT(b.Filled(), 0.05);
  b.H.Clock.Advance(960);
  EXPECT_NEAR(b.Filled(), 0.5, 0.05);
  b.H.Clock.Advance(1000);
  EXPECT_EQ(b.H.Actions.Items, (std::vector<int32_t>{3, 3}));
}

TEST(DwellProgress, LeavingTheCellEmptiesTheBarAndAnotherCellStartsItsOwn) {
  DwellBoard b;
  b.H.PointAt(1);
  b.H.Clock.Advance(1500);
  ASSERT_TRUE(b.Bar().Visible);
  const GridRect first = b.Bar().Track;
  b.H.PointAt(6);
  b.H.Clock.Advance(40);
  EXPECT_LT(b.Filled(), 0.05);
  b.H.Clock.Advance(400);
  EXPECT_GT(b.Filled(), 0.1);
  // The new bar lies inside the new cell's frame.
  EXPECT_NE(b.Bar().Track, first);
  const TBox& cell = *b.H.Boxes.GridBox(6);
  const GridRect& grid = b.H.Layout.Panels().Boxes;
  EXPECT_GE(b.Bar().Track.Left, grid.Left + cell.Frame.Bounds.Left + cell.Frame.PenWidth);
  EXPECT_LE(b.Bar().Track.Right(), grid.Left + cell.Frame.Bounds.Right() - cell.Frame.PenWidth);
  EXPECT_LE(b.Bar().Track.Bottom(), grid.Top + cell.Frame.Bounds.Bottom() - cell.Frame.PenWidth);
  b.H.Window.PointerX = b.H.Window.PointerY = -50;
  b.H.Clock.Advance(40);
  EXPECT_FALSE(b.Bar().Visible);
  EXPECT_TRUE(b.H.Actions.Items.empty());
}

TEST(DwellProgress, ItemsThatDoNothingShowNoBarButtonsDo) {
  DwellBoard b;
  b.H.PointAt(5); // an empty cell
  b.H.Clock.Advance(1500);
  EXPECT_FALSE(b.Bar().Visible);
  const ButtonPanel& panel = b.H.Layout.Buttons()[1];
  b.H.Window.PointerX = panel.Bounds.Left + 30;
  b.H.Window.PointerY = panel.Bounds.Top + 30;
  b.H.Clock.Advance(600);
  ASSERT_TRUE(b.Bar().Visible);
  EXPECT_GE(b.Bar().Track.Top, panel.Bounds.Top);
  EXPECT_LE(b.Bar().Track.Bottom(), panel.Bounds.Bottom());
}

TEST(DwellProgress, RepaintsAtMostTwentyFiveTimesASecond) {
  for (const int32_t dwellMs : {200, 1000, 5000}) {
    SCOPED_TRACE(dwellMs);
    DwellBoard b;
    b.H.State.DwellTickMs = dwellMs;
    b.H.Options.MenuClicAutomaticALEstarEnUnacasellaClick(); // off and on: the new interval
    b.H.Options.MenuClicAutomaticALEstarEnUnacasellaClick();
    b.H.PointAt(2);
    std::vector<uint64_t> times;
    b.H.Window.OnDwellRefresh = [&] { times.push_back(b.H.Clock.Now); };
    b.H.Clock.Advance(10000);
    ASSERT_GT(times.size(), 50u) << "the bar hardly moved";
    for (size_t i = 1; i < times.size(); ++i)
      ASSERT_GE(times[i] - times[i - 1], 40u) << "at " << times[i];
  }
}

TEST(DwellProgress, NothingRunsOrRepaintsWhenTheOptionOrTheDwellIsOff) {
  DwellBoard off(false);
  off.H.PointAt(1);
  off.H.Clock.Advance(5000);
  EXPECT_EQ(off.H.Window.DwellRefreshes, 0);
  EXPECT_FALSE(off.H.Modes.Progress().FrameTimer().Enabled());
  EXPECT_EQ(off.H.Actions.Items.size(), 2u); // the dwell click itself works as always

  DwellBoard on;
  on.H.PointAt(1);
  on.H.Clock.Advance(500);
  ASSERT_TRUE(on.Bar().Visible);
  on.H.Options.MenuClicAutomaticALEstarEnUnacasellaClick(); // the dwell click off
  EXPECT_FALSE(on.Bar().Visible);
  EXPECT_FALSE(on.H.Modes.Progress().FrameTimer().Enabled());
  const int refreshes = on.H.Window.DwellRefreshes;
  on.H.Clock.Advance(3000);
  EXPECT_EQ(on.H.Window.DwellRefreshes, refreshes);
}

TEST(DwellProgress, TheBarTakesTheHighlightColour) {
  DwellBoard b;
  b.Visual.SetHighlightColour(HighlightColours[2]);
  b.H.PointAt(1);
  b.H.Clock.Advance(500);
  EXPECT_EQ(b.Bar().Colour, HighlightColours[2]);
}

} // namespace
} // namespace nq::test
