// Clicking, dwelling and the scanning menu items: the mouse events in each mode, the menu corner and
// its latch, the dwell click, "No permitir clics", the settings the items write, and the scan staying
// whole when ticks and clicks arrive inside an activation's wait.
#include <gtest/gtest.h>

#include "ShellFakes.h"

namespace nq::test {
namespace {

using Kind = PointerEventKind;

TEST(AccessModes, ClickActivatesTheItemUnderThePointerOnReleaseOrPress) {
  for (bool onPress : {false, true}) {
    ScanHarness h;
    h.State.SelectOnPress = onPress;
    h.Fill({"x.x", "xxx"});
    const auto [x, y] = h.CellCentre(3);
    h.Modes.HandleMouseEvent(Kind::Move, x, y);
    h.Modes.HandleMouseEvent(Kind::LeftPress, x, y);
    EXPECT_EQ(h.Actions.Items, onPress ? std::vector<int32_t>{3} : std::vector<int32_t>{});
    h.Modes.HandleMouseEvent(Kind::LeftRelease, x, y);
    EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{3}) << "select on press: " << onPress;
    // An empty cell does nothing; the message bar reads the message; a button runs its action.
    const auto [ex, ey] = h.CellCentre(2);
    h.Modes.HandleMouseEvent(Kind::LeftPress, ex, ey);
    h.Modes.HandleMouseEvent(Kind::LeftRelease, ex, ey);
    const GridRect bar = h.Layout.Panels().MessageBar;
    h.Modes.HandleMouseEvent(Kind::LeftPress, 10, bar.Top + 10);
    h.Modes.HandleMouseEvent(Kind::LeftRelease, 10, bar.Top + 10);
    const GridRect buttons = h.Layout.Panels().ButtonBar;
    h.Modes.HandleMouseEvent(Kind::LeftPress, 130, buttons.Top + 10);
    h.Modes.HandleMouseEvent(Kind::LeftRelease, 130, buttons.Top + 10);
    EXPECT_EQ(h.Actions.Items, (std::vector<int32_t>{3, -4, -3}));
  }
}

TEST(AccessModes, CellsBeyondTheBoardOrWithoutAnythingAreNotActivated) {
  ScanHarness h;
  h.Fill({"xp", ".."});
  h.Boxes.GridBox(7)->Caption = "left over from a larger board";
  for (int32_t k : {0, 1, 2, 3, 7, 500, -1, -9})
    h.Modes.ActivateItem(k);
  EXPECT_EQ(h.Actions.Items, (std::vector<int32_t>{1, 2, -1, -9}));
}

TEST(AccessModes, BoardOpeningWithoutScanningKeepsThePointersHighlight) {
  ScanHarness h;
  h.Fill({"xx"});
  h.Modes.HandleMouseEvent(Kind::Move, 130, h.Layout.Panels().ButtonBar.Top + 10);
  h.Fill({"xxx"});
  EXPECT_EQ(h.Shown(), "b3");
}

TEST(AccessModes, RightButtonDoesNothingWithoutScanning) {
  ScanHarness h;
  h.Fill({"xx"});
  h.Modes.HandleMouseEvent(Kind::RightPress, 100, 300);
  h.Modes.HandleMouseEvent(Kind::RightRelease, 100, 300);
  EXPECT_TRUE(h.Actions.Items.empty());
  EXPECT_EQ(h.State.View.ScanMode, NoScanning);
}

struct RightStopCase {
  bool SelectOnPress;
  Kind Event;
  bool Stops;
};

TEST(AccessModes, RightClickStopsAutomaticScanningFollowingTheSelectionSetting) {
  const RightStopCase cases[] = {{false, Kind::RightPress, false},
                                 {false, Kind::RightRelease, true},
                                 {true, Kind::RightPress, true},
                                 {true, Kind::RightRelease, false}};
  for (const RightStopCase& c : cases) {
    ScanHarness h;
    h.State.SelectOnPress = c.SelectOnPress;
    h.Fill({"xx", "xx"});
    h.Modes.MenuEscaneigAutomaticClick();
    h.Clock.Advance(200);
    ASSERT_EQ(h.Shown(), "R1");
    h.Modes.HandleMouseEvent(c.Event, 100, 300);
    EXPECT_EQ(h.State.View.ScanMode, c.Stops ? NoScanning : AutomaticScanning);
    EXPECT_EQ(h.Shown(), c.Stops ? "-" : "R1");
    EXPECT_EQ(h.Modes.TimerEscaneig().Enabled(), !c.Stops);
    EXPECT_EQ(h.Menu.Checked("MenuEscaneigAutomatic"), !c.Stops);
  }
}

struct HalvesCase {
  bool SelectOnPress;
  Kind Event;
  int32_t X;
  const char* After; // shown after the event, starting from "R1" in directed scanning
};

TEST(AccessModes, DirectedScanningStepsInTheRightHalfAndSelectsInTheLeft) {
  const HalvesCase cases[] = {
      {false, Kind::LeftRelease, 401, "R2"}, {false, Kind::LeftRelease, 400, "c1"},
      {false, Kind::LeftPress, 700, "R1"},   {false, Kind::RightRelease, 100, "R2"},
      {false, Kind::RightPress, 100, "R1"},  {true, Kind::LeftPress, 700, "R2"},
      {true, Kind::LeftPress, 100, "c1"},    {true, Kind::LeftRelease, 700, "R1"},
      {true, Kind::RightPress, 100, "R2"},   {true, Kind::RightRelease, 100, "R1"},
  };
  for (const HalvesCase& c : cases) {
    ScanHarness h;
    h.State.SelectOnPress = c.SelectOnPress;
    h.Bars(false, false, false);
    h.Fill({"xx", "xx"});
    h.Modes.MenuEscaneigDirigitClick();
    ASSERT_EQ(h.Shown(), "R1");
    h.Modes.HandleMouseEvent(c.Event, c.X, 300);
    EXPECT_EQ(h.Shown(), c.After) << "press " << c.SelectOnPress << " x " << c.X;
    EXPECT_TRUE(h.Actions.Items.empty());
  }
}

struct ModeItemCase {
  void (AccessModes::*Start)();
  const char* Item;
  const char* Key;
  int32_t Mode;
};

TEST(AccessModes, ScanningItemsCheckWriteAndStopOneAnother) {
  const ModeItemCase cases[] = {
      {&AccessModes::MenuEscaneigAutomaticClick, "MenuEscaneigAutomatic", "MenuEscaneigAutomatic.Checked", 1},
      {&AccessModes::MenuEscaneigDirigitClick, "MenuEscaneigDirigit", "MenuEscaneigDirigit.Checked", 2},
      {&AccessModes::MenuEscaneigAutomaticActivatAmbClicDretPremutClick,
       "MenuEscaneigAutomaticActivatAmbClicDretPremut",
       "MenuEscaneigAutomaticActivatAmbClicDretPremut.Checked", 3},
  };
  const std::string settings = "Menu Control";
  for (const ModeItemCase& c : cases) {
    ScanHarness h;
    h.Fill({"xx"});
    (h.Modes.*(cases[0].Start))();
    (h.Modes.*c.Start)();
    EXPECT_EQ(h.State.View.ScanMode, c.Mode);
    EXPECT_TRUE(h.Menu.Checked(c.Item));
    EXPECT_EQ(ShellHarness::Stored(h.Root + "nexoquadrix.ini", settings, c.Key), "1");
    for (const ModeItemCase& other : cases)
      if (other.Mode != c.Mode) {
        EXPECT_FALSE(h.Menu.Checked(other.Item)) << other.Item;
      }
    EXPECT_EQ(h.Modes.TimerEscaneig().Enabled(), c.Mode == AutomaticScanning);
    h.Modes.StopScanning();
    EXPECT_EQ(h.State.View.ScanMode, NoScanning);
    EXPECT_EQ(h.Shown(), "-");
    EXPECT_FALSE(h.Modes.TimerEscaneig().Enabled());
    for (const ModeItemCase& any : cases) {
      EXPECT_FALSE(h.Menu.Checked(any.Item));
      EXPECT_EQ(ShellHarness::Stored(h.Root + "nexoquadrix.ini", settings, any.Key), "0");
    }
  }
}

TEST(AccessModes, ScanningStartsAfreshAndUsesTheStepFromTheSettings) {
  ScanHarness h;
  h.State.ScanStepMs = 1500;
  h.Fill({"xx", "xx"});
  h.Modes.MenuEscaneigAutomaticClick();
  h.Clock.Advance(1499);
  EXPECT_EQ(h.Shown(), "-");
  h.Clock.Advance(1 + 1500);
  EXPECT_EQ(h.Shown(), "R1");
  h.Modes.MenuEscaneigAutomaticClick();
  EXPECT_EQ(h.Shown(), "-");
  h.Clock.Advance(1500);
  EXPECT_EQ(h.Shown(), "B");
}

TEST(AccessModes, SoundDetectorsFollowTheScanningItems) {
  ScanHarness h;
  RecordingSoundSwitches sound;
  h.Modes.SetSoundSwitches(&sound);
  h.Fill({"xx"});
  h.Menu.SetChecked("MenuClicActivatPerUnSo", true);
  h.Menu.SetChecked("MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSo", true);
  h.Modes.MenuEscaneigAutomaticClick();
  h.Modes.MenuEscaneigDirigitClick();
  h.Modes.StopScanning();
  EXPECT_EQ(sound.Calls, (std::vector<std::string>{"mono on", "mono off", "stereo off", "stereo on",
                                                   "mono off", "stereo off"}));
}

TEST(AccessModes, StayInPlaceHoldsTheScanForOneTick) {
  ScanHarness h;
  h.Fill({"xx", "xx"});
  h.Actions.During = [&h](int32_t) { h.State.StayInPlace = true; };
  h.Modes.MenuEscaneigAutomaticClick();
  h.Clock.Advance(200);
  h.Modes.ClickAction();
  h.Clock.Advance(100);
  h.Modes.ClickAction(); // runs cell 1, which asks the scan to stay
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{1});
  h.Clock.Advance(100);
  EXPECT_TRUE(!h.State.StayInPlace);
  EXPECT_EQ(h.Shown(), "c1");
  h.Clock.Advance(100);
  EXPECT_EQ(h.Shown(), "B");
}

