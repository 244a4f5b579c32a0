#include "actions/KeySequences.h"

#include <gtest/gtest.h>

#include <map>

#include "boards/CellBoxes.h"
#include "boards/GridLayout.h"
#include "support/CellTestFakes.h"
#include "support/FakeClipboard.h"
#include "support/RecordingKeys.h"
#include "support/VirtualClock.h"

namespace nq {
namespace {

using Events = std::vector<std::string>;

class KeySequencesTest : public ::testing::Test {
protected:
  KeySequencesTest() : Boxes(Metrics, Scaler, Marks), Grid(Boxes, View) {
    View.WriteLettersOrWordsMode = true;
    Grid.SetClientSize(800, 600);
  }

  void Send(const std::vector<std::string>& tokens) {
    for (const std::string& token : tokens)
      ASSERT_TRUE(Keys.SendNamedKey(token)) << token;
  }

  test::FakeTextMetrics Metrics;
  test::FakeScaler Scaler;
  test::FakeMarkSettings Marks;
  CellBoxes Boxes;
  GridViewState View;
  GridLayout Grid;
  test::RecordingKeySink Sink;
  test::TableLayout Layout;
  test::FakeClipboard Clip;
  test::VirtualClock Clock;
  KeySequences Keys{Sink, Layout, Clip, Clock, Grid, View};
  TBox Cell;
};

struct NamedCase {
  std::string Token;
  Events Expected;
};

// Function keys follow their number; the other rows are one of each shape (a press, the two languages'
// names of a key, a chord, a key under Control, a key of the Windows keyboard) and the irregular ones.
TEST_F(KeySequencesTest, NamedKeysSendTheirPressesAndChords) {
  for (int n = 1; n <= 12; ++n) {
    const std::string key = std::to_string(111 + n);
    Sink.Events.clear();
    EXPECT_TRUE(Keys.SendNamedKey("<F" + std::to_string(n) + ">")) << n;
    EXPECT_EQ(Sink.Events, (Events{key + "d", key + "u"})) << n;
  }
  const std::vector<NamedCase> cases = {
      {"<RETURN>", {"13d", "13u"}},
      {"<ESQUERRA>", {"37d", "37u"}},
      {"<IZQUIERDA>", {"37d", "37u"}},
      {"<DERECHA>", {"39d", "39u"}},
      {"<SUBE>", {"38d", "38u"}},
      {"<BAIXA>", {"40d", "40u"}},
      {"<AV.PAG.>", {"34d", "34u"}},
      {"<RE.PAG.>", {"33d", "33u"}},
      {"<BACKSPACE>", {"8d", "8u"}},
      {"<SHIFT TAB>", {"16d", "9d", "9u", "16u"}},
      {"<ALT F4>", {"18d", "115d", "115u", "18u"}},
      {"<FIN>", {"17d", "35d", "35u", "17u"}},
      {"<INICI>", {"17d", "36d", "36u", "17u"}},
      {"<CONTROL+C>", {"17d", "67d", "67u", "17u"}},
      {"<CONTROL+SHIFT+S>", {"17d", "16d", "83d", "83u", "16u", "17u"}},
      {"<NEXO_KEY_LWINDOW>", {"91d", "91u"}},
      {"<NEXO_KEY_CONTEXT_MENU>", {"93d", "93u"}},
  };
  for (const NamedCase& c : cases) {
    Sink.Events.clear();
    EXPECT_TRUE(Keys.SendNamedKey(c.Token)) << c.Token;
    EXPECT_EQ(Sink.Events, c.Expected) << c.Token;
  }
}

TEST_F(KeySequencesTest, TextsOutsideTheTableSendNothing) {
  for (const std::string text : {"", "<return>", "<RETURN> ", "RETURN", "<F13>", "<CONTROL+X>", "<CASA>"}) {
    EXPECT_FALSE(Keys.SendNamedKey(text)) << text;
  }
  EXPECT_TRUE(Sink.Events.empty());
}

struct LatchCase {
  const char* Name;
  std::vector<std::string> Tokens;
  Events Expected;
  bool ControlLatched;
};

// Latches are state: their keys go down only around a key the program sends, never between cells.
TEST_F(KeySequencesTest, LatchesWrapEachSentKeyAndHoldNothingBetween) {
  const std::vector<LatchCase> cases = {
      {"set", {"<NEXO_KEY_CONTROL>"}, {}, true},
      {"set twice", {"<NEXO_KEY_CONTROL>", "<NEXO_KEY_CONTROL>"}, {}, false},
      {"named key", {"<NEXO_KEY_CONTROL>", "<RETURN>"}, {"17d", "13d", "13u", "17u"}, true},
      {"no double press", {"<NEXO_KEY_CONTROL>", "<CONTROL+C>"}, {"17d", "67d", "67u", "17u"}, true},
      {"order",
       {"<NEXO_KEY_ALT_GR>", "<NEXO_KEY_ALT>", "<TAB>"},
       {"18d", "165d", "9d", "9u", "165u", "18u"},
       false},
      {"shift waits for a cell", {"<NEXO_KEY_SHIFT>", "<TAB>"}, {"9d", "9u"}, false},
  };
  for (const LatchCase& c : cases) {
    KeySequences keys{Sink, Layout, Clip, Clock, Grid, View};
    Sink.Events.clear();
    for (const std::string& token : c.Tokens)
      EXPECT_TRUE(keys.SendNamedKey(token)) << c.Name;
    EXPECT_EQ(Sink.Events, c.Expected) << c.Name;
    EXPECT_EQ(keys.Latched(Latch::Control), c.ControlLatched) << c.Name;
  }
}

struct TypeCase {
  const char* Name;
  std::vector<std::string> Latches;
  std::string Text;
  Events Expected;
  std::string Clipboard;
  bool LatchedAfter;
};

TEST_F(KeySequencesTest, TypeCellTextTypesWithTheModifiersTheLayoutNeeds) {
  const Events paste = {"17d", "86d", "86u", "17u"};
  const std::vector<TypeCase> cases = {
      {"plain letter", {}, "a", {"65d", "65u"}, "", false},
      {"capital", {}, "A", {"16d", "65d", "65u", "16u"}, "", false},
      {"needs AltGr", {}, "@", {"165d", "50d", "50u", "165u"}, "", false},
      {"euro with AltGr", {}, "\x80", {"165d", "69d", "69u", "165u"}, "", false},
      {"needs Shift", {}, "?", {"16d", "219d", "219u", "16u"}, "", false},
      {"word pasted", {}, "Hola", paste, "Hola", false},
      {"missing key pasted", {}, "\xE9", paste, "\xE9", false},
      {"empty", {}, "", {}, "", false},
      {"latched shift", {"<NEXO_KEY_SHIFT>"}, "a", {"16d", "65d", "65u", "16u"}, "", false},
      {"latched shift first only", {"<NEXO_KEY_SHIFT>"}, "hola", {"16d", "72d", "72u", "16u"}, "", false},
      {"latched shift on a shifted key",
       {"<NEXO_KEY_SHIFT>"},
       "?",
       {"16d", "219d", "219u", "16u"},
       "",
       false},
      {"latched shift keeps AltGr", {"<NEXO_KEY_SHIFT>"}, "@", {"165d", "50d", "50u", "165u"}, "", false},
      {"latched control", {"<NEXO_KEY_CONTROL>"}, "c", {"17d", "67d", "67u", "17u"}, "", false},
      {"latched AltGr", {"<NEXO_KEY_ALT_GR>"}, "e", {"165d", "69d", "69u", "165u"}, "", false},
      {"latched, nothing to type", {"<NEXO_KEY_CONTROL>"}, "", {}, "", true},
      {"latched, missing key", {"<NEXO_KEY_ALT>"}, "\xE9", paste, "\xE9", false},
  };
  for (const TypeCase& c : cases) {
    KeySequences keys{Sink, Layout, Clip, Clock, Grid, View};
    for (const std::string& token : c.Latches)
      ASSERT_TRUE(keys.SendNamedKey(token));
    Sink.Events.clear();
    Clip.Text.clear();
    Clock.Waits.clear();
    keys.TypeCellText(Cell, c.Text);
    EXPECT_EQ(Sink.Events, c.Expected) << c.Name;
    EXPECT_EQ(Clip.Text, c.Clipboard) << c.Name;
    EXPECT_EQ(keys.AnyModifierLatched(), c.LatchedAfter) << c.Name;
    const bool waited = std::count(Clock.Waits.begin(), Clock.Waits.end(), LatchedCharacterWaitMs) == 1;
    EXPECT_EQ(waited, !c.Latches.empty() && !c.Text.empty()) << c.Name;
  }
}

TEST_F(KeySequencesTest, CharacterWithoutKeyGoesThroughTheSinkWhenItCan) {
  Sink.CanTypeWithoutKey = true;
  Keys.TypeCellText(Cell, "\xB7");
  EXPECT_EQ(Sink.TypedWithoutKey, "\xB7");
  EXPECT_TRUE(Sink.Events.empty());
  EXPECT_TRUE(Clip.Text.empty());
}

TEST_F(KeySequencesTest, PictureModeCopiesExactlyTheCellInWindowCoordinates) {
  View.WriteLettersOrWordsMode = false;
  Grid.ArrangePanels();
  const GridRect panel = Grid.Panels().Boxes;
  ASSERT_GT(panel.Top, 0); // the button bar lies above the board
  Cell.Left = 10;
  Cell.Top = 20;
  Cell.Width = 100;
  Cell.Height = 50;
  Grid.HoveredItem = 3;
  Keys.TypeCellText(Cell, "Hola");
  ASSERT_EQ(Clip.Areas.size(), 1u);
  EXPECT_EQ(Clip.Areas[0], (GridRect{panel.Left + 10, panel.Top + 20, 100, 50}));
  EXPECT_EQ(Grid.HoveredItem, NoItem);
  EXPECT_EQ(Sink.Events, (Events{"17d", "86d", "86u", "17u"}));
  EXPECT_TRUE(Clip.Text.empty());
}

// Whatever a board sends, every key the program pressed is up again afterwards.
TEST_F(KeySequencesTest, NoKeyStaysDownAfterAnyTokenUnderAllLatches) {
  Send({"<NEXO_KEY_CONTROL>", "<NEXO_KEY_ALT>", "<NEXO_KEY_ALT_GR>"});
  for (const std::string token : {"<RETURN>", "<CONTROL+V>", "<CONTROL+SHIFT+S>", "<FI>", "<ALT HOME>"})
    Send({token});
  Keys.PasteIntoExternalWindow();
  Keys.TypeCellText(Cell, "@");
  std::map<std::string, int> held;
  for (const std::string& e : Sink.Events)
    held[e.substr(0, e.size() - 1)] += e.back() == 'd' ? 1 : -1;
  for (const auto& [key, count] : held)
    EXPECT_EQ(count, 0) << key;
}

TEST_F(KeySequencesTest, RawEventsReachTheSinkAndUnpressedKeysAreNotReleased) {
  Keys.SendKeyEvent(17, true);
  Keys.SendKeyEvent(65, true);
  Keys.SendKeyEvent(65, false);
  Keys.SendKeyEvent(17, false);
  Keys.SendKeyEvent(18, false);
  // A release of a key that was not down must not count as a hold: the key still goes down after it.
  Keys.SendKeyEvent(18, true);
  Keys.SendKeyEvent(18, false);
  EXPECT_EQ(Sink.Events, (Events{"17d", "65d", "65u", "17u", "18d", "18u"}));
}

} // namespace
} // namespace nq
