// The first group of the voice list joins the desktop service's voices and Ona: a list index must
// reach the right engine and that engine's own voice, whatever the earlier members listed.
#include <gtest/gtest.h>

#include "speech/JoinedVoices.h"
#include "unit/speech/SpeechFakes.h"

namespace nq::test {
namespace {

TEST(JoinedVoices, ListsMembersInOrderAndChoosesInTheRightMember) {
  struct Case {
    std::vector<std::string> First;
    int Index;
    bool FirstSpeaks;
    int VoiceInMember;
  };
  const Case cases[] = {
      {{"A", "B"}, 0, true, 0},
      {{"A", "B"}, 1, true, 1},
      {{"A", "B"}, 2, false, 0}, // the second member's only voice
      {{}, 0, false, 0},         // a first member that listed nothing takes no index
  };
  for (const Case& c : cases) {
    FakeVoiceEngine first{c.First};
    FakeVoiceEngine second{{"Ona"}};
    JoinedVoices joined({&first, &second});
    std::vector<std::string> expected = c.First;
    expected.push_back("Ona");
    ASSERT_EQ(joined.ListVoices(), expected);
    ASSERT_TRUE(joined.ChooseVoice(c.Index)) << c.Index;
    joined.Speak("hola");
    FakeVoiceEngine& speaker = c.FirstSpeaks ? first : second;
    FakeVoiceEngine& silent = c.FirstSpeaks ? second : first;
    ASSERT_EQ(speaker.Chosen, std::vector<int>{c.VoiceInMember}) << c.Index;
    EXPECT_EQ(speaker.Spoken, std::vector<std::string>{"hola"}) << c.Index;
    EXPECT_TRUE(silent.Spoken.empty()) << c.Index;
  }
}

TEST(JoinedVoices, IndexesPastTheListAreRefusedAndKeepTheChosenVoice) {
  FakeVoiceEngine first{{"A"}};
  FakeVoiceEngine second{{"Ona"}};
  JoinedVoices joined({&first, &second});
  joined.ListVoices();
  ASSERT_TRUE(joined.ChooseVoice(1));
  EXPECT_FALSE(joined.ChooseVoice(2));
  EXPECT_FALSE(joined.ChooseVoice(-1));
  joined.Speak("encara");
  EXPECT_EQ(second.Spoken, std::vector<std::string>{"encara"});
  EXPECT_TRUE(first.Spoken.empty());
}

TEST(JoinedVoices, BeforeAnyChoiceTheFirstMemberWithVoicesSpeaks) {
  FakeVoiceEngine empty;
  FakeVoiceEngine ona{{"Ona"}};
  JoinedVoices joined({&empty, &ona});
  joined.ListVoices();
  joined.Speak("bon dia");
  EXPECT_EQ(ona.Spoken, std::vector<std::string>{"bon dia"});
  EXPECT_TRUE(empty.Spoken.empty());
}

TEST(JoinedVoices, RateReachesEveryMemberAndWaitingFollowsTheSpeaker) {
  FakeVoiceEngine first{{"A"}};
  FakeVoiceEngine second{{"Ona"}};
  JoinedVoices joined({&first, &second});
  joined.ListVoices();
  joined.SetRate(4);
  EXPECT_EQ(first.Rates, std::vector<int>{4});
  EXPECT_EQ(second.Rates, std::vector<int>{4});
  ASSERT_TRUE(joined.ChooseVoice(1));
  second.PollsPerText = 2;
  first.BusyPolls = 100; // a voice not chosen that still talks does not hold the wait
  joined.Speak("ara");
  EXPECT_TRUE(joined.IsSpeaking());
  EXPECT_TRUE(joined.IsSpeaking());
  EXPECT_FALSE(joined.IsSpeaking());
}

TEST(JoinedVoices, PromptsGoToTheChosenMemberAndACutReachesEveryMember) {
  FakeVoiceEngine first{{"A"}};
  FakeVoiceEngine second{{"Ona"}};
  JoinedVoices joined({&first, &second});
  joined.ListVoices();
  ASSERT_TRUE(joined.ChooseVoice(1));
  joined.SpeakPrompt("casa");
  EXPECT_TRUE(first.Prompts.empty());
  EXPECT_EQ(second.Prompts, std::vector<std::string>{"casa"});
  // The member chosen before may still be saying its prompt.
  first.PromptBusy = true;
  EXPECT_TRUE(joined.PromptSpeaking());
  joined.CutPrompt();
  EXPECT_EQ(first.Cuts, 1);
  EXPECT_EQ(second.Cuts, 1);
}

} // namespace
} // namespace nq::test
