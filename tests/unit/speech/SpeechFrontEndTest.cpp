#include "speech/SpeechFrontEnd.h"

#include <gtest/gtest.h>

#include "settings/SettingsStore.h"
#include "speech/ExceptionsDictionary.h"
#include "speech/SoundOrSpeech.h"
#include "speech/SpeechLibrary.h"
#include "support/VirtualClock.h"
#include "unit/speech/SpeechFakes.h"

namespace nq::test {
namespace {

using Calls = std::vector<std::string>;

class SpeechFrontEndTest : public ::testing::Test {
protected:
  SpeechFrontEndTest() { CurrentLibraryLog = &Log; }
  ~SpeechFrontEndTest() override { CurrentLibraryLog = nullptr; }

  std::string Tts(const char* key) { return Settings.ReadSettingText("tts", key, "<none>"); }
  std::string ToWav(const char* key) {
    ProfileFile file(Folder.Path("parlartts.ini"));
    return file.ReadText("tts to Wav", key, "<none>");
  }
  void Create(const char* engineNumber, const char* rate = nullptr) {
    if (engineNumber) Settings.WriteSettingText("tts", "Numero sintetitzador", engineNumber);
    if (rate) Settings.WriteSettingText("tts", "velocitat", rate);
    Speech.FormCreate();
  }