TEST(AccessModes, MenuCornerStartsTheMenuTimerOnlyWhileArmedAndAnyEventStopsIt) {
  ScanHarness h;
  h.Fill({"xx"});
  h.State.NoMenuNoCaptionMode = true;
  h.Modes.HandleMouseEvent(Kind::LeftPress, 750, 50);
  EXPECT_TRUE(h.MenuTimer->Enabled());
  h.Modes.HandleMouseEvent(Kind::Move, 751, 50);
  EXPECT_FALSE(h.MenuTimer->Enabled());
  h.Modes.HandleMouseEvent(Kind::LeftPress, 700, 50); // outside the 100 x 100 corner
  EXPECT_FALSE(h.MenuTimer->Enabled());
  h.State.MenuCornerLatch = false;
  h.Modes.HandleMouseEvent(Kind::LeftPress, 750, 50);
  EXPECT_FALSE(h.MenuTimer->Enabled());
  h.State.MenuCornerLatch = true;
  h.State.NoMenuNoCaptionMode = false;
  h.Modes.HandleMouseEvent(Kind::LeftPress, 750, 50);
  EXPECT_FALSE(h.MenuTimer->Enabled());
}

TEST(AccessModes, FirstReleaseAfterTheMenuBoardOpenedIsSwallowed) {
  ScanHarness h;
  h.Fill({"xx"});
  const auto [x, y] = h.CellCentre(1);
  h.State.MenuCornerLatch = false;
  h.Modes.HandleMouseEvent(Kind::LeftRelease, x, y);
  EXPECT_TRUE(h.Actions.Items.empty());
  EXPECT_TRUE(h.State.MenuCornerLatch);
  h.Modes.HandleMouseEvent(Kind::LeftRelease, x, y);
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{1});
  // Selecting on press, a release selects nothing but still arms the corner again.
  h.State.SelectOnPress = true;
  h.State.MenuCornerLatch = false;
  h.Modes.HandleMouseEvent(Kind::LeftRelease, x, y);
  EXPECT_TRUE(h.State.MenuCornerLatch);
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{1});
}

