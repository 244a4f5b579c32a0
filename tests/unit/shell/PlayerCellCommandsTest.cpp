// Special functions through the real player: cells whose commands open boards, switch options from
// the menu board and come back, start programs, and end cleanly when a command is malformed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "ActivationFakes.h"
#include "ShellFakes.h"
#include "actions/CellCommands.h"
#include "settings/TrustedFolders.h"
#include "support/DesktopFakes.h"
#include "support/RecordingKeys.h"

namespace nq::test {
namespace {

// A board whose cells carry the given special functions and links.
std::string BoardWith(const BoardSpec& spec, const std::map<int, std::string>& functions,
                      const std::map<int, std::string>& links = {}) {
  std::string text = BoardText(spec);
  for (int n = 1; n <= spec.Columns * spec.Rows; ++n) {
    const std::string cell =
        "[Cell " + std::to_string(n) + "]\r\nCaption=" + spec.Prefix + std::to_string(n) + "\r\n";
    std::string extra;
    if (functions.contains(n)) extra += "Special Function=" + functions.at(n) + "\r\n";
    if (links.contains(n)) extra += "Link=" + links.at(n) + "\r\n";
    text.insert(text.find(cell) + cell.size(), extra);
  }
  return text;
}

class PlayerCellCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    BoardSpec home;
    home.Columns = 5;
    home.Prefix = "a";
    Home = h.Root + "boards/a.qdx";
    ShellHarness::WriteFile(Home, BoardWith(home,
                                            {{1, "<OBRIR FORM MENU>"},
                                             {3, "<NEXO_MENU_NonFocusable>"},
                                             {4, "<KEY_COMBINATION D17,D16,D1x,U16,U17,>"},
                                             {5, "<PARAR ESCANEIG>"}},
                                            {{2, "b.qdx"}}));
    BoardSpec other;
    other.Prefix = "b";
    Other = h.Root + "boards/b.qdx";
    ShellHarness::WriteFile(Other,
                            BoardWith(other, {{1, "<CASA>"}, {2, "<EXECUTAR escriu.exe uno \"dos tres\">"}}));
    BoardSpec menu;
    menu.Columns = 5;
    menu.Prefix = "m";
    ShellHarness::WriteFile(h.MenuBoardPath(), BoardWith(menu, {{1, "<NEXO_MENU_MenuCentrarCaptions>"},
                                                                {2, "<NEXO_MENU_MenuSpeak>"},
                                                                {3, "<NEXO_QDX_ANTERIOR>"},
                                                                {4, "<PARAR ESCANEIG>"},
                                                                {5, "<NEXO_MENU_MenuEscaneigDirigit>"}}));
    p = &h.Started({Home});
    AddTrustedFolder(p->Settings(), h.Root + "boards");
    p->SetKeySink(&Keys);
    p->SetClipboard(&Board);
    p->SetExternalWindowParts(Keys, Layout, Board, Screen, BoardWindow);
  }

  void Activate(int32_t k) { p->Activations().ActivateCell(k); }
  const std::string& Current() const { return h.State().CurrentBoardFile; }

  ShellHarness h;
  Player* p = nullptr;
  std::string Home;
  std::string Other;
  EventLog Log;
  FakeClipboard Board{Log};
  RecordingKeys Keys{Log, Board};
  nq::test::TableLayout Layout;
  FakeDesktop Screen;
  FakeBoardWindow BoardWindow;
};

TEST_F(PlayerCellCommandsTest, HomeMenuBoardAndOptionsComeBackToTheBoardTheyWereChosenFrom) {
  Activate(2);
  ASSERT_EQ(Current(), Other);
  Activate(1); // "<CASA>"
  EXPECT_EQ(Current(), Home);

  Activate(1); // "<OBRIR FORM MENU>"
  ASSERT_EQ(Current(), h.MenuBoardPath());
  // The cell was chosen on its release: the next release on the menu board is a choice, not swallowed.
  EXPECT_TRUE(h.State().MenuCornerLatch);
  Activate(1); // "Centrar captions" is applied to the board it was chosen for, after going back to it
  EXPECT_EQ(Current(), Home);
  EXPECT_EQ(ShellHarness::Stored(Home, "Menu Options 2", "Center Captions"), "1");
  EXPECT_EQ(ShellHarness::Stored(h.MenuBoardPath(), "Menu Options 2", "Center Captions"), "0");

  Activate(1);
  ASSERT_EQ(Current(), h.MenuBoardPath());
  Activate(2); // "Hablar"
  EXPECT_EQ(Current(), Home);
  EXPECT_FALSE(h.State().SpeechOn);
  EXPECT_EQ(h.Setting("Menu Options", "MenuSpeak.Checked"), "NO");

  Activate(1);
  Activate(3); // the way back
  EXPECT_EQ(Current(), Home);
}

TEST_F(PlayerCellCommandsTest, StopScanningOnTheMenuBoardGoesBackButNotOnAnyOtherBoard) {
  p->MenuClick("MenuEscaneigDirigit");
  Activate(1);
  ASSERT_EQ(Current(), h.MenuBoardPath());
  Activate(4);
  EXPECT_EQ(Current(), Home);
  EXPECT_EQ(h.State().View.ScanMode, NoScanning);
  EXPECT_FALSE(p->Menu().Checked("MenuEscaneigDirigit"));
  EXPECT_EQ(h.Setting("Menu Control", "MenuEscaneigDirigit.Checked"), "0");

  p->MenuClick("MenuEscaneigDirigit");
  Activate(5);
  EXPECT_EQ(Current(), Home);
  EXPECT_EQ(h.State().View.ScanMode, NoScanning);
}

