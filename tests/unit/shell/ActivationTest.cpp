// Cell activation against the real player (boards, layout, board opening) with recording doors.
#include <gtest/gtest.h>

#include "ActivationFakes.h"
#include "ShellFakes.h"
#include "shell/AccessModes.h"
#include "shell/Activation.h"

namespace nq::test {
namespace {

class ActivationTest : public ::testing::Test {
protected:
  void SetUp() override {
    BoardSpec spec;
    spec.Columns = 3;
    spec.Rows = 2;
    MainBoard = h.WriteBoard("main.qdx", spec);
    BoardSpec other;
    other.Prefix = "o";
    OtherBoard = h.WriteBoard("otro.qdx", other);
    other.Prefix = "x";
    h.WriteBoard("x#.qdx", other);
    p = &h.Started({MainBoard});
    Act = std::make_unique<Activation>(p->MutableState(), p->Menu(), p->Boxes(), p->Layout(), h.Window,
                                       h.Clock, p->Boards());
    Act->Doors = {&Speech, &Functions, &Typing, &Memo, &Board};
    Cell(1).Read = "Hola";
  }

  TBox& Cell(int32_t k) { return *p->Boxes().GridBox(k); }
  TBox& Message(int32_t k) { return *p->Boxes().MessageBox(k); }
  ShellState& State() { return p->MutableState(); }

