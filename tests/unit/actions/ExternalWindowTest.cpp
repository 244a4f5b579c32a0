#include "actions/ExternalWindow.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "support/PictureTestFiles.h"

namespace nq {
namespace {

constexpr DesktopWindow Own = 10;
constexpr DesktopWindow Editor = 20;
constexpr DesktopWindow Panel = 30;

class FakeDesktop final : public Desktop {
public:
  DesktopWindow Foreground = Editor;
  std::map<DesktopWindow, DesktopRect> Rects{
      {Own, {0, 0, 400, 300}}, {Editor, {50, 50, 700, 500}}, {Panel, {0, 0, 1280, 30}}};
  std::vector<std::pair<DesktopWindow, DesktopRect>> Moves;
  std::vector<DesktopWindow> Activated;
  std::vector<DesktopWindow> Closed;
  DesktopRect Work{0, 30, 1280, 770};

  DesktopWindow ForegroundWindow() override { return Foreground; }
  bool IsNormalApplicationWindow(DesktopWindow w) override { return w == Own || w == Editor; }
  DesktopRect WorkArea() override { return Work; }
  bool WindowFrameRect(DesktopWindow w, DesktopRect& rect) override {
    auto it = Rects.find(w);
    if (it == Rects.end()) return false;
    rect = it->second;
    return true;
  }
  void MoveResizeWindow(DesktopWindow w, const DesktopRect& rect) override { Moves.push_back({w, rect}); }
  DesktopWindow TopApplicationWindow(DesktopWindow except) override { return except == Own ? Editor : 0; }
  void ActivateWindow(DesktopWindow w) override {
    Activated.push_back(w);
    Foreground = w;
  }
  void CloseWindow(DesktopWindow w) override { Closed.push_back(w); }
  DesktopWindow FindWindowByTitle(const std::string&) override { return 0; }
};

class FakeFront final : public NonFocusableWindow, public ExternalWindowMarks {
public:
  bool NonFocusable = false;
  bool ExternalMark = false;
  bool NoMenuMark = false;
  void SetNonFocusable(bool on) override { NonFocusable = on; }
  DesktopWindow OwnWindow() override { return Own; }
  void ShowExternalWindowMode(bool on) override { ExternalMark = on; }
  void ShowNoMenuNoCaption(bool on) override { NoMenuMark = on; }
};

class ExternalWindowTest : public ::testing::Test {
protected:
  std::string Stored(std::string_view key) { return Settings.ReadSettingText(SectionMenuOptions, key, "?"); }

  test::TempFolder Folder;
  SettingsStore Settings{Folder.File("nexoquadrix.ini"), Folder.File("Quadrix.ini")};
  bool ExternalMode = false;
  bool NoMenuMode = false;
  FakeFront Front;
  FakeDesktop Screen;
  ExternalWindow Window{ExternalMode, NoMenuMode, Front, Front, Screen, Settings};
};

TEST_F(ExternalWindowTest, ModeOnBringsNoMenuModeOnAndStoresBoth) {
  Window.ToggleExternalWindowMode();
  EXPECT_TRUE(Screen.Activated.empty()); // the editor kept the focus
  EXPECT_TRUE(ExternalMode && NoMenuMode && Front.NonFocusable && Front.ExternalMark && Front.NoMenuMark);
  EXPECT_EQ(Stored(KeyNonFocusable), "SI");
  EXPECT_EQ(Stored(KeyNoMenuNoCaption), "SI");
}

TEST_F(ExternalWindowTest, FocusGoesBackAndForthBetweenTheBoardAndTheEditor) {
  Screen.Foreground = Own; // switched on from the board's own menu
  Window.ToggleExternalWindowMode();
  Window.ToggleNoMenuNoCaption();
  EXPECT_FALSE(ExternalMode || NoMenuMode || Front.NonFocusable || Front.ExternalMark);
  EXPECT_EQ(Screen.Activated, (std::vector<DesktopWindow>{Editor, Own}));
  EXPECT_EQ(Stored(KeyNonFocusable), "NO");
  EXPECT_EQ(Stored(KeyNoMenuNoCaption), "NO");
}

TEST_F(ExternalWindowTest, ModeOffKeepsTheNoMenuMode) {
  Window.ToggleExternalWindowMode();
  Window.ToggleExternalWindowMode();
  EXPECT_FALSE(ExternalMode);
  EXPECT_TRUE(NoMenuMode);
}

TEST_F(ExternalWindowTest, FitPutsTheBoardAtTheBottomAndTheApplicationAbove) {
  Window.ToggleExternalWindowMode();
  Window.FitReceivingWindow();
  ASSERT_EQ(Screen.Moves.size(), 2u);
  EXPECT_EQ(Screen.Moves[0].first, Own);
  EXPECT_EQ(Screen.Moves[0].second.Left, 440);
  EXPECT_EQ(Screen.Moves[0].second.Top, 500); // 30 + 770 - 300
  EXPECT_EQ(Screen.Moves[1].first, Editor);
  EXPECT_EQ(Screen.Moves[1].second.Left, 290);
  EXPECT_EQ(Screen.Moves[1].second.Top, 30);
  EXPECT_EQ(Screen.Moves[1].second.Height, 470);
}

TEST_F(ExternalWindowTest, FitMovesOnlySomeoneElsesNormalWindow) {
  struct Case {
    const char* Name;
    bool Mode;
    DesktopWindow Foreground;
  };
  for (const Case& c : {Case{"mode off", false, Editor}, Case{"no window", true, 0},
                        Case{"a panel", true, Panel}, Case{"our own window", true, Own}}) {
    ExternalMode = c.Mode;
    Screen.Foreground = c.Foreground;
    Screen.Moves.clear();
    Window.FitReceivingWindow();
    EXPECT_TRUE(Screen.Moves.empty()) << c.Name;
    EXPECT_EQ(Window.CloseForegroundApplication(), c.Foreground == Editor) << c.Name;
  }
  EXPECT_EQ(Screen.Closed, std::vector<DesktopWindow>{Editor});
}

TEST_F(ExternalWindowTest, FitNeverLeavesTheApplicationUnusablyShort) {
  Window.ToggleExternalWindowMode();
  Screen.Rects[Own].Height = 760;
  Window.FitReceivingWindow();
  ASSERT_EQ(Screen.Moves.size(), 2u);
  EXPECT_EQ(Screen.Moves[1].second.Height, MinimumReceivingHeight);
}

} // namespace
} // namespace nq
