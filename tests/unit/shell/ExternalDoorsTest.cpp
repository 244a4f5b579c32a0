// The on-screen keyboard connected to the player: the start-up load of the two modes, the menu items,
// and cells chosen in the external-window mode reaching the key sink.
#include "shell/ExternalDoors.h"
#include "settings/TrustedFolders.h"

#include <gtest/gtest.h>

#include "ShellFakes.h"
#include "support/DesktopFakes.h"
#include "support/FakeClipboard.h"
#include "support/RecordingKeys.h"

namespace nq {
namespace {

// A player over its own program folder with the on-screen keyboard connected to fakes.
struct Rig {
  Player& Start(const std::string& menuOptions) {
    h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n[Menu Options]\r\n" + menuOptions);
    const std::string board = h.Root + "boards/keys.qdx";
    test::ShellHarness::WriteFile(board,
                                  "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=2\r\n"
                                  "Rows=1\r\n[Menu Options 2]\r\nWrite only letters or words=1\r\n"
                                  "[Cell 1]\r\nCaption=a\r\n[Cell 2]\r\nCaption=Intro\r\n"
                                  "Special Function=<RETURN>\r\n");
    Player& player = h.Create();
    AddTrustedFolder(player.Settings(), h.Root + "boards");
    player.SetExternalWindowParts(Sink, Layout, Clip, Screen, Board);
    player.PrepareFirstShow();
    NonFocusableWhenShown = Board.NonFocusable;
    player.Start({board});
    return player;
  }

  test::ShellHarness h;
  test::RecordingKeySink Sink;
  test::TableLayout Layout;
  test::FakeClipboard Clip;
  test::FakeDesktop Screen;
  test::FakeBoardWindow Board;
  bool NonFocusableWhenShown = false;
};

class ExternalDoorsTest : public ::testing::Test {
protected:
  Player& Start(const std::string& menuOptions) { return R.Start(menuOptions); }
  Rig R;
  test::ShellHarness& h = R.h;
  test::RecordingKeySink& Sink = R.Sink;
  test::FakeDesktop& Screen = R.Screen;
  test::FakeBoardWindow& Board = R.Board;
};

struct StartCase {
  const char* Name;
  std::string Options;
  bool External;
  bool NoMenu;
};

TEST_F(ExternalDoorsTest, StartUpLoadsBothModesKeepingTheirInvariant) {
  const std::vector<StartCase> cases = {
      {"nothing stored", "", false, false},
      {"external mode", "NonFocusable=SI\r\n", true, true},
      {"external mode, menu stored shown", "NonFocusable=SI\r\nNoMenuNoCaption=NO\r\n", true, true},
      {"menu hidden only", "NoMenuNoCaption=SI\r\n", false, true},
      {"not exactly SI", "NonFocusable=si\r\n", false, false},
  };
  for (const StartCase& c : cases) {
    Rig rig;
    Player& player = rig.Start(c.Options);
    EXPECT_EQ(player.State().ExternalWindowMode, c.External) << c.Name;
    EXPECT_EQ(player.State().NoMenuNoCaptionMode, c.NoMenu) << c.Name;
    EXPECT_EQ(rig.Board.NonFocusable, c.External) << c.Name;
    EXPECT_EQ(rig.NonFocusableWhenShown, c.External) << c.Name;
    EXPECT_EQ(player.Menu().Checked("MenuNonFocusable"), c.External) << c.Name;
    EXPECT_EQ(rig.h.Window.MenuHidden, c.NoMenu) << c.Name;
  }
}

TEST_F(ExternalDoorsTest, ShowingTheMenuAgainEndsTheExternalMode) {
  Player& player = Start("");
  ASSERT_TRUE(player.MenuClick("MenuNonFocusable"));
  EXPECT_TRUE(player.State().ExternalWindowMode && player.State().NoMenuNoCaptionMode);
  ASSERT_TRUE(player.MenuClick("MenuNoMenuNoCaption"));
  EXPECT_FALSE(player.State().ExternalWindowMode || player.State().NoMenuNoCaptionMode || Board.NonFocusable);
  EXPECT_EQ(h.Setting("Menu Options", "NonFocusable"), "NO");
  EXPECT_EQ(h.Setting("Menu Options", "NoMenuNoCaption"), "NO");
}

TEST_F(ExternalDoorsTest, EndingTheModeStartedWithGivesBackTheStoredMenuAndCaption) {
  for (const char* stored : {"NO", "SI"}) {
    Rig rig;
    Player& player = rig.Start(std::string("NonFocusable=SI\r\nNoMenuNoCaption=") + stored + "\r\n");
    ASSERT_TRUE(player.MenuClick("MenuNonFocusable"));
    const bool hidden = std::string(stored) == "SI";
    EXPECT_EQ(rig.h.Window.MenuHidden, hidden) << stored;
    EXPECT_EQ(player.Menu().Checked("MenuNoMenuNoCaption"), hidden) << stored;
    EXPECT_EQ(rig.h.Setting("Menu Options", "NoMenuNoCaption"), stored);
    EXPECT_EQ(rig.h.Setting("Menu Options", "NonFocusable"), "NO");
  }
}

TEST_F(ExternalDoorsTest, ChosenCellsTypeIntoTheFocusedApplication) {
  Player& player = Start("NonFocusable=SI\r\n");
  player.Activations().ActivateCell(1);
  h.Clock.Advance(300);
  player.Activations().ActivateCell(2);
  EXPECT_EQ(Sink.Events, (std::vector<std::string>{"65d", "65u", "13d", "13u"}));
}

TEST_F(ExternalDoorsTest, FitIsOnlyInTheExternalMode) {
  Player& player = Start("");
  ASSERT_TRUE(player.MenuClick("MenuAjustarlagrandriadelafinestrareceptora"));
  EXPECT_TRUE(Screen.Moves.empty());
  player.MenuClick("MenuNonFocusable");
  player.MenuClick("MenuAjustarlagrandriadelafinestrareceptora");
  EXPECT_EQ(Screen.Moves.size(), 2u);
}

} // namespace
} // namespace nq
