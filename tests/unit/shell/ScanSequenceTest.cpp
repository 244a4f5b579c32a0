// What the scan highlights tick by tick, and what a selection runs, in row-column and linear scanning,
// with and without each bar, swapped, keeping the place, on boards with few or no stops.
#include <gtest/gtest.h>

#include "ShellFakes.h"

namespace nq::test {
namespace {

const std::vector<std::string> FullGrid = {"xxx", "xxx"};
const std::vector<std::string> SparseGrid = {"x.x", "xs."};

struct SequenceCase {
  const char* Name;
  std::vector<std::string> Grid;
  int32_t Mode = AutomaticScanning;
  bool Linear = false;
  bool ButtonBar = true;
  bool MessageBar = true;
  bool Swap = false;
  bool KeepPlace = false;
  int32_t MessageCells = 1;
  // t: one step (a tick, or a right click in directed scanning); c: a left click in the left half;
  // h / u: right button held / let go.
  std::string Script;
  std::vector<std::string> Expected; // what is shown after the start, then after each event
  std::vector<int32_t> Items = {};   // what the selections ran
};

void PrintTo(const SequenceCase& c, std::ostream* os) {
  *os << c.Name;
}

void RunEvent(ScanHarness& h, char event) {
  switch (event) {
  case 't':
    if (h.State.View.ScanMode == DirectedScanning) {
      h.Modes.HandleMouseEvent(PointerEventKind::RightRelease, 700, 300);
    } else {
      h.Clock.Advance(static_cast<uint64_t>(h.State.ScanStepMs));
    }
    break;
  case 'c':
    h.Modes.HandleMouseEvent(PointerEventKind::LeftRelease, 100, 300);
    break;
  case 'h':
    h.Modes.HandleMouseEvent(PointerEventKind::RightPress, 100, 300);
    break;
  case 'u':
    h.Modes.HandleMouseEvent(PointerEventKind::RightRelease, 100, 300);
    break;
  default:
    FAIL() << "unknown event " << event;
  }
}

void StartMode(ScanHarness& h, int32_t mode) {
  if (mode == AutomaticScanning) h.Modes.MenuEscaneigAutomaticClick();
  if (mode == DirectedScanning) h.Modes.MenuEscaneigDirigitClick();
  if (mode == HeldButtonScanning) h.Modes.MenuEscaneigAutomaticActivatAmbClicDretPremutClick();
}

class ScanSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(ScanSequence, HighlightsStepByStep) {
  const SequenceCase& c = GetParam();
  ScanHarness h;
  h.State.LinearScanning = c.Linear;
  h.State.KeepPlace = c.KeepPlace;
  h.Bars(c.ButtonBar, c.MessageBar, c.Swap);
  h.Fill(c.Grid, c.MessageCells);
  StartMode(h, c.Mode);
  std::vector<std::string> shown = {h.Shown()};
  for (char event : c.Script) {
    RunEvent(h, event);
    shown.push_back(h.Shown());
  }
  EXPECT_EQ(shown, c.Expected);
  EXPECT_EQ(h.Actions.Items, c.Items);
}

std::vector<std::string> Buttons(int from, int to) {
  std::vector<std::string> out;
  for (int n = from; n <= to; ++n)
    out.push_back("b" + std::to_string(n));
  return out;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

const SequenceCase RowColumnCases[] = {
    {.Name = "BothBarsRowsInOrder",
     .Grid = FullGrid,
     .Script = "tttttt",
     .Expected = {"-", "B", "R1", "R2", "M", "B", "R1"}},
    {.Name = "SwappedBars",
     .Grid = FullGrid,
     .Swap = true,
     .Script = "ttttt",
     .Expected = {"-", "M", "R1", "R2", "B", "M"}},
    {.Name = "NoBars",
     .Grid = FullGrid,
     .ButtonBar = false,
     .MessageBar = false,
     .Script = "ttt",
     .Expected = {"-", "R1", "R2", "R1"}},
    {.Name = "ButtonBarOnly",
     .Grid = FullGrid,
     .MessageBar = false,
     .Script = "tttt",
     .Expected = {"-", "B", "R1", "R2", "B"}},
    {.Name = "SwappedMessageBarOnly",
     .Grid = FullGrid,
     .ButtonBar = false,
     .Swap = true,
     .Script = "tttt",
     .Expected = {"-", "M", "R1", "R2", "M"}},
    {.Name = "ItemsSkipEmptyPictureOnlyAndMarkedCells",
     .Grid = {"x.s", "rpx"},
     .Script = "ttcttttcttt",
     .Expected = {"-", "B", "R1", "R1", "c1", "B", "R1", "R2", "R2", "c4", "c6", "B"}},
    {.Name = "SelectionStartsAgainFromTheTop",
     .Grid = FullGrid,
     .Script = "ttctct",
     .Expected = {"-", "B", "R1", "R1", "c1", "c1", "B"},
     .Items = {1}},
    {.Name = "KeepPlaceInAutomaticGoesOn",
     .Grid = FullGrid,
     .KeepPlace = true,
     .Script = "ttcttct",
     .Expected = {"-", "B", "R1", "R1", "c1", "c2", "c2", "c3"},
     .Items = {2}},
    {.Name = "KeepPlaceInDirectedShowsTheSameCell",
     .Grid = FullGrid,
     .Mode = DirectedScanning,
     .KeepPlace = true,
     .Script = "tcttct",
     .Expected = {"B", "R1", "c1", "c2", "c3", "c3", "B"},
     .Items = {3}},
    {.Name = "DirectedSelectionStartsFromTheTop",
     .Grid = FullGrid,
     .Mode = DirectedScanning,
     .Script = "tcc",
     .Expected = {"B", "R1", "c1", "B"},
     .Items = {1}},
    {.Name = "ButtonBarEightPositionsThenTop",
     .Grid = FullGrid,
     .Mode = DirectedScanning,
     .Script = "cttttttttcc",
     .Expected = Join({{"B"}, Buttons(1, 8), {"B", "b1", "B"}}),
     .Items = {-1}},
    {.Name = "ChosenMessageRowReadsAtTheNextTick",
     .Grid = FullGrid,
     .Script = "ttttctt",
     .Expected = {"-", "B", "R1", "R2", "M", "M", "-", "B"},
     .Items = {-4}},
    {.Name = "ChosenMessageRowReadsAndGoesOnInDirected",
     .Grid = FullGrid,
     .Mode = DirectedScanning,
     .Script = "tttc",
     .Expected = {"B", "R1", "R2", "M", "B"},
     .Items = {-4}},
    {.Name = "EmptyMessageRowShowsNothingButCanBeChosen",
     .Grid = FullGrid,
     .MessageCells = 0,
     .Script = "ttttctt",
     .Expected = {"-", "B", "R1", "R2", "-", "-", "-", "B"},
     .Items = {-4}},
    {.Name = "ClickBeforeTheFirstTickDoesNothing",
     .Grid = FullGrid,
     .Script = "ct",
     .Expected = {"-", "-", "B"}},
    {.Name = "SecondClickOnAChosenRowKeepsIt",
     .Grid = FullGrid,
     .Script = "ttcct",
     .Expected = {"-", "B", "R1", "R1", "R1", "c1"}},
    {.Name = "SecondClickOnTheChosenButtonBarKeepsIt",
     .Grid = FullGrid,
     .Script = "tcct",
     .Expected = {"-", "B", "B", "B", "b1"}},
    {.Name = "HeldRightButtonRunsTheScan",
     .Grid = FullGrid,
     .Mode = HeldButtonScanning,
     .Script = "tthtttuttc",
     .Expected = {"B", "B", "B", "B", "R1", "R2", "M", "M", "M", "M", "B"},
     .Items = {-4}},
};

INSTANTIATE_TEST_SUITE_P(RowColumn, ScanSequence, ::testing::ValuesIn(RowColumnCases),
                         [](const auto& info) { return std::string(info.param.Name); });

const SequenceCase LinearCases[] = {
    {.Name = "BothBarsButtonsThenStopsThenAround",
     .Grid = SparseGrid,
     .Linear = true,
     .Script = "tttttttttttt",
     .Expected = Join({{"-"}, Buttons(1, 8), {"c1", "c3", "c4", "b1"}})},
    {.Name = "SwappedMessageRowShowsNothingInAutomatic",
     .Grid = SparseGrid,
     .Linear = true,
     .Swap = true,
     .Script = "tttttttttttttt",
     .Expected = Join({{"-", "-", "c1", "c3", "c4"}, Buttons(1, 8), {"-", "c1"}})},
    {.Name = "SwappedMessageRowPassedInDirected",
     .Grid = SparseGrid,
     .Mode = DirectedScanning,
     .Linear = true,
     .Swap = true,
     .Script = "tt",
     .Expected = {"c1", "c3", "c4"}},
    {.Name = "NoBars",
     .Grid = SparseGrid,
     .Linear = true,
     .ButtonBar = false,
     .MessageBar = false,
     .Script = "tttt",
     .Expected = {"-", "c1", "c3", "c4", "c1"}},
    {.Name = "SelectionActsOnTheHighlightedCell",
     .Grid = SparseGrid,
     .Linear = true,
     .ButtonBar = false,
     .Script = "tcttttc",
     .Expected = {"-", "c1", "c1", "c1", "c3", "c4", "c1", "c1"},
     .Items = {1, 1}},
    {.Name = "SelectedButtonAndBackToTheFirstButton",
     .Grid = SparseGrid,
     .Linear = true,
     .Script = "tttct",
     .Expected = {"-", "b1", "b2", "b3", "b3", "b1"},
     .Items = {-3}},
    {.Name = "KeepPlaceInDirected",
     .Grid = SparseGrid,
     .Mode = DirectedScanning,
     .Linear = true,
     .ButtonBar = false,
     .MessageBar = false,
     .KeepPlace = true,
     .Script = "tct",
     .Expected = {"c1", "c3", "c3", "c4"},
     .Items = {3}},
    {.Name = "NoStopNoButtonBarEndsEachStepEmpty",
     .Grid = {"pp.", "..."},
     .Linear = true,
     .ButtonBar = false,
     .Script = "tttc",
     .Expected = {"-", "-", "-", "-", "-"}},
    {.Name = "NoStopWithSwappedMessageBarInDirected",
     .Grid = {"pp.", "..."},
     .Mode = DirectedScanning,
     .Linear = true,
     .ButtonBar = false,
     .Swap = true,
     .Script = "ttc",
     .Expected = {"-", "-", "-", "-"}},
    {.Name = "NoStopStillReachesTheButtons",
     .Grid = {"...", "..."},
     .Linear = true,
     .MessageBar = false,
     .Script = "ttttttttt",
     .Expected = Join({{"-"}, Buttons(1, 8), {"b1"}})},
};

INSTANTIATE_TEST_SUITE_P(Linear, ScanSequence, ::testing::ValuesIn(LinearCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ScanSequence, BoardWithoutStopsKeepsTheScanAndRowColumnStillSteps) {
  ScanHarness h;
  h.Fill(FullGrid);
  h.Modes.MenuEscaneigDirigitClick();
  h.Modes.ScanStep();
  const ScanPosition before = h.Modes.Scan().Position;
  h.Fill({"p", "."});
  EXPECT_EQ(h.Modes.Scan().Position, before);
  EXPECT_EQ(h.Shown(), "-");
  // Rows beyond the new board's last row hold nothing; the scan goes round without harm.
  std::vector<std::string> shown;
  for (int i = 0; i < 6; ++i) {
    h.Modes.ScanStep();
    shown.push_back(h.Shown());
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"c2", "M", "B", "c1", "c2", "M"}));
}

TEST(ScanSequence, EachStepPutsThePointerOverTheWindow) {
  ScanHarness h;
  h.Fill(FullGrid);
  h.Modes.MenuEscaneigDirigitClick();
  h.Modes.ScanStep();
  ASSERT_EQ(h.Pointer.Moves.size(), 2u);
  EXPECT_EQ(h.Pointer.Moves.back(), (std::pair<int32_t, int32_t>{100 + 800 / 4, 50 + 640 / 2}));
}

TEST(ScanSequence, StepsTellTheViewThatOnlyPensChanged) {
  ScanHarness h;
  h.Fill(FullGrid);
  h.Modes.MenuEscaneigAutomaticClick();
  const uint64_t content = h.Layout.ContentRevision();
  for (const char event : std::string("tttcttt")) {
    const uint64_t painted = h.Layout.Revision();
    RunEvent(h, event);
    if (event == 't') {
      EXPECT_NE(h.Layout.Revision(), painted) << "a step must still be repainted";
    }
  }
  EXPECT_EQ(h.Layout.ContentRevision(), content) << "the view would compare all cells again at every step";
  h.Layout.LayoutCells();
  EXPECT_NE(h.Layout.ContentRevision(), content);
}

} // namespace
} // namespace nq::test