TEST(AccessModes, DwellClicksAfterTwoTicksOnOneItemAndEverySecondTickAfter) {
  ScanHarness h;
  h.State.DwellTickMs = 1000;
  h.Fill({"xxx", "xxx"});
  h.PointAt(2);
  h.Options.MenuClicAutomaticALEstarEnUnacasellaClick();
  EXPECT_TRUE(h.State.DwellClick);
  std::vector<std::pair<uint64_t, int32_t>> clicks;
  h.Actions.During = [&](int32_t k) { clicks.emplace_back(h.Clock.Now, k); };
  h.Clock.Advance(3500);
  h.PointAt(5);
  h.Clock.Advance(2000);
  h.Window.PointerX = h.Window.PointerY = -50; // outside every item
  h.Clock.Advance(3000);
  EXPECT_EQ(clicks, (std::vector<std::pair<uint64_t, int32_t>>{{1000, 2}, {3000, 2}, {5000, 5}}));
  h.Options.MenuClicAutomaticALEstarEnUnacasellaClick();
  EXPECT_FALSE(h.Modes.TimerClicAutomatic().Enabled());
  EXPECT_EQ(ShellHarness::Stored(h.Root + "nexoquadrix.ini", "Menu Control",
                                 "MenuClicAutomaticALEstarEnUnacasella.Checked"),
            "0");
}

