// Voices chosen by ear: the order the speech window lists them in, and the sample a selected voice says.
#include <gtest/gtest.h>

#include "settings/SettingsStore.h"
#include "speech/ExceptionsDictionary.h"
#include "speech/SpeechFrontEnd.h"
#include "speech/SpeechLibrary.h"
#include "speech/VoiceList.h"
#include "support/VirtualClock.h"
#include "unit/speech/SpeechFakes.h"

namespace nq::test {
namespace {

using Calls = std::vector<std::string>;

TEST(VoiceListTest, CatalanAndSpanishAnyRegionAreHomeLanguages) {
  const std::pair<const char*, bool> cases[] = {{"ca", true},         {"es", true},  {"es-419", true},
                                                {"ca_ES", true},      {"CA", true},  {"ca-valencia", true},
                                                {"cat", false},       {"en", false}, {"eu", false},
                                                {"esperanto", false}, {"c", false},  {"", false}};
  for (const auto& [tag, home] : cases)
    EXPECT_EQ(IsHomeLanguage(tag), home) << tag;
}

TEST(VoiceListTest, HomeVoicesFirstTheRestOnlyOnRequest) {
  const std::vector<VoiceEntry> voices = {{"SAPI", "en", "en"},    {"SAPI", "ca", "ca"},
                                          {"SAPI", "tlh", "piqd"}, {"MSP", "nameless", ""},
                                          {"SAPI", "es", "es"},    {"UPCTV", "Dona", "ca"}};
  const struct {
    bool Every;
    int Keep;
    std::vector<int> Order;
  } cases[] = {
      {false, -1, {1, 3, 4, 5}},
      {true, -1, {1, 3, 4, 5, 0, 2}},
      {false, 2, {1, 3, 4, 5, 2}}, // the chosen voice never disappears from the list
      {false, 4, {1, 3, 4, 5}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShownVoiceOrder(voices, c.Every, c.Keep), c.Order) << c.Every << c.Keep;
}

class VoiceSampleTest : public ::testing::Test {
protected:
  VoiceSampleTest() {
    CurrentLibraryLog = &Log;
    InProcess.Languages = {"ca", "es", "en"};
    Settings.WriteSettingText("tts", "Numero sintetitzador", "0");
    Speech.FormCreate();
  }
  ~VoiceSampleTest() override { CurrentLibraryLog = nullptr; }

  TempFolder Folder;
  SettingsStore Settings{Folder.Path("nexoquadrix.ini"), Folder.Path("Quadrix.ini")};
  LibraryLog Log;
  FakeLibraryLoader Loader;
  VirtualClock Clock;
  FakeDialogs DialogsFake;
  FakeVoiceEngine Desktop{{"Desktop A"}};
  FakeVoiceEngine InProcess{{"Catala", "Castellano", "English"}};
  SpeechLibrary Library{Loader, Clock};
  ExceptionsDictionary Dictionary{Settings, DialogsFake, "/prog/"};
  SpeechFrontEnd Speech{
      Settings, Folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary, DialogsFake, Clock};
};

TEST_F(VoiceSampleTest, TheListedVoicesCarryTheirGroupAndLanguage) {
  const std::vector<VoiceEntry>& voices = Speech.Voices();
  ASSERT_EQ(voices.size(), Speech.Entries().size());
  EXPECT_EQ(voices[0].Group, "MSP");
  EXPECT_EQ(voices[2].Group, "SAPI");
  EXPECT_EQ(voices[2].Language, "es");
  EXPECT_EQ(voices[3].Language, "en");
  EXPECT_EQ(voices[4].Group, "UPCTV");
  EXPECT_TRUE(IsHomeLanguage(voices[4].Language) && IsHomeLanguage(voices.back().Language));
}

TEST_F(VoiceSampleTest, ARestingSelectionSpeaksOneSampleInTheSelectedVoiceAtItsRate) {
  EXPECT_TRUE(Desktop.Spoken.empty()) << "restoring the stored voice at start says nothing";
  Speech.tbRateChange(3);
  Speech.SelectVoiceToHear(1); // passed on the way down
  Clock.Advance(VoiceSampleDelayMs / 2);
  Speech.SelectVoiceToHear(2);
  Clock.Advance(VoiceSampleDelayMs - 1);
  EXPECT_TRUE(InProcess.Spoken.empty()) << "the selection has not rested yet";
  Clock.Advance(1);
  ASSERT_EQ(InProcess.Spoken.size(), 1u);
  EXPECT_EQ(InProcess.Chosen.back(), 1); // the Spanish voice
  EXPECT_EQ(InProcess.Rates.back(), 3);
  const std::string spanish = InProcess.Spoken[0];
  Clock.Advance(10 * VoiceSampleDelayMs);
  EXPECT_EQ(InProcess.Spoken.size(), 1u) << "one sample per selection";

  Speech.SelectVoiceToHear(1);
  Clock.Advance(VoiceSampleDelayMs);
  ASSERT_EQ(InProcess.Spoken.size(), 2u);
  EXPECT_NE(InProcess.Spoken[1], spanish) << "a Catalan voice says a Catalan sample";
  EXPECT_TRUE(Desktop.Spoken.empty());
}

TEST_F(VoiceSampleTest, AChangedRateIsHeardInTheChosenVoice) {
  Speech.ListBoxMotorsDeVeuClick(1);
  Clock.Advance(10 * VoiceSampleDelayMs);
  EXPECT_TRUE(InProcess.Spoken.empty()) << "a choice not made in the window says nothing";
  Speech.tbRateChange(-4);
  Speech.HearChosenVoiceSoon();
  Clock.Advance(VoiceSampleDelayMs);
  EXPECT_EQ(InProcess.Spoken.size(), 1u);
  EXPECT_EQ(InProcess.Rates.back(), -4);
}

TEST_F(VoiceSampleTest, ALibraryVoiceSaysItsSampleThroughTheLibrary) {
  Speech.SelectVoiceToHear(6); // "UPCTV - Hombre - Español"
  Log.Calls.clear();
  Clock.Advance(VoiceSampleDelayMs);
  ASSERT_FALSE(Log.Calls.empty());
  EXPECT_EQ(Log.Calls.back().rfind("Read:", 0), 0u) << Log.Calls.back();
}

} // namespace
} // namespace nq::test
