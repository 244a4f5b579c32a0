#include "speech/SpeechLibrary.h"

#include <gtest/gtest.h>

#include "support/VirtualClock.h"
#include "unit/speech/SpeechFakes.h"

namespace nq::test {
namespace {

using Calls = std::vector<std::string>;

class SpeechLibraryTest : public ::testing::Test {
protected:
  SpeechLibraryTest() { CurrentLibraryLog = &Log; }
  ~SpeechLibraryTest() override { CurrentLibraryLog = nullptr; }

  LibraryLog Log;
  FakeLibraryLoader Loader;
  VirtualClock Clock;
  SpeechLibrary Library{Loader, Clock};
};

TEST_F(SpeechLibraryTest, AbsentLibraryIsNotLoadedAndGetsNoCalls) {
  Loader.LoadsLeft = 0;
  EXPECT_FALSE(Library.LoadSpeechLibrary());
  Library.LibrarySpeak("hola");
  Library.LibrarySetSpeed(150);
  Library.SelectLibraryMaleVoice("catala");
  EXPECT_TRUE(Log.Calls.empty());
  EXPECT_EQ(Loader.Loaded, Calls{"libupctv.so"});
}

TEST_F(SpeechLibraryTest, LoadSetsTheNormalSpeed) {
  ASSERT_TRUE(Library.LoadSpeechLibrary());
  EXPECT_EQ(Log.Calls, Calls{"Speed:100"});
}

TEST_F(SpeechLibraryTest, SpeakLowersAsciiOnlyAppendsABlankAndWaitsForIdle) {
  ASSERT_TRUE(Library.LoadSpeechLibrary());
  Log.Calls.clear();
  Log.StatusBusyPolls = 3;
  Library.LibrarySpeak("Bon DIA \xC0");
  EXPECT_EQ(Log.Calls, (Calls{"Stop", "Read:bon dia \xC0 "}));
  EXPECT_EQ(Clock.Waits, (std::vector<int32_t>{200, 200, 200}));
}

TEST_F(SpeechLibraryTest, StuckStatusEndsTheWaitInTheEnd) {
  ASSERT_TRUE(Library.LoadSpeechLibrary());
  Log.StatusStuck = true;
  Library.LibrarySpeak("hola");
  EXPECT_EQ(Clock.Now, static_cast<uint64_t>(MaxLibraryWaitMs));
}

struct VoiceCase {
  bool Male;
  const char* Language;
  int32_t LanguageCode;
  int32_t Speaker;
};

class LibraryVoiceTest : public SpeechLibraryTest, public ::testing::WithParamInterface<VoiceCase> {};

TEST_P(LibraryVoiceTest, StopsReloadsAndSetsLanguageAndSpeaker) {
  const VoiceCase& c = GetParam();
  ASSERT_TRUE(Library.LoadSpeechLibrary());
  Log.Calls.clear();
  if (c.Male)
    Library.SelectLibraryMaleVoice(c.Language);
  else
    Library.SelectLibraryFemaleVoice(c.Language);
  // The reload brings the speed back to normal before the voice is set.
  EXPECT_EQ(Log.Calls, (Calls{"Stop", "Speed:100", "Language:" + std::to_string(c.LanguageCode),
                              "Speaker:" + std::to_string(c.Speaker)}));
  EXPECT_EQ(Loader.Loaded.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Voices, LibraryVoiceTest,
                         ::testing::Values(VoiceCase{true, "catala", 99, 0},
                                           VoiceCase{false, "catala", 99, 2},
                                           VoiceCase{true, "castella", 101, 1},
                                           VoiceCase{false, "castella", 101, 0},
                                           VoiceCase{false, "Catala", 101, 0}));

TEST_F(SpeechLibraryTest, FailedReloadLeavesTheLibraryUnloaded) {
  Loader.LoadsLeft = 1;
  ASSERT_TRUE(Library.LoadSpeechLibrary());
  Log.Calls.clear();
  Library.SelectLibraryFemaleVoice("catala");
  EXPECT_FALSE(Library.IsLoaded());
  EXPECT_EQ(Log.Calls, Calls{"Stop"});
  Library.LibrarySpeak("hola");
  EXPECT_EQ(Library.LibraryStatus(), 0);
  EXPECT_EQ(Log.Calls, Calls{"Stop"});
}

TEST_F(SpeechLibraryTest, MissingEntryPointsAreSkippedAndMissingStatusMeansIdle) {
  Loader.Symbols.erase("upcTVStatus");
  Loader.Symbols.erase("upcTVStop");
  Loader.Symbols.erase("upcTVSetSpeed");
  ASSERT_TRUE(Library.LoadSpeechLibrary());
  Library.SelectLibraryMaleVoice("catala");
  Library.LibrarySpeak("Hola");
  EXPECT_EQ(Log.Calls, (Calls{"Language:99", "Speaker:0", "Read:hola "}));
  EXPECT_TRUE(Clock.Waits.empty());
}

TEST_F(SpeechLibraryTest, FreeReleasesAndSilences) {
  ASSERT_TRUE(Library.LoadSpeechLibrary());
  Library.FreeSpeechLibrary();
  Log.Calls.clear();
  Library.LibrarySetSpeed(120);
  Library.LibrarySpeak("x");
  EXPECT_TRUE(Log.Calls.empty());
}

} // namespace
} // namespace nq::test