  ShellHarness h;
  Player* p = nullptr;
  std::string MainBoard;
  std::string OtherBoard;
  EventLog Log;
  RecordingSpeech Speech{Log};
  RecordingFunctions Functions{Log};
  RecordingTyping Typing{Log};
  FakeMemo Memo{Log};
  FakeClipboard Board{Log};
  std::unique_ptr<Activation> Act;
};

struct ActCase {
  const char* Name;
  std::string Link;
  std::string Function;
  bool External = false;
  bool Letters = false;
  bool MessageBar = true;
  bool Speech = true;
  bool ReadText = false;
  EventLog Expected;
  int32_t MessageCells = 0;
  std::string ShownCaption = "c1"; // cell 1 of the board on screen afterwards
};

TEST_F(ActivationTest, WhatACellDoesFollowsTheModesAndItsLink) {
  const std::string stay(StayInPlaceToken);
  const std::vector<ActCase> cases = {
      {"plain cell writes a message cell", "", "", false, false, true, true, false, {"say:Hola"}, 1},
      {"speech off still writes", "", "", false, false, true, false, false, {}, 1},
      {"hidden message bar writes nothing", "", "", false, false, false, true, false, {"say:Hola"}, 0},
      {"letters mode pastes the caption",
       "",
       "",
       false,
       true,
       true,
       true,
       false,
       {"say:Hola", "clip:=c1", "memo:+c1"},
       0},
      {"letters mode with text to read pastes Read",
       "",
       "",
       false,
       true,
       true,
       true,
       true,
       {"say:Hola", "clip:=Hola", "memo:+Hola"},
       0},
      {"letters mode needs the message bar", "", "", false, true, false, true, false, {"say:Hola"}, 0},
      {"special function instead of writing",
       "",
       "<CASA>",
       false,
       false,
       true,
       true,
       false,
       {"say:Hola", "fn:<CASA>"},
       0},
      {"stay-in-place cell writes like a plain one",
       "",
       stay,
       false,
       false,
       true,
       true,
       false,
       {"say:Hola"},
       1},
      {"external window types the caption",
       "",
       "",
       true,
       false,
       true,
       true,
       false,
       {"say:Hola", "type:c1"},
       0},
      {"external window types Read when chosen",
       "",
       "",
       true,
       false,
       true,
       true,
       true,
       {"say:Hola", "type:Hola"},
       0},
      {"external window runs the function",
       "",
       "<CASA>",
       true,
       false,
       true,
       true,
       false,
       {"say:Hola", "fn:<CASA>"},
       0},
      {"external window types a stay-in-place cell",
       "",
       stay,
       true,
       false,
       true,
       true,
       false,
       {"say:Hola", "type:c1"},
       0},
      {"link without # only changes board",
       "otro.qdx",
       "",
       false,
       false,
       true,
       true,
       false,
       {"say:Hola"},
       0,
       "o1"},
      {"link without # runs the function once",
       "otro.qdx",
       "<X>",
       false,
       false,
       true,
       true,
       false,
       {"say:Hola", "fn:<X>"},
       0,
       "o1"},
      {"# before the name writes and links",
       "#otro.qdx",
       "",
       false,
       false,
       true,
       true,
       false,
       {"say:Hola"},
       1,
       "o1"},
      {"# after the name writes and links",
       "otro.qdx#",
       "",
       false,
       false,
       true,
       true,
       false,
       {"say:Hola"},
       1,
       "o1"},
      {"# link runs the function twice",
       "#otro.qdx",
       "<X>",
       false,
       false,
       true,
       true,
       false,
       {"say:Hola", "fn:<X>", "fn:<X>"},
       0,
       "o1"},
      {"a lone # writes and opens nothing", "#", "", false, false, true, true, false, {"say:Hola"}, 1, "c1"},
      {"at most two # are removed", "#x##.qdx", "", false, false, true, true, false, {"say:Hola"}, 1, "x1"},
      {"# link in the external window",
       "#otro.qdx",
       "",
       true,
       false,
       true,
       true,
       false,
       {"say:Hola", "type:c1"},
       0,
       "o1"},
  };
  for (const ActCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ShellHarness::WriteFile(MainBoard, BoardText({3, 2}));
    p->Boards().OpenBoard(MainBoard);
    Cell(1).Read = "Hola";
    Cell(1).Link = c.Link;
    Cell(1).SpecialFunction = c.Function;
    State().ExternalWindowMode = c.External;
    State().View.WriteLettersOrWordsMode = c.Letters;
    State().View.ShowMessageBar = c.MessageBar;
    State().SpeechOn = c.Speech;
    if (p->Menu().Checked("MenuEscriureTextALlegir") != c.ReadText) p->MenuClick("MenuEscriureTextALlegir");
    State().View.MessageCellCount = 0;
    Log.clear();

    Act->ActivateCell(1);

    EXPECT_EQ(Log, c.Expected);
    EXPECT_EQ(State().View.MessageCellCount, c.MessageCells);
    EXPECT_EQ(Cell(1).Caption, c.ShownCaption);
    EXPECT_TRUE(h.Window.HookInstalled);
    EXPECT_EQ(p->Layout().HoveredItem, NoItem);
  }
}

TEST_F(ActivationTest, MessageCellTakesTheCellAsShown) {
  auto picture = std::make_shared<Image>();
  picture->Width = 4;
  picture->Height = 2;
  picture->Pixels.assign(4 * 2 * 4, 7);
  Cell(2).Picture = "gos.png";
  Cell(2).SetPicture(picture, true, 40, 20);
  Cell(2).Read = "gos";
  Cell(2).FrameColour = 0x00FF00;
  FontSpec font;
  font.Name = "Verdana";
  font.Size = 14;
  Cell(2).SetCaptionFont(font);
  Message(1).Link = "old.qdx";

  Act->ActivateCell(2);

  ASSERT_EQ(State().View.MessageCellCount, 1);
  const TBox& m = Message(1);
  EXPECT_EQ(m.Caption, "c2");
  EXPECT_EQ(m.Read, "gos");
  EXPECT_EQ(m.Picture, "gos.png");
  EXPECT_EQ(m.HeldPicture(), picture.get());
  EXPECT_EQ(m.PictureWidth(), 40);
  EXPECT_EQ(m.FrameColour, 0x00FF00);
  EXPECT_EQ(m.CaptionFont().Name, "Verdana");
  EXPECT_TRUE(m.Link.empty());
  EXPECT_TRUE(m.Frame.Visible);

  // A cell without a picture must not show the picture left in the message cell it reuses.
  State().View.MessageCellCount = 0;
  Act->ActivateCell(3);
  EXPECT_EQ(Message(1).Caption, "c3");
  EXPECT_EQ(Message(1).HeldPicture(), nullptr);
}

TEST_F(ActivationTest, FullMessageBarStillSpeaksAndFlashesForAMoment) {
  State().View.VisibleMessageCells = 6;
  for (int i = 0; i < 6; ++i)
    Act->ActivateCell(2);
  EXPECT_FALSE(State().View.MessageBarFlash);
  Log.clear();
  const uint64_t revision = p->Layout().Revision();
  Act->ActivateCell(1);
  EXPECT_EQ(Log, EventLog{"say:Hola"});
  EXPECT_EQ(State().View.MessageCellCount, 6);
  EXPECT_EQ(Message(6).Caption, "c2");
  EXPECT_FALSE(Message(7).Frame.Visible);
  EXPECT_TRUE(State().View.MessageBarFlash);
  EXPECT_NE(p->Layout().Revision(), revision);
  h.Clock.Advance(MessageBarFlashMs / 2);
  EXPECT_TRUE(State().View.MessageBarFlash);
  // A second refused cell while it flashes keeps it on for the full time again.
  Act->ActivateCell(1);
  h.Clock.Advance(MessageBarFlashMs - 1);
  EXPECT_TRUE(State().View.MessageBarFlash);
  h.Clock.Advance(1);
  EXPECT_FALSE(State().View.MessageBarFlash);
  // A cell that fits does not flash.
  State().View.MessageCellCount = 5;
  Act->ActivateCell(1);
  EXPECT_FALSE(State().View.MessageBarFlash);
}

TEST_F(ActivationTest, RestCellSilencesEveryOtherCellUntilChosenAgain) {
  Cell(6).SpecialFunction = std::string(RestToken);
  const int hookChanges = h.Window.HookChanges;
  Act->ActivateCell(6);
  EXPECT_TRUE(State().View.RestMode);
  Act->ActivateCell(1);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(State().View.MessageCellCount, 0);
  EXPECT_EQ(h.Window.HookChanges, hookChanges);
  Act->ActivateCell(6);
  EXPECT_FALSE(State().View.RestMode);
  Act->ActivateCell(1);
  EXPECT_EQ(Log, EventLog{"say:Hola"});
}

TEST_F(ActivationTest, StayInPlaceIsRewrittenAndFramesTheCell) {
  Cell(2).SpecialFunction = std::string(StayInPlaceToken);
  Act->ActivateCell(2);
  EXPECT_TRUE(State().StayInPlace);
  EXPECT_EQ(Cell(2).Frame.PenColour, HighlightColour);
  Act->ActivateCell(1);
  EXPECT_FALSE(State().StayInPlace);
}

TEST_F(ActivationTest, LinkedBoardIsNamedCurrentForItsFunctionAndTheBoardLeftIsWhatBackFinds) {
  Cell(1).Link = "otro.qdx";
  Cell(1).SpecialFunction = "<X>";
  std::string currentDuringFunction;
  bool hookDuringFunction = false;
  Functions.OnRun = [&](const std::string&) {
    currentDuringFunction = State().CurrentBoardFile;
    hookDuringFunction = h.Window.HookInstalled;
  };
  Act->ActivateCell(1);
  EXPECT_EQ(currentDuringFunction, OtherBoard);
  EXPECT_TRUE(hookDuringFunction) << "a click made while the function runs must reach the player";
  EXPECT_TRUE(h.Window.HookInstalled);
  EXPECT_EQ(State().CurrentBoardFile, OtherBoard);
  EXPECT_EQ(State().PreviousBoardFile, MainBoard);
}

TEST_F(ActivationTest, MissingLinkedBoardKeepsTheBoardOnScreen) {
  Cell(1).Link = "#nowhere.qdx";
  const std::string onScreen = State().CurrentBoardFile;
  Act->ActivateCell(1);
  EXPECT_EQ(State().CurrentBoardFile, onScreen);
  EXPECT_EQ(Cell(1).Caption, "c1");
  ASSERT_EQ(h.Messages.Messages.size(), 1u);
  EXPECT_NE(h.Messages.Messages[0].find("No existe el archivo: "), std::string::npos);
  EXPECT_EQ(State().View.MessageCellCount, 1);
}

TEST_F(ActivationTest, HighlightFollowsThePointerOnce200MsAfterAnActivation) {
  const GridRect cell2 = Cell(2).CellRect();
  h.Window.PointerX = cell2.Left + cell2.Width / 2;
  h.Window.PointerY = p->Layout().Panels().Boxes.Top + cell2.Top + cell2.Height / 2;
  Act->ActivateCell(1);
  EXPECT_EQ(p->Layout().HoveredItem, NoItem);
  h.Clock.Advance(199);
  EXPECT_EQ(p->Layout().HoveredItem, NoItem);
  h.Clock.Advance(1);
  EXPECT_EQ(p->Layout().HoveredItem, 2);
  EXPECT_FALSE(Act->BoxActionTimer().Enabled());
}

TEST_F(ActivationTest, WhileScanningTheHoverUpdateKeepsTheScanHighlight) {
  // The scan step left the pointer over the cell it chose; the stay-in-place cell stays framed in red.
  for (const int32_t mode : {AutomaticScanning, DirectedScanning, HeldButtonScanning}) {
    State().View.ScanMode = mode;
    Cell(2).SpecialFunction = std::string(StayInPlaceToken);
    const GridRect cell2 = Cell(2).CellRect();
    h.Window.PointerX = cell2.Left + cell2.Width / 2;
    h.Window.PointerY = p->Layout().Panels().Boxes.Top + cell2.Top + cell2.Height / 2;
    Act->ActivateCell(2);
    ASSERT_EQ(Cell(2).Frame.PenColour, HighlightColour) << mode;
    h.Clock.Advance(BoxActionDelayMs + 100);
    EXPECT_EQ(Cell(2).Frame.PenColour, HighlightColour) << mode;
    EXPECT_FALSE(Act->BoxActionTimer().Enabled()) << mode;
  }
}

TEST_F(ActivationTest, BoardChangedWhileSpeakingDoesNotChangeWhatTheCellDoes) {
  // Library speech lets events run: another board opens in the middle of the activation.
  Speech.OnSay = [&] {
    Speech.OnSay = nullptr;
    p->Boards().OpenBoard(OtherBoard);
  };
  Act->ActivateCell(1);
  EXPECT_EQ(State().View.MessageCellCount, 1);
  EXPECT_EQ(Message(1).Caption, "c1");
  EXPECT_EQ(Message(1).Read, "Hola");
  EXPECT_EQ(Cell(1).Caption, "o1");
}

TEST_F(ActivationTest, SpecialFunctionThatOpensABoardBeforeTheLinkFollows) {
  Cell(1).Link = "#otro.qdx";
  Cell(1).SpecialFunction = "<CASA>";
  Functions.OnRun = [&](const std::string&) { p->Boards().OpenBoard(MainBoard); };
  Act->ActivateCell(1);
  EXPECT_EQ(Log, (EventLog{"say:Hola", "fn:<CASA>", "fn:<CASA>"}));
  EXPECT_EQ(Cell(1).Caption, "o1");
  EXPECT_EQ(State().CurrentBoardFile, OtherBoard);
}

TEST_F(ActivationTest, EmptyDoorsAndNumbersOutsideTheGridAreSafe) {
  Act->Doors = {};
  Cell(1).SpecialFunction = "<CASA>";
  Act->ActivateCell(1);
  State().ExternalWindowMode = true;
  Act->ActivateCell(2);
  State().ExternalWindowMode = false;
  State().View.WriteLettersOrWordsMode = true;
  Act->ActivateCell(3);
  Act->ActivateCell(0);
  Act->ActivateCell(-4);
  Act->ActivateCell(442);
  State().View.WriteLettersOrWordsMode = false;
  Cell(7).Caption = "left over from a larger board";
  Act->ActivateCell(7);
  EXPECT_EQ(State().View.MessageCellCount, 0);
  EXPECT_TRUE(h.Window.HookInstalled);
}

} // namespace
} // namespace nq::test
