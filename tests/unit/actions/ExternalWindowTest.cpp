#include "actions/ExternalWindow.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "support/DesktopFakes.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

using test::EditorWindowId;
using test::OwnWindowId;
using test::PanelWindowId;
constexpr DesktopWindow Own = OwnWindowId;
constexpr DesktopWindow Editor = EditorWindowId;
constexpr DesktopWindow Panel = PanelWindowId;

class FakeMarks final : public ExternalWindowMarks {
public:
  bool ExternalMark = false;
  bool NoMenuMark = false;
  void ShowExternalWindowMode(bool on) override { ExternalMark = on; }
  void ShowNoMenuNoCaption(bool on) override { NoMenuMark = on; }
};

class ExternalWindowTest : public ::testing::Test {
protected:
  std::string Stored(std::string_view key) { return Settings.ReadSettingText(SectionMenuOptions, key, "?"); }

  test::TempFolder Folder;
  SettingsStore Settings{Folder.Path("nexoquadrix.ini"), Folder.Path("Quadrix.ini")};
  bool ExternalMode = false;
  bool NoMenuMode = false;
  FakeMarks Marks;
  test::FakeBoardWindow Board;
  test::FakeDesktop Screen;
  ExternalWindow Window{ExternalMode, NoMenuMode, Marks, Board, Screen, Settings};
};

TEST_F(ExternalWindowTest, ModeOnHidesTheMenuWithoutStoringThatAsTheUsersChoice) {
  Window.ToggleExternalWindowMode();
  EXPECT_TRUE(Screen.Activated.empty()); // the editor kept the focus
  EXPECT_TRUE(ExternalMode && NoMenuMode && Board.NonFocusable && Marks.ExternalMark && Marks.NoMenuMark);
  EXPECT_EQ(Stored(KeyNonFocusable), "SI");
  EXPECT_EQ(Stored(KeyNoMenuNoCaption), "?");
}

TEST_F(ExternalWindowTest, FocusGoesBackAndForthBetweenTheBoardAndTheEditor) {
  Screen.Foreground = Own; // switched on from the board's own menu
  Window.ToggleExternalWindowMode();
  Window.ToggleNoMenuNoCaption();
  EXPECT_FALSE(ExternalMode || NoMenuMode || Board.NonFocusable || Marks.ExternalMark);
  EXPECT_EQ(Screen.Activated, (std::vector<DesktopWindow>{Editor, Own}));
  EXPECT_EQ(Stored(KeyNonFocusable), "NO");
  EXPECT_EQ(Stored(KeyNoMenuNoCaption), "NO");
}

TEST_F(ExternalWindowTest, ModeOffGivesBackTheMenuAndCaptionTheUserHad) {
  for (const bool userHidMenu : {false, true}) {
    Settings.WriteSettingYesNo(SectionMenuOptions, KeyNoMenuNoCaption, false);
    ExternalMode = NoMenuMode = Marks.NoMenuMark = false;
    if (userHidMenu) Window.ToggleNoMenuNoCaption();
    const std::string stored = Stored(KeyNoMenuNoCaption);
    Window.ToggleExternalWindowMode();
    Window.ToggleExternalWindowMode();
    EXPECT_FALSE(ExternalMode) << userHidMenu;
    EXPECT_EQ(NoMenuMode, userHidMenu);
    EXPECT_EQ(Marks.NoMenuMark, userHidMenu);
    EXPECT_EQ(Stored(KeyNoMenuNoCaption), stored);
    // Once more: the mode's own hiding is not remembered from one round to the next.
    Window.ToggleExternalWindowMode();
    Window.ToggleExternalWindowMode();
    EXPECT_EQ(NoMenuMode, userHidMenu);
  }
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