TEST(AccessModes, DwellToggleStopsScanning) {
  ScanHarness h;
  h.Fill({"xx"});
  h.Modes.MenuEscaneigAutomaticClick();
  h.Options.MenuClicAutomaticALEstarEnUnacasellaClick();
  EXPECT_EQ(h.State.View.ScanMode, NoScanning);
  EXPECT_TRUE(h.Modes.TimerClicAutomatic().Enabled());
}

TEST(AccessModes, NoClicksSwallowsButtonsButTheDwellStillClicks) {
  ScanHarness h;
  h.State.DwellTickMs = 1000;
  h.Fill({"xx"});
  h.State.NoMenuNoCaptionMode = true;
  h.Options.MenuNoPermeteClicksClick();
  ASSERT_TRUE(h.State.NoClicks);
  const auto [x, y] = h.CellCentre(1);
  for (Kind kind : {Kind::LeftPress, Kind::LeftRelease, Kind::RightPress, Kind::RightRelease})
    h.Modes.HandleMouseEvent(kind, x, y);
  h.Modes.HandleMouseEvent(Kind::LeftPress, 750, 50);
  EXPECT_FALSE(h.MenuTimer->Enabled());
  EXPECT_TRUE(h.Actions.Items.empty());
  h.PointAt(1);
  h.Options.MenuClicAutomaticALEstarEnUnacasellaClick();
  h.Clock.Advance(1000);
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{1});
}

TEST(AccessModes, BoardWithAStopUnchecksNoClicksWithoutWritingIt) {
  ScanHarness h;
  h.Options.MenuNoPermeteClicksClick();
  h.Fill({"p."});
  EXPECT_TRUE(h.State.NoClicks); // no stop: nothing changes
  h.Fill({"px"});
  EXPECT_FALSE(h.State.NoClicks);
  EXPECT_FALSE(h.Menu.Checked("MenuNoPermeteClicks"));
  EXPECT_EQ(ShellHarness::Stored(h.Root + "nexoquadrix.ini", "Menu Control", "MenuNoPermeteClicks.Checked"),
            "1");
}