  TempFolder Folder;
  SettingsStore Settings{Folder.Path("nexoquadrix.ini"), Folder.Path("Quadrix.ini")};
  LibraryLog Log;
  FakeLibraryLoader Loader;
  VirtualClock Clock;
  FakeDialogs DialogsFake;
  FakeVoiceEngine Desktop{{"Desktop A", "Desktop B"}};
  FakeVoiceEngine InProcess{{"Catal\xC3\xA0 (ca)"}};
  SpeechLibrary Library{Loader, Clock};
  ExceptionsDictionary Dictionary{Settings, DialogsFake, "/prog/"};
  SpeechFrontEnd Speech{
      Settings, Folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary, DialogsFake, Clock};
};

TEST_F(SpeechFrontEndTest, ListsTheGroupsInOrder) {
  Create(nullptr);
  EXPECT_EQ(Speech.Entries(),
            (Calls{"Desktop A", "Desktop B", "SAPI - Catal\xE0 (ca)", "UPCTV - Home - Catal\xE0",
                   "UPCTV - Dona - Catal\xE0", "UPCTV - Hombre - Espa\xF1ol", "UPCTV - Mujer - Espa\xF1ol"}));
  EXPECT_TRUE(Speech.LibraryAvailable());
}

TEST_F(SpeechFrontEndTest, EngineRuleByIndex) {
  Create(nullptr);
  const std::tuple<int, EngineKind, int> cases[] = {
      {-1, EngineKind::Desktop, -1}, {0, EngineKind::Desktop, 0}, {1, EngineKind::Desktop, 1},
      {2, EngineKind::InProcess, 0}, {3, EngineKind::Library, 0}, {6, EngineKind::Library, 3}};
  for (const auto& [index, kind, voice] : cases) {
    const EngineChoice choice = Speech.EngineFor(index);
    EXPECT_EQ(choice.Kind, kind) << index;
    EXPECT_EQ(choice.Voice, voice) << index;
  }
}

TEST(LibrarySpeedForRate, FollowsTheSliderScale) {
  const std::pair<int, int32_t> cases[] = {{-10, 10}, {-9, 10}, {-8, 20}, {-1, 90}, {0, 100},
                                           {1, 115},  {5, 175}, {9, 235}, {10, 250}};
  for (const auto& [rate, speed] : cases)
    EXPECT_EQ(LibrarySpeedForRate(rate), speed) << rate;
}

TEST_F(SpeechFrontEndTest, FirstRunSelectsTheFirstEntryWithoutChoosingAVoice) {
  EXPECT_TRUE(Speech.EngineNotChosen());
  Create(nullptr);
  EXPECT_EQ(Speech.SelectedIndex(), 0);
  EXPECT_TRUE(Desktop.Chosen.empty());
  EXPECT_EQ(ToWav("Tipus de sintetitzador"), "<none>");
  EXPECT_EQ(ToWav("Sintetitzador"), "<none>");
  EXPECT_EQ(ToWav("SPEED"), "0");
  EXPECT_EQ(Desktop.Rates, std::vector<int>{0});
}

TEST_F(SpeechFrontEndTest, StoredEntryIsChosenAgain) {
  const std::tuple<const char*, int, const char*, const char*> cases[] = {
      {"1", 1, "MSP", "1"}, {"2", 2, "SAPI", "0"}, {"5", 5, "UPCTV", "<none>"}};
  for (const auto& [stored, selected, type, number] : cases) {
    TempFolder folder;
    SettingsStore settings(folder.Path("s.ini"), folder.Path("q.ini"));
    settings.WriteSettingText("tts", "Numero sintetitzador", stored);
    SpeechFrontEnd speech(settings, folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary,
                          DialogsFake, Clock);
    speech.FormCreate();
    EXPECT_FALSE(speech.EngineNotChosen());
    EXPECT_EQ(speech.SelectedIndex(), selected);
    ProfileFile file(folder.Path("parlartts.ini"));
    EXPECT_EQ(file.ReadText("tts to Wav", "Tipus de sintetitzador", "<none>"), type) << stored;
    EXPECT_EQ(file.ReadText("tts to Wav", "Sintetitzador", "<none>"), number) << stored;
  }
  EXPECT_EQ(Desktop.Chosen, std::vector<int>{1});
  EXPECT_EQ(InProcess.Chosen, std::vector<int>{0});
  EXPECT_EQ(Log.Calls.back(), "Speed:100"); // the Spanish woman, then the rate at 0
}

TEST_F(SpeechFrontEndTest, UnreadableEngineNumberSelectsNothingSilently) {
  Create("abc");
  EXPECT_EQ(Speech.SelectedIndex(), -1);
  EXPECT_TRUE(DialogsFake.Messages.empty());
  Speech.SpeakText("hola");
  EXPECT_EQ(Desktop.Spoken, Calls{"hola"});
}

TEST_F(SpeechFrontEndTest, StoredRateIsKeptWithinTheSlider) {
  Create("0", "15");
  EXPECT_EQ(Speech.RatePosition(), 10);
  EXPECT_EQ(Speech.LblRateText(), "10");
  EXPECT_EQ(Desktop.Rates.back(), 10);
}

TEST_F(SpeechFrontEndTest, DamagedRateIsReportedOnceAndTheRestIsSetUp) {
  Create("1", "rapid");
  EXPECT_EQ(DialogsFake.Messages, Calls{"'rapid' is not a valid integer value"});
  EXPECT_EQ(Desktop.Chosen, std::vector<int>{1});
  EXPECT_EQ(Speech.RatePosition(), 0);
  EXPECT_EQ(Speech.LblRateText(), "0");
  Speech.FormClose();
  EXPECT_EQ(Tts("velocitat"), "0");
}

TEST_F(SpeechFrontEndTest, ChoosingTheSameLibraryVoiceTwiceSetsItUpOnce) {
  Create("0");
  Log.Calls.clear();
  Speech.tbRateChange(2);
  Speech.ListBoxMotorsDeVeuClick(4);
  Speech.ListBoxMotorsDeVeuClick(4);
  EXPECT_EQ(Log.Calls, (Calls{"Stop", "Speed:100", "Language:99", "Speaker:2", "Speed:130", "Speed:130"}));
  EXPECT_EQ(ToWav("Tipus de sintetitzador"), "UPCTV");
  EXPECT_EQ(ToWav("SPEED"), "2");
}

TEST_F(SpeechFrontEndTest, RateGoesToTheSelectedEngine) {
  Create("2");
  Speech.tbRateChange(-12);
  EXPECT_EQ(InProcess.Rates.back(), -10);
  EXPECT_EQ(Speech.LblRateText(), "-10");
  Speech.ListBoxMotorsDeVeuClick(3);
  Speech.tbRateChange(-10);
  EXPECT_EQ(Log.Calls.back(), "Speed:10");
}

TEST_F(SpeechFrontEndTest, SpeakConvertsToUtf8AfterTheDictionary) {
  Dictionary.LoadExceptionsDictionary(Folder.Write("d.txt", "sr senyor\n"));
  Create("1");
  Speech.SpeakText("sr Pi\xE0");
  EXPECT_EQ(Desktop.Spoken, Calls{"senyor Pi\xC3\xA0"});
}

TEST_F(SpeechFrontEndTest, SpeakAndWaitMarksReadingAndWaitsForTheEngine) {
  Create("2");
  InProcess.PollsPerText = 4;
  std::string readingWhileSpoken;
  InProcess.OnSpeak = [&] { readingWhileSpoken = Tts("ESTIC LLEGINT"); };
  Speech.SpeakTextAndWait("bon dia");
  EXPECT_EQ(readingWhileSpoken, "1");
  EXPECT_EQ(Tts("ESTIC LLEGINT"), "0");
  EXPECT_EQ(InProcess.Spoken, Calls{"bon dia"});
  EXPECT_EQ(Clock.Waits.size(), 4u);
}

// The library itself waits until idle (see SpeechLibraryTest); the front end marks the reading for all
// of that time and only then clears the mark.
TEST_F(SpeechFrontEndTest, SpeakAndWaitWithTheLibraryMarksReadingUntilIdle) {
  Create("3");
  Log.Calls.clear();
  Log.StatusBusyPolls = 2;
  std::vector<std::string> marksWhileWaiting;
  const std::unique_ptr<Timer> watch = Clock.CreateTimer(100);
  watch->SetHandler([&] { marksWhileWaiting.push_back(Tts("ESTIC LLEGINT")); });
  watch->SetEnabled(true);
  Speech.SpeakTextAndWait("Hola");
  watch->SetEnabled(false);
  EXPECT_EQ(Log.Calls, (Calls{"Stop", "Read:hola "}));
  EXPECT_EQ(Log.StatusBusyPolls, 0);
  EXPECT_EQ(marksWhileWaiting, (Calls{"1", "1", "1", "1"})); // two waits of 200 ms
  EXPECT_EQ(Tts("ESTIC LLEGINT"), "0");
}

TEST_F(SpeechFrontEndTest, WithoutEnginesCloseStoresOnlyTheRate) {
  FakeVoiceEngine none;
  Loader.LoadsLeft = 0;
  SpeechFrontEnd speech(Settings, Folder.Path("parlartts.ini"), none, none, Library, Dictionary, DialogsFake,
                        Clock);
  speech.FormCreate();
  EXPECT_TRUE(speech.Entries().empty());
  speech.tbRateChange(3);
  speech.FormClose();
  EXPECT_EQ(Tts("Numero sintetitzador"), "<none>");
  EXPECT_EQ(Tts("velocitat"), "3");
  EXPECT_TRUE(speech.EngineNotChosen());
}

TEST_F(SpeechFrontEndTest, CloseStoresTheChoice) {
  Create(nullptr);
  Speech.ListBoxMotorsDeVeuClick(2);
  Speech.tbRateChange(-4);
  Speech.FormClose();
  EXPECT_EQ(Tts("Numero sintetitzador"), "2");
  EXPECT_EQ(Tts("velocitat"), "-4");
  EXPECT_EQ(ToWav("Tipus de sintetitzador"), "SAPI");
}

TEST_F(SpeechFrontEndTest, LateDesktopServiceDoesNotChangeTheChosenVoice) {
  struct VoiceCase {
    const char* Name;
    int ChosenWithTheService; // list index chosen while the desktop voices were listed
    int SelectedWithoutIt;    // list index the next start selects while they are missing
    const char* ClosedName;   // what the next close keeps as the voice's name
  };
  const VoiceCase cases[] = {
      {"in-process voice moves up the list", 2, 0, "SAPI - Catal\xE0 (ca)"},
      {"library voice moves up the list", 6, 4, "UPCTV - Mujer - Espa\xF1ol"},
      {"missing desktop voice is kept for the next start", 1, 1, "Desktop B"},
  };
  for (const VoiceCase& c : cases) {
    TempFolder folder;
    SettingsStore settings(folder.Path("s.ini"), folder.Path("q.ini"));
    SpeechFrontEnd first(settings, folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary,
                         DialogsFake, Clock);
    first.FormCreate();
    first.ListBoxMotorsDeVeuClick(c.ChosenWithTheService);
    first.FormClose();

    FakeVoiceEngine late; // answered after the list was made: taken as empty
    FakeVoiceEngine inProcess{{"Catal\xC3\xA0 (ca)"}};
    SpeechFrontEnd second(settings, folder.Path("parlartts.ini"), late, inProcess, Library, Dictionary,
                          DialogsFake, Clock);
    second.FormCreate();
    EXPECT_EQ(second.SelectedIndex(), c.SelectedWithoutIt) << c.Name;
    second.FormClose();
    EXPECT_EQ(settings.ReadSettingText("tts", "Nom sintetitzador", ""), c.ClosedName) << c.Name;

    // With the service on time again the first choice is back.
    SpeechFrontEnd third(settings, folder.Path("parlartts.ini"), Desktop, InProcess, Library, Dictionary,
                         DialogsFake, Clock);
    third.FormCreate();
    EXPECT_EQ(third.SelectedIndex(), c.ChosenWithTheService) << c.Name;
  }
}

TEST_F(SpeechFrontEndTest, ChoosingAnotherVoiceReplacesAKeptOne) {
  Settings.WriteSettingText("tts", "Numero sintetitzador", "0");
  Settings.WriteSettingText("tts", "Grup sintetitzador", "MSP");
  Settings.WriteSettingText("tts", "Nom sintetitzador", "Desktop Z"); // no longer installed
  Speech.FormCreate();
  Speech.ListBoxMotorsDeVeuClick(2);
  Speech.FormClose();
  EXPECT_EQ(Tts("Numero sintetitzador"), "2");
  EXPECT_EQ(Tts("Grup sintetitzador"), "SAPI");
  EXPECT_EQ(Tts("Nom sintetitzador"), "SAPI - Catal\xE0 (ca)");
}

TEST_F(SpeechFrontEndTest, UnwritableSpeechSettingsAreReportedOnce) {
  SpeechFrontEnd speech(Settings, Folder.Path("missing/folder/parlartts.ini"), Desktop, InProcess, Library,
                        Dictionary, DialogsFake, Clock);
  speech.FormCreate();
  speech.tbRateChange(1);
  speech.FormClose();
  ASSERT_EQ(DialogsFake.Messages.size(), 1u);
  EXPECT_EQ(DialogsFake.Messages[0].rfind("Unable to write to ", 0), 0u);
  EXPECT_EQ(Tts("velocitat"), "1");
}

TEST_F(SpeechFrontEndTest, DictionaryBoxSwitchesOffAndAsksForAFile) {
  Dictionary.LoadExceptionsDictionary(Folder.Write("d.txt", "sr senyor\n"));
  Create("0");
  Speech.FormShow();
  EXPECT_TRUE(Speech.CheckBoxDicExc());
  EXPECT_FALSE(Speech.CheckBoxDicExcMouseUp(false));
  EXPECT_FALSE(Dictionary.IsOn());
  EXPECT_TRUE(DialogsFake.FileQuestions.empty());
  EXPECT_FALSE(Speech.CheckBoxDicExcMouseUp(true)); // dialog cancelled
  DialogsFake.FileChoice = Folder.Path("d.txt");
  EXPECT_TRUE(Speech.CheckBoxDicExcMouseUp(true));
  EXPECT_TRUE(Dictionary.IsOn());
}

class SoundOrSpeechTest : public SpeechFrontEndTest {
protected:
  FakeSoundPlayer Player;
  SoundOrSpeech Output{Speech, Player, [](const std::string& name) { return "/boards/" + name; }};
};

TEST_F(SoundOrSpeechTest, PlaysWavIgnoresMp3AndSpeaksTheRest) {
  Create("0");
  const std::tuple<const char*, bool, const char*, const char*> cases[] = {
      {"hola.wav", false, "async:/boards/hola.wav", nullptr},
      {"Sons\\HOLA.Wav", true, "wait:/boards/Sons\\HOLA.Wav", nullptr},
      {"musica.MP3", false, nullptr, nullptr},
      {"", true, nullptr, nullptr},
      {"Bon Dia", false, nullptr, "bon dia"},
      {"L\xCDNIA\r\nDOS", true, nullptr, "l\xC3\x8Dnia dos"},
      {"wav", false, nullptr, "wav"}};
  for (const auto& [text, wait, played, spoken] : cases) {
    Player.Played.clear();
    Desktop.Spoken.clear();
    if (wait)
      Output.SpeakOrPlayAndWait(text);
    else
      Output.SpeakOrPlay(text);
    EXPECT_EQ(Player.Played, played ? Calls{played} : Calls{}) << text;
    EXPECT_EQ(Desktop.Spoken, spoken ? Calls{spoken} : Calls{}) << text;
  }
}

// Scan prompts go to the chosen voice only, after the dictionary, and never to the outside library:
// its speaking would cut what it was saying and hold the scan step until the end.
TEST_F(SpeechFrontEndTest, PromptsGoToTheChosenVoiceOnly) {
  Dictionary.LoadExceptionsDictionary(Folder.Write("d.txt", "sr senyor\n"));
  const std::tuple<const char*, Calls, Calls> cases[] = {
      {"1", Calls{"senyor Pi\xC3\xA0"}, Calls{}},
      {"2", Calls{}, Calls{"senyor Pi\xC3\xA0"}},
      {"4", Calls{}, Calls{}},
  };
  for (const auto& [engine, desktop, inProcess] : cases) {
    Desktop.Prompts.clear();
    InProcess.Prompts.clear();
    Log.Calls.clear();
    Create(engine);
    Log.Calls.clear();
    Speech.SpeakPrompt("sr Pi\xE0");
    EXPECT_EQ(Desktop.Prompts, desktop) << engine;
    EXPECT_EQ(InProcess.Prompts, inProcess) << engine;
    EXPECT_TRUE(Log.Calls.empty()) << engine;
    EXPECT_TRUE(Desktop.Spoken.empty() && InProcess.Spoken.empty()) << "a prompt is no text: " << engine;
  }
}

TEST_F(SpeechFrontEndTest, ACutReachesBothGroupsAndEitherKeepsThePromptGoing) {
  Create("2");
  Speech.CutPrompt();
  EXPECT_EQ(Desktop.Cuts, 1);
  EXPECT_EQ(InProcess.Cuts, 1);
  EXPECT_FALSE(Speech.PromptSpeaking());
  Desktop.PromptBusy = true;
  EXPECT_TRUE(Speech.PromptSpeaking());
}

TEST_F(SoundOrSpeechTest, PromptsAreSaidLikeTextsButNeverASoundFileOrBeforeTheVoicesAreReady) {
  Create("0");
  const std::tuple<const char*, const char*> cases[] = {{"Bon Dia", "bon dia"},
                                                        {"L\xCDNIA\r\nDOS", "l\xC3\x8Dnia dos"},
                                                        {"hola.WAV", nullptr},
                                                        {"so.mp3", nullptr},
                                                        {"", nullptr}};
  for (const auto& [text, said] : cases) {
    Desktop.Prompts.clear();
    Output.SpeakPrompt(text);
    EXPECT_EQ(Desktop.Prompts, said ? Calls{said} : Calls{}) << text;
    EXPECT_TRUE(Player.Played.empty()) << text;
  }
  bool ready = false;
  Output.VoicesReady = [&ready] { return ready; };
  Desktop.Prompts.clear();
  Output.SpeakPrompt("hola");
  Output.CutPrompt();
  EXPECT_TRUE(Desktop.Prompts.empty());
  EXPECT_EQ(Desktop.Cuts, 0);
  ready = true;
  Output.SpeakPrompt("hola");
  EXPECT_EQ(Desktop.Prompts, Calls{"hola"});
}

} // namespace
} // namespace nq::test