// The menu board's option is chosen with each way a user may have: a click, a dwell, a switch.
TEST_F(PlayerCellCommandsTest, DirectedScanningStartedFromTheMenuBoardIsLitAtOnce) {
  for (const char* from : {"click", "dwell", "automatic scan"}) {
    SCOPED_TRACE(from);
    p->Modes().StopScanning();
    p->Activations().ActivateCell(1);
    ASSERT_EQ(Current(), h.MenuBoardPath());
    const TBox& option = *p->Boxes().GridBox(5);
    const int32_t x = option.Left + option.Width / 2;
    const int32_t y = p->Layout().Panels().Boxes.Top + option.Top + option.Height / 2;
    h.Window.PointerX = x;
    h.Window.PointerY = y;
    if (std::string(from) == "click") {
      p->HandleMouseEvent(MouseEventKind::LeftPress, x, y);
      p->HandleMouseEvent(MouseEventKind::LeftRelease, x, y);
    } else if (std::string(from) == "dwell") {
      p->MenuClick("MenuClicAutomaticALEstarEnUnacasella");
      h.Clock.Advance(h.State().DwellTickMs + 10);
    } else {
      p->MenuClick("MenuEscaneigAutomatic");
      // Step until the option's cell is lit, then click.
      for (int step = 0; step < 40 && p->Modes().Scan().HighlightedItem != 5; ++step) {
        p->Modes().ScanStep();
        if (p->Modes().Scan().Highlighted == ScanHighlight::Row && p->Modes().Scan().Position.ScanRow == 1)
          p->Modes().SelectScannedItem();
      }
      ASSERT_EQ(p->Modes().Scan().HighlightedItem, 5);
      p->Modes().ClickAction();
    }
    EXPECT_EQ(Current(), Home);
    EXPECT_EQ(h.State().View.ScanMode, DirectedScanning);
    EXPECT_NE(p->Modes().Scan().Highlighted, ScanHighlight::None);
    if (p->Menu().Checked("MenuClicAutomaticALEstarEnUnacasella"))
      p->MenuClick("MenuClicAutomaticALEstarEnUnacasella");
  }
}

TEST_F(PlayerCellCommandsTest, BadKeyCombinationReleasesItsKeysAndTheActivationEndsCleanly) {
  Activate(3); // external-window mode on
  ASSERT_TRUE(p->Menu().Checked("MenuNonFocusable"));
  EXPECT_EQ(h.Setting("Menu Options", "NonFocusable"), "SI");
  Log.clear();
  Activate(4);
  EXPECT_EQ(Log, (EventLog{"Control down", "Shift down", "Shift up", "Control up"}));
  EXPECT_EQ(h.Messages.Messages, (std::vector<std::string>{"'1x' is not a valid integer value"}));
  EXPECT_TRUE(h.Window.HookInstalled);
}

TEST_F(PlayerCellCommandsTest, ExecutarStartsTheProgramBesideTheBoard) {
  const std::string program = h.Root + "boards/escriu";
  ShellHarness::WriteFile(program, "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  Activate(2);
  Activate(2);
  EXPECT_EQ(h.Programs.Started, (std::vector<std::string>{program}));
  EXPECT_EQ(Current(), Other);
}

TEST_F(PlayerCellCommandsTest, ABoardOfAFolderNobodyTrustedAsksAndNoStartsNothing) {
  const std::string program = h.Root + "boards/escriu";
  ShellHarness::WriteFile(program, "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  RemoveTrustedFolder(p->Settings(), h.Root + "boards");
  p->MenuClick("MenuEscaneigAutomatic");
  ASSERT_TRUE(p->Menu().Checked("MenuEscaneigAutomatic"));
  Activate(2);
  Activate(2);
  EXPECT_TRUE(h.Programs.Started.empty());
  ASSERT_EQ(h.Messages.TrustQuestions.size(), 1U);
  for (const std::string& part : {CanonicalFolder(h.Root + "boards"), program, std::string("dos tres")})
    EXPECT_NE(h.Messages.TrustQuestions[0].find(part), std::string::npos) << part;
  EXPECT_FALSE(p->Menu().Checked("MenuEscaneigAutomatic")) << "scanning went on under the question";
  // The board itself still works, and the program's own menu never asks.
  Activate(1);
  EXPECT_EQ(Current(), Home);
  p->MenuClick("MenuEdicion");
  EXPECT_EQ(h.Messages.TrustQuestions.size(), 1U);
  // "Solo esta vez" in a later run starts it.
  h.Messages.Trust = TrustAnswer::ThisTime;
  Player& again = h.Started({Other});
  again.Activations().ActivateCell(2);
  EXPECT_EQ(h.Programs.Started, (std::vector<std::string>{program}));
}

TEST_F(PlayerCellCommandsTest, EditorMenuItemLooksForTheCompanionWithoutExe) {
  EXPECT_TRUE(p->MenuClick("MenuEdicion"));
  EXPECT_EQ(h.Messages.Messages,
            (std::vector<std::string>{std::string(CompanionMissingText) + h.ProgramFolder()}));
  ShellHarness::WriteFile(h.ProgramFolder() + "quadrix", "#!/bin/sh\n");
  EXPECT_TRUE(p->MenuClick("MenuEdicion"));
  EXPECT_EQ(h.Programs.Started, (std::vector<std::string>{h.ProgramFolder() + "quadrix"}));
  EXPECT_EQ(h.Window.Closes, 1);
}

} // namespace
} // namespace nq::test