// Activations that wait while events run: ticks, clicks and steps that arrive inside must neither run
// a second activation nor move the scan under the first.
TEST(AccessModes, TicksAndClicksInsideAnActivationsWaitAreDropped) {
  ScanHarness h;
  h.State.KeepPlace = true;
  h.Bars(false, false, false);
  h.Fill({"xxx", "xxx"});
  h.Modes.MenuEscaneigAutomaticActivatAmbClicDretPremutClick(); // R1
  int nested = 0;
  h.Actions.During = [&](int32_t) {
    if (++nested > 1) return;
    h.Modes.HandleMouseEvent(Kind::RightPress, 100, 300); // the scan timer runs inside the wait
    h.Clock.WaitWithMessages(1000);
    h.Modes.HandleMouseEvent(Kind::LeftRelease, 100, 300);
    h.Modes.ClickAction();
    h.Modes.ScanStep();
    h.Modes.SelectScannedItem();
    h.Modes.ActivateItem(4);
    h.Modes.HandleMouseEvent(Kind::RightRelease, 100, 300);
  };
  h.Modes.HandleMouseEvent(Kind::LeftRelease, 100, 300); // choose row 1, step to c1
  h.Modes.HandleMouseEvent(Kind::LeftRelease, 100, 300); // select c1
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{1});
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(h.Shown(), "c1"); // kept place
  EXPECT_EQ(h.Modes.Scan().Position, (ScanPosition{false, 1, 1, 2}));
  EXPECT_FALSE(h.Modes.TimerEscaneig().Enabled());
  EXPECT_FALSE(h.Modes.Scan().Busy);
}

TEST(AccessModes, ActivationThatStopsTheScanLeavesNothingHighlighted) {
  ScanHarness h;
  h.State.KeepPlace = true;
  h.Fill({"xx", "xx"});
  h.Actions.During = [&h](int32_t) { h.Options.MenuNoPermeteClicksClick(); };
  h.Modes.MenuEscaneigDirigitClick();
  h.Modes.ScanStep();
  h.Modes.ClickAction();
  h.Modes.ClickAction();
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{1});
  EXPECT_EQ(h.State.View.ScanMode, NoScanning);
  EXPECT_EQ(h.Shown(), "-");
}

TEST(AccessModes, ActivationThatOpensABoardStartsItsScanFromTheTop) {
  ScanHarness h;
  h.State.KeepPlace = true;
  h.Fill({"xx", "xx"});
  h.Actions.During = [&h](int32_t) { h.Fill({"xxx", "xxx", "xxx"}); };
  h.Modes.MenuEscaneigDirigitClick();
  h.Modes.ScanStep();
  h.Modes.ClickAction();
  h.Modes.ScanStep();
  h.Modes.ClickAction(); // cell 2 opens the new board
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{2});
  EXPECT_EQ(h.Shown(), "B");
  EXPECT_TRUE(h.Modes.Scan().Position.RowPhase);
}

TEST(AccessModes, ReadingTheMessageInsideAStepIgnoresTicksThatArriveMeanwhile) {
  ScanHarness h;
  h.Fill({"xx"});
  h.Actions.During = [&h](int32_t) {
    h.Modes.ClickAction();
    h.Clock.WaitWithMessages(5000);
  };
  h.Modes.MenuEscaneigAutomaticClick();
  h.Clock.Advance(300); // B, R1, M
  h.Modes.ClickAction();
  h.Clock.Advance(100); // reads the message for 5 s
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{-4});
  EXPECT_EQ(h.Shown(), "-");
  // The ticks dropped inside the reading leave the scan to go on from the top at the next one.
  for (int i = 0; i < 100 && h.Shown() == "-"; ++i)
    h.Clock.Advance(100);
  EXPECT_EQ(h.Shown(), "B");
  EXPECT_EQ(h.Actions.Items, std::vector<int32_t>{-4});
}

} // namespace
} // namespace nq::test

namespace nq::test {

TEST(DwellAtStart, RestoredDwellClickTicksAtTheIntervalOfQuadrixIni) {
  ShellHarness h;
  h.WriteSettings(
      "[tts]\nNumero sintetitzador=0\n[Menu Control]\nMenuClicAutomaticALEstarEnUnacasella.Checked=1\n");
  h.WriteShared("[quadrix]\nMilisegons Clic Automatic=2500\n");
  Player& p = h.Started();
  EXPECT_TRUE(p.Modes().TimerClicAutomatic().Enabled());
  EXPECT_EQ(p.Modes().TimerClicAutomatic().Interval(), 2500);
}

} // namespace nq::test
