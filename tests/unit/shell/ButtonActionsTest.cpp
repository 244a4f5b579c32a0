// The button bar's commands in the three places a message lives, with the key sequences and waits
// they send, and what happens when events run inside those waits.
#include <gtest/gtest.h>

#include "ActivationFakes.h"
#include "ShellFakes.h"
#include "settings/SettingsKeys.h"
#include "shell/Activation.h"
#include "shell/ButtonActions.h"

namespace nq::test {
namespace {

const EventLog KeysA = {"Shift down", "Control down", "Left down", "Left up", "Control up", "Shift up"};
const EventLog KeysB = {"Control down", "Home down", "Home up",  "Shift down",
                        "End down",     "End up",    "Shift up", "Control up"};
const EventLog CopyThenEnd = {"clip:=",       "Control down", "C down", "C up",      "Control up",
                              "Control down", "End down",     "End up", "Control up"};

EventLog Join(std::initializer_list<EventLog> parts) {
  EventLog all;
  for (const EventLog& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

class ButtonActionsTest : public ::testing::Test {
protected:
  void SetUp() override {
    BoardSpec spec;
    spec.Columns = 3;
    spec.Rows = 2;
    MainBoard = h.WriteBoard("main.qdx", spec);
    BoardSpec other;
    other.Prefix = "o";
    OtherBoard = h.WriteBoard("otro.qdx", other);
    p = &h.Started({MainBoard});
    Buttons = std::make_unique<ButtonActions>(p->MutableState(), p->Boxes(), p->Layout(), Waits, p->Boards(),
                                              p->Options());
    Buttons->Doors = {&Speech, &Keys, &Board, &Memo};
    Act = std::make_unique<Activation>(p->MutableState(), p->Menu(), p->Boxes(), p->Layout(), h.Window,
                                       h.Clock, p->Boards());
    Keys.Selection = "paraula";
    Memo.Contents = "hola que";
  }

  ShellState& State() { return p->MutableState(); }
  TBox& Message(int32_t k) { return *p->Boxes().MessageBox(k); }
  void PutMessageCells(std::initializer_list<const char*> reads) {
    p->MutableState().SpeechOn = false;
    int32_t k = 0;
    for (const char* read : reads) {
      p->Boxes().GridBox(++k)->Read = read;
      Act->ActivateCell(k);
    }
    p->MutableState().SpeechOn = true;
  }
  void SetPlace(MessagePlace place) {
    State().ExternalWindowMode = place == MessagePlace::ExternalWindow;
    State().View.WriteLettersOrWordsMode = place == MessagePlace::Memo;
  }
  int32_t Count() { return p->State().View.MessageCellCount; }

  ShellHarness h;
  Player* p = nullptr;
  std::string MainBoard;
  std::string OtherBoard;
  EventLog Log;
  LoggingClock Waits{Log, h.Clock};
  RecordingSpeech Speech{Log};
  FakeClipboard Board{Log};
  RecordingKeys Keys{Log, Board};
  FakeMemo Memo{Log};
  std::unique_ptr<ButtonActions> Buttons;
  std::unique_ptr<Activation> Act;
};

struct ButtonCase {
  int32_t Item;
  MessagePlace Place;
  EventLog Expected;
  int32_t CellsAfter; // of the three message cells put in first
  std::string MemoAfter = "hola que";
};

TEST_F(ButtonActionsTest, EachCommandInEachPlace) {
  const MessagePlace cells = MessagePlace::MessageCells;
  const MessagePlace memo = MessagePlace::Memo;
  const MessagePlace external = MessagePlace::ExternalWindow;
  const EventLog sayLastWord = Join({KeysA, {"wait 100"}, CopyThenEnd, {"wait 100", "say:paraula"}});
  const EventLog sayAll = Join({KeysB, {"wait 100"}, CopyThenEnd, {"wait 100", "say:paraula"}});
  const EventLog deleteWord = Join({KeysA, {"wait 100", "Delete down", "Delete up"}});
  const EventLog backspace = {"Backspace down", "Backspace up"};
  const std::vector<ButtonCase> cases = {
      {-3, cells, {"say:c"}, 3},
      {-3, memo, sayLastWord, 3},
      {-3, external, sayLastWord, 3},
      {-4, cells, {"say-wait:a", "say-wait:b", "say-wait:c"}, 3},
      {-4, memo, {"say:hola que"}, 3},
      {-4, external, sayAll, 3},
      {-5, cells, {}, 2},
      {-5, memo, backspace, 3},
      {-5, external, backspace, 3},
      {-6, cells, {}, 2},
      {-6, memo, deleteWord, 3},
      {-6, external, deleteWord, 3},
      {-7, cells, {}, 0},
      {-7, memo, {"memo:clear"}, 3, ""},
      {-7, external, Join({KeysB, {"wait 100", "Delete down", "Delete up"}}), 3},
      {-9, cells, {}, 3},
      {-9, external, {}, 3},
      {0, memo, {}, 3},
      {-10, external, {}, 3},
  };
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE("item " + std::to_string(c.Item) + " place " + std::to_string(static_cast<int>(c.Place)));
    SetPlace(MessagePlace::MessageCells);
    Buttons->ClearMessageCells();
    PutMessageCells({"a", "b", "c"});
    Memo.Contents = "hola que";
    Board.Text = "old";
    SetPlace(c.Place);
    Log.clear();

    Buttons->RunButtonAction(c.Item);

    EXPECT_EQ(Log, c.Expected);
    EXPECT_EQ(Count(), c.CellsAfter);
    EXPECT_EQ(Memo.Contents, c.MemoAfter);
    EXPECT_FALSE(Buttons->Running());
  }
}

TEST_F(ButtonActionsTest, EmptyMessageDoesNothing) {
  for (const MessagePlace place : {MessagePlace::MessageCells, MessagePlace::Memo}) {
    for (const int32_t item : {-3, -4, -5, -6}) {
      SCOPED_TRACE(item);
      SetPlace(place);
      Memo.Contents.clear();
      Log.clear();
      Buttons->RunButtonAction(item);
      EXPECT_TRUE(Log.empty() || Log == EventLog{"say:"});
      EXPECT_EQ(Count(), 0);
    }
  }
}

TEST_F(ButtonActionsTest, NothingSelectedSaysNothingRatherThanTheOldClipboard) {
  SetPlace(MessagePlace::ExternalWindow);
  Keys.Selection.clear();
  Board.Text = "contrasenya";
  Buttons->RunButtonAction(-3);
  EXPECT_EQ(Log.back(), "say:");
}

TEST_F(ButtonActionsTest, RemovingAndClearingEmptiesAndHidesCells) {
  PutMessageCells({"a", "b", "c"});
  Buttons->RunButtonAction(-5);
  EXPECT_EQ(Count(), 2);
  EXPECT_FALSE(Message(3).Frame.Visible);
  EXPECT_TRUE(Message(3).Read.empty() && Message(3).Caption.empty() && Message(3).Picture.empty());
  EXPECT_TRUE(Message(2).Frame.Visible);
  Buttons->RunButtonAction(-7);
  EXPECT_EQ(Count(), 0);
  for (int32_t i = 1; i <= MessageBoxCount; ++i) {
    EXPECT_FALSE(Message(i).Frame.Visible || Message(i).CaptionLabel.Visible ||
                 Message(i).PictureImage.Visible);
    EXPECT_TRUE(Message(i).Read.empty());
  }
  // A cell added after clearing goes to the first place again.
  p->Boxes().GridBox(4)->Read = "d";
  Act->ActivateCell(4);
  EXPECT_EQ(Message(1).Read, "d");
}

TEST_F(ButtonActionsTest, HomeAndBack) {
  p->Boards().OpenBoard(OtherBoard);
  Buttons->RunButtonAction(-2);
  EXPECT_EQ(State().CurrentBoardFile, MainBoard);
  EXPECT_EQ(State().PreviousBoardFile, OtherBoard);
  p->Boards().OpenBoard(OtherBoard);
  Buttons->RunButtonAction(-1);
  EXPECT_EQ(State().CurrentBoardFile, MainBoard);

  // No previous board: nothing; no home board: an empty name that only redoes the layout.
  State().PreviousBoardFile.clear();
  Buttons->RunButtonAction(-2);
  EXPECT_EQ(State().CurrentBoardFile, MainBoard);
  State().HomeBoardFile.clear();
  Buttons->RunButtonAction(-1);
  EXPECT_EQ(State().CurrentBoardFile, MainBoard);
  EXPECT_TRUE(h.Messages.Messages.empty());
}

TEST_F(ButtonActionsTest, SimbolTogglesSpeechAndStoresItEachTime) {
  ASSERT_TRUE(State().SpeechOn);
  Buttons->RunButtonAction(-8);
  EXPECT_FALSE(State().SpeechOn);
  EXPECT_FALSE(p->Menu().Checked("MenuSpeak"));
  EXPECT_EQ(h.Setting("Menu Options", "MenuSpeak.Checked"), "NO");
  Buttons->RunButtonAction(-8);
  EXPECT_TRUE(State().SpeechOn);
  EXPECT_EQ(h.Setting("Menu Options", "MenuSpeak.Checked"), "SI");
}

TEST_F(ButtonActionsTest, ButtonHighlightIsClearedFirst) {
  p->Layout().HighlightAllButtons();
  Buttons->RunButtonAction(-9);
  for (const ButtonPanel& panel : p->Layout().Buttons())
    EXPECT_EQ(panel.Colour, ButtonFaceColour);
}

TEST_F(ButtonActionsTest, LlegirSaysEachCellToTheEndAndSeesCellsChangeMeanwhile) {
  PutMessageCells({"a", "b", "c"});
  // Cleared while the first cell is being said: the rest is not read.
  Speech.OnSayAndWait = [&] { Buttons->ClearMessageCells(); };
  Buttons->RunButtonAction(-4);
  EXPECT_EQ(Log, EventLog{"say-wait:a"});

  // A cell added while reading is read too.
  PutMessageCells({"a", "b"});
  Log.clear();
  Speech.OnSayAndWait = [&] {
    Speech.OnSayAndWait = nullptr;
    p->Boxes().GridBox(5)->Read = "e";
    Act->ActivateCell(5);
  };
  Buttons->RunButtonAction(-4);
  EXPECT_EQ(Log, (EventLog{"say-wait:a", "say-wait:b", "say-wait:e"}));
}

TEST_F(ButtonActionsTest, CommandsStartedInsideAWaitAreDropped) {
  PutMessageCells({"a", "b", "c"});
  // A scan tick, a click and a board change all land inside the reading.
  Speech.OnSayAndWait = [&] {
    Speech.OnSayAndWait = nullptr;
    Buttons->RunButtonAction(-7);
    Buttons->RunButtonAction(-4);
    p->Boards().OpenBoard(OtherBoard);
  };
  Buttons->RunButtonAction(-4);
  EXPECT_EQ(Log, (EventLog{"say-wait:a", "say-wait:b", "say-wait:c"}));
  EXPECT_EQ(Count(), 3);
  EXPECT_EQ(p->Boxes().GridBox(1)->Caption, "o1");
  // Once it has finished, commands run again.
  Buttons->RunButtonAction(-7);
  EXPECT_EQ(Count(), 0);
}

TEST_F(ButtonActionsTest, TimerFiringInsideAKeySequenceDoesNotInterleaveKeys) {
  SetPlace(MessagePlace::ExternalWindow);
  std::unique_ptr<Timer> tick = h.Clock.CreateTimer(50);
  int ticks = 0;
  tick->SetHandler([&] {
    ++ticks;
    Buttons->RunButtonAction(-6);
    p->Boards().OpenBoard(OtherBoard);
  });
  tick->SetEnabled(true);
  Buttons->RunButtonAction(-6);
  tick->SetEnabled(false);
  EXPECT_GE(ticks, 1);
  EXPECT_EQ(Log, Join({KeysA, {"wait 100", "Delete down", "Delete up"}}));
  EXPECT_EQ(State().CurrentBoardFile, OtherBoard);
}

TEST_F(ButtonActionsTest, EmptyDoorsAreSafe) {
  Buttons->Doors = {};
  PutMessageCells({"a"});
  for (const MessagePlace place :
       {MessagePlace::MessageCells, MessagePlace::Memo, MessagePlace::ExternalWindow}) {
    SetPlace(place);
    for (int32_t item = -7; item <= -3; ++item)
      Buttons->RunButtonAction(item);
  }
  EXPECT_TRUE(Log.empty());
}

} // namespace
} // namespace nq::test
