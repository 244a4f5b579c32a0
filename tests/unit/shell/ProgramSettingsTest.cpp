// The program settings applied at start, and the toggles that store an option the moment it changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "ShellFakes.h"
#include "actions/CellCommands.h"
#include "boards/CellMarkSettingsStore.h"
#include "support/CellCommandFakes.h"
#include "support/CellTestFakes.h"

namespace nq::test {
namespace {

using Probe = int32_t (*)(const Player&);

struct LoadCase {
  const char* Name;
  const char* Settings; // program settings file, appended after the speech choice
  const char* Shared;   // Quadrix.ini
  Probe Value;
  int32_t Expected;
};

int32_t ScanStep(const Player& p) {
  return p.State().ScanStepMs;
}
int32_t Cells(const Player& p) {
  return p.State().View.VisibleMessageCells;
}
int32_t BarHeight(const Player& p) {
  return p.State().View.MessageBarHeight;
}
int32_t Thickness(const Player& p) {
  return p.State().View.FrameThickness;
}
int32_t Separation(const Player& p) {
  return p.State().View.CellSeparation;
}
int32_t Dwell(const Player& p) {
  return p.State().DwellTickMs;
}
int32_t Speech(const Player& p) {
  return p.State().SpeechOn;
}
int32_t Press(const Player& p) {
  return p.State().SelectOnPress;
}
int32_t NoMenu(const Player& p) {
  return p.State().NoMenuNoCaptionMode;
}
int32_t Linear(const Player& p) {
  return p.State().LinearScanning;
}
int32_t Effect3D(const Player& p) {
  return p.State().View.Efecto3D;
}
int32_t Below(const Player& p) {
  return p.State().View.CaptionsBelow;
}
int32_t Swapped(const Player& p) {
  return p.State().View.SwapBars;
}
int32_t CursorOff(const Player& p) {
  return p.State().CellCursorHidden;
}
int32_t NoClicks(const Player& p) {
  return p.State().NoClicks;
}
int32_t Dwelling(const Player& p) {
  return p.State().DwellClick;
}
int32_t ScanMode(const Player& p) {
  return p.State().View.ScanMode;
}

#define SCAN                                                                                                 \
  "[quadrix]\nD\xE8"                                                                                         \
  "cimes de segon que dura el pas d'escaneig="
#define CELLS                                                                                                \
  "[quadrix]\nN\xFA"                                                                                         \
  "mero de fitxes visibles al panell missatges="

class LoadProgramSettings : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadProgramSettings, AppliesTheStoredValue) {
  ShellHarness h;
  h.WriteSettings(std::string("[tts]\nNumero sintetitzador=0\n") + GetParam().Settings);
  h.WriteShared(GetParam().Shared);
  EXPECT_EQ(GetParam().Value(h.Started()), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LoadProgramSettings,
    ::testing::Values(
        LoadCase{"EmptyPressOff", "", "", Press, 0}, LoadCase{"EmptySpeechOn", "", "", Speech, 1},
        LoadCase{"Empty3D", "", "", Effect3D, 1}, LoadCase{"EmptyNoScan", "", "", ScanMode, 0},
        LoadCase{"EmptyBar", "", "", BarHeight, 135}, LoadCase{"EmptyScan", "", "", ScanStep, 1500},
        LoadCase{"EmptyCells", "", "", Cells, 6}, LoadCase{"EmptyDwell", "", "", Dwell, 1000},
        LoadCase{"EmptyThickness", "", "", Thickness, 2}, LoadCase{"EmptySeparation", "", "", Separation, 2},
        LoadCase{"Height100", "[PanelMesageBar]\nHeight=100\n", "", BarHeight, 135},
        LoadCase{"Height101", "[PanelMesageBar]\nHeight=101\n", "", BarHeight, 101},
        LoadCase{"HeightText", "[PanelMesageBar]\nHeight=tall\n", "", BarHeight, 135},
        LoadCase{"Scan0", "", SCAN "0\n", ScanStep, 1500},
        LoadCase{"Scan101", "", SCAN "101\n", ScanStep, 1500},
        LoadCase{"ScanLetters", "", SCAN "abc\n", ScanStep, 1500},
        LoadCase{"Scan1", "", SCAN "1\n", ScanStep, 100},
        LoadCase{"Scan100", "", SCAN "100\n", ScanStep, 10000},
        LoadCase{"Scan7abc", "", SCAN "7abc\n", ScanStep, 700},
        LoadCase{"Cells22", "", CELLS "22\n", Cells, 6}, LoadCase{"Cells21", "", CELLS "21\n", Cells, 21},
        LoadCase{"Cells0", "", CELLS "0\n", Cells, 6},
        LoadCase{"Dwell250", "", "[quadrix]\nMilisegons Clic Automatic=250\n", Dwell, 250},
        LoadCase{"DwellNegative", "", "[quadrix]\nMilisegons Clic Automatic=-5\n", Dwell, 1000},
        LoadCase{"Thickness0", "", "[MARC]\nGRUIXUDARIA=0\n", Thickness, 2},
        LoadCase{"Thickness7", "", "[MARC]\nGRUIXUDARIA=7\n", Thickness, 7},
        LoadCase{"Thickness3abc", "", "[MARC]\nGRUIXUDARIA=3abc\n", Thickness, 2},
        LoadCase{"Separation0", "", "[MARC]\nSEPARACIO ENTRE CASELLES=0\n", Separation, 0},
        LoadCase{"Separation3abc", "", "[MARC]\nSEPARACIO ENTRE CASELLES=3abc\n", Separation, 2},
        LoadCase{"Separation101", "", "[MARC]\nSEPARACIO ENTRE CASELLES=101\n", Separation, 2},
        LoadCase{"SpeakLowerNo", "[Menu Options]\nMenuSpeak.Checked=no\n", "", Speech, 1},
        LoadCase{"SpeakNO", "[Menu Options]\nMenuSpeak.Checked=NO\n", "", Speech, 0},
        LoadCase{"NonFocusableHides", "[Menu Options]\nNonFocusable=SI\nNoMenuNoCaption=NO\n", "", NoMenu, 1},
        LoadCase{"NoMenuAlone", "[Menu Options]\nNoMenuNoCaption=SI\n", "", NoMenu, 1},
        LoadCase{"NoMenuLower", "[Menu Options]\nNoMenuNoCaption=si\n", "", NoMenu, 0},
        LoadCase{"PressHex", "[Menu Control]\nTypeMouseDown=0x10\n", "", Press, 1},
        LoadCase{"PressBareHexPrefix", "[Menu Control]\nTypeMouseDown=0x\n", "", Press, 0},
        LoadCase{"PressOne", "[Menu Control]\nTypeMouseDown=1\n", "", Press, 1},
        LoadCase{"LinearSI", "[Menu Control]\nMenuSenseEscaneigVertical.Checked=SI\n", "", Linear, 1},
        LoadCase{"LinearSi", "[Menu Control]\nMenuSenseEscaneigVertical.Checked=Si\n", "", Linear, 0},
        LoadCase{"NoClicks", "[Menu Control]\nMenuNoPermeteClicks.Checked=2\n", "", NoClicks, 1},
        LoadCase{"DwellClick", "[Menu Control]\nMenuClicAutomaticALEstarEnUnacasella.Checked=1\n", "",
                 Dwelling, 1},
        LoadCase{"No3D", "[Menu Options]\nMenuEfecto3D.Checked=0\n", "", Effect3D, 0},
        LoadCase{"CaptionsBelow", "[Menu Options]\nMenuCaptionDown.Checked=SI\n", "", Below, 1},
        LoadCase{"SwapBars", "[Menu Options]\nMenuSwapBars.Checked=SI\n", "", Swapped, 1},
        LoadCase{"CursorHidden", "[Menu Options]\nMenuTreureElCursorEnElsPlafons.Checked=1\n", "", CursorOff,
                 1}),
    [](const auto& info) { return info.param.Name; });

TEST(LoadProgramSettingsEffects, HiddenModesReachTheWindowAndHandlersRewriteTheirKeys) {
  ShellHarness h;
  h.WriteSettings("[tts]\nNumero sintetitzador=0\n[Menu Control]\nTypeMouseDown=0x10\n[Menu Options]\n"
                  "NonFocusable=SI\nMenuTreureElCursorEnElsPlafons.Checked=1\n");
  const Player& p = h.Started();
  EXPECT_TRUE(h.Window.MenuHidden);
  EXPECT_TRUE(h.Window.CursorHidden);
  EXPECT_TRUE(p.Menu().Checked("MenuMouseDown"));
  EXPECT_FALSE(p.Menu().Checked("MenuMouseUp"));
  EXPECT_EQ(h.Setting("Menu Control", "TypeMouseDown"), "1");
  EXPECT_FALSE(p.Menu().Find("MenuClicAutomaticAlEstarParat")->Visible);
  EXPECT_FALSE(p.Menu().Find("MenuBMPiPNGMesQualitat")->Visible);
}

struct FontCase {
  const char* Name;
  const char* Shared;
  FontSpec Expected;
};

class MessageFont : public ::testing::TestWithParam<FontCase> {};

TEST_P(MessageFont, ComesFromQuadrixIni) {
  ShellHarness h;
  h.WriteShared(GetParam().Shared);
  EXPECT_EQ(h.Started().State().MessageFont, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, MessageFont,
    ::testing::Values(
        FontCase{"Missing", "", {.Name = "0"}},
        FontCase{"Full",
                 "[Font Missatge]\nCharset=1\nColor=255\nHeight=-13\nName=Arial\nSize=10\nNegreta=S\xCD\n"
                 "It\xE0lica=S\xCD\nSubrratllat=S\xCD\nTatxat=SI\n",
                 {1, 255, -13, "Arial", 10, true, true, true, false}},
        FontCase{"UnaccentedYesIsNo", "[Font Missatge]\nName=Verdana\nNegreta=SI\n", {.Name = "Verdana"}},
        FontCase{"NotANumberKeepsThePrevious",
                 "[Font Missatge]\nName=Arial\nSize=big\nHeight=12px\n",
                 {.Name = "Arial"}}),
    [](const auto& info) { return info.param.Name; });

struct ToggleCase {
  const char* Item;
  const char* Section;
  const char* Key;
  const char* First;  // stored after one click
  const char* Second; // stored after the second click
  bool CheckedAfterFirst;
};

class OptionToggle : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(OptionToggle, StoresItsKeyAtOnceInItsOwnSpelling) {
  const ToggleCase& c = GetParam();
  ShellHarness h;
  Player& p = h.Started();
  ASSERT_TRUE(p.MenuClick(c.Item));
  EXPECT_EQ(h.Setting(c.Section, c.Key), c.First);
  EXPECT_EQ(p.Menu().Checked(c.Item), c.CheckedAfterFirst);
  p.MenuClick(c.Item);
  EXPECT_EQ(h.Setting(c.Section, c.Key), c.Second);
  EXPECT_EQ(p.Menu().Checked(c.Item), !c.CheckedAfterFirst);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, OptionToggle,
    ::testing::Values(
        ToggleCase{"MenuSpeak", "Menu Options", "MenuSpeak.Checked", "NO", "SI", false},
        ToggleCase{"MenuCaptionDown", "Menu Options", "MenuCaptionDown.Checked", "SI", "NO", true},
        ToggleCase{"MenuEfecto3D", "Menu Options", "MenuEfecto3D.Checked", "0", "1", false},
        ToggleCase{"MenuSwapBars", "Menu Options", "MenuSwapBars.Checked", "SI", "NO", true},
        ToggleCase{"MenuNoMenuNoCaption", "Menu Options", "NoMenuNoCaption", "SI", "NO", true},
        ToggleCase{"MenuTreureElCursorEnElsPlafons", "Menu Options", "MenuTreureElCursorEnElsPlafons.Checked",
                   "1", "0", true},
        ToggleCase{"MenuSenseEscaneigVertical", "Menu Control", "MenuSenseEscaneigVertical.Checked", "SI",
                   "NO", true},
        ToggleCase{"MenuAlClicarNoIniciaPosicioMouse", "Menu Control",
                   "MenuAlClicarNoIniciaPosicioMouse.Checked", "SI", "NO", true},
        ToggleCase{"MenuNoPermeteClicks", "Menu Control", "MenuNoPermeteClicks.Checked", "1", "0", true},
        ToggleCase{"MenuClicAutomaticALEstarEnUnacasella", "Menu Control",
                   "MenuClicAutomaticALEstarEnUnacasella.Checked", "1", "0", true},
        ToggleCase{"MenuClicAutomaticAlEstarParat", "Menu Control", "MenuClicAutomaticAlEstarParat.Checked",
                   "1", "0", true}),
    [](const auto& info) { return std::string(info.param.Item); });

TEST(OptionToggles, MouseDownAndUpWriteAllThreeKeys) {
  ShellHarness h;
  Player& p = h.Started();
  const auto keys = [&] {
    return h.Setting("Menu Control", "TypeMouseDown") + h.Setting("Menu Control", "MenuMouseDown.Checked") +
           h.Setting("Menu Control", "MenuMouseUp.Checked");
  };
  p.MenuClick("MenuMouseDown");
  EXPECT_EQ(keys(), "110");
  EXPECT_TRUE(p.State().SelectOnPress);
  p.MenuClick("MenuMouseDown"); // not a toggle: choosing it again keeps it
  EXPECT_EQ(keys(), "110");
  p.MenuClick("MenuMouseUp");
  EXPECT_EQ(keys(), "001");
  EXPECT_FALSE(p.State().SelectOnPress);
  EXPECT_TRUE(p.Menu().Checked("MenuMouseUp"));
}

TEST(OptionToggles, DwellAndHiddenAutomaticClickExcludeEachOther) {
  ShellHarness h;
  Player& p = h.Started();
  p.MenuClick("MenuClicAutomaticALEstarEnUnacasella");
  p.MenuClick("MenuClicAutomaticAlEstarParat");
  EXPECT_FALSE(p.Menu().Checked("MenuClicAutomaticALEstarEnUnacasella"));
  EXPECT_FALSE(p.State().DwellClick);
  EXPECT_TRUE(p.State().HiddenAutomaticClick);
}

TEST(OptionToggles, WindowFollowsTheMenuAndCursorItems) {
  ShellHarness h;
  Player& p = h.Started();
  p.MenuClick("MenuNoMenuNoCaption");
  EXPECT_TRUE(h.Window.MenuHidden);
  p.MenuClick("MenuNoMenuNoCaption");
  EXPECT_FALSE(h.Window.MenuHidden);
  p.MenuClick("MenuTreureElCursorEnElsPlafons");
  EXPECT_TRUE(h.Window.CursorHidden);
}

// The menu board marks an option by reading the setting the player stores when the option changes, so
// each program option of the bundled menu board shows the menu's own state, at start and after every
// click. Board options are stored with the board and copied for the menu board when it opens.
TEST(OptionToggles, BundledMenuBoardMarksFollowEveryProgramOption) {
  const std::string menuBoard = ReadBytes(std::string(NQ_SOURCE_DIR) + "/data/Nexo_quadrix_menu.qdx");
  const std::regex menuToken("<NEXO_MENU_[A-Za-z0-9]+>");
  int options = 0;
  for (std::sregex_iterator it(menuBoard.begin(), menuBoard.end(), menuToken), end; it != end; ++it) {
    const std::string token = it->str();
    // The menu item the cell performs, as the dispatcher runs it.
    SpecialFunctionRecorder recorder;
    VirtualClock clock;
    CellCommands commands{recorder, recorder, recorder, clock, ""};
    commands.RunSpecialFunction(token);
    const auto performed = std::find_if(recorder.Log.begin(), recorder.Log.end(),
                                        [](const std::string& step) { return step.starts_with("menu "); });
    const bool programOption =
        test::MarksAnOptionOf(token, "") && !test::MarksAnOptionOf(token, "Menu Options 2");
    if (performed == recorder.Log.end() || !programOption) continue;
    const std::string item = performed->substr(5);

    ShellHarness h;
    Player& p = h.Started();
    CellMarkSettingsStore stored(p.Settings());
    ++options;
    for (int click = 0; click <= 2; ++click) {
      if (click > 0) {
        ASSERT_TRUE(p.MenuClick(item)) << item;
      }
      EXPECT_EQ(IsMarkedOption(token, stored), p.Menu().Checked(item))
          << token << " after " << click << " clicks";
    }
  }
  EXPECT_GE(options, 13);
}

} // namespace
} // namespace nq::test
