// Choices made while an item runs (the message read aloud, a word being deleted): the last one is kept
// and carried out when the item ends, never inside it.
#include <gtest/gtest.h>

#include <map>

#include "ShellFakes.h"

namespace nq::test {
namespace {

using Kind = PointerEventKind;

// A click made `atMs` into the run of an item: on a cell (k > 0), on the message bar (-4), on nothing
// (0), or a board change instead of a click (k = Elsewhere).
struct Click {
  int32_t AtMs;
  int32_t Item;
};
constexpr int32_t Elsewhere = 99;

struct KeptCase {
  const char* Name;
  int32_t First;                               // the item the user chose first
  std::map<int32_t, std::vector<Click>> While; // clicks made while an item runs, by item
  std::vector<int32_t> Run;                    // what ran, in order
  bool SelectOnPress = false;
};

class KeptChoice : public ::testing::TestWithParam<KeptCase> {};

TEST_P(KeptChoice, LastChoiceMadeDuringAnActionRunsWhenItEnds) {
  ScanHarness h;
  h.State.SelectOnPress = GetParam().SelectOnPress;
  h.Fill({"xxx", "xxx"});
  const GridRect bar = h.Layout.Panels().MessageBar;
  auto click = [&](int32_t k) {
    const auto [x, y] = k > 0 ? h.CellCentre(k) : k == 0 ? std::pair{-20, -20} : std::pair{10, bar.Top + 10};
    h.Modes.HandleMouseEvent(Kind::Move, x, y);
    h.Modes.HandleMouseEvent(Kind::LeftPress, x, y);
    h.Modes.HandleMouseEvent(Kind::LeftRelease, x, y);
  };
  std::map<int32_t, int> runs;
  h.Actions.During = [&](int32_t k) {
    // Only the first run of an item makes its clicks, or a kept choice would choose itself again.
    if (runs[k]++ > 0 || !GetParam().While.contains(k)) return;
    const std::size_t before = h.Actions.Items.size();
    const uint64_t start = h.Clock.Now;
    for (const Click& c : GetParam().While.at(k)) {
      h.Clock.WaitWithMessages(static_cast<int32_t>(start + static_cast<uint64_t>(c.AtMs) - h.Clock.Now));
      if (c.Item == Elsewhere)
        h.State.CurrentBoardFile = "other.qdx";
      else
        click(c.Item);
    }
    h.Clock.WaitWithMessages(500); // the rest of the action
    EXPECT_EQ(h.Actions.Items.size(), before) << "nothing runs inside a running action";
  };
  click(GetParam().First);
  EXPECT_EQ(h.Actions.Items, GetParam().Run);
  EXPECT_FALSE(h.Modes.KeptUntilDone().has_value());
  EXPECT_FALSE(h.Modes.Scan().Busy);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, KeptChoice,
    ::testing::Values(KeptCase{"OneChoiceWhileReading", -4, {{-4, {{1000, 2}}}}, {-4, 2}},
                      KeptCase{"OnPressToo", -4, {{-4, {{1000, 2}}}}, {-4, 2}, true},
                      KeptCase{"SecondChoiceReplacesTheFirst", -4, {{-4, {{500, 2}, {1500, 5}}}}, {-4, 5}},
                      KeptCase{"TheRunningItemAgainIsDropped", -4, {{-4, {{800, -4}}}}, {-4}},
                      KeptCase{"ADoublePressKeepsTheEarlierChoice", 1, {{1, {{200, 3}, {300, 1}}}}, {1, 3}},
                      KeptCase{"NothingUnderThePointerIsNoChoice", -4, {{-4, {{200, 6}, {900, 0}}}}, {-4, 6}},
                      KeptCase{"ChoiceDuringTheKeptChoiceRunsAfterIt",
                               -4,
                               {{-4, {{100, 2}}}, {2, {{100, -4}}}},
                               {-4, 2, -4}},
                      KeptCase{"AnotherBoardDropsIt", -4, {{-4, {{300, 2}, {600, Elsewhere}}}}, {-4}}),
    [](const auto& info) { return info.param.Name; });

} // namespace
} // namespace nq::test
