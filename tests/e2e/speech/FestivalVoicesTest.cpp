// Ona, the Festival voice, for real: heard at the test sound server, never making the first words
// wait for her loading, and left out quietly where her packages are missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "linux/FestivalVoices.h"
#include "unit/speech/SpeechFakes.h"

namespace nq::test {
namespace {

using namespace std::chrono_literals;

// Loading runs once per process, so every test shares these voices; the fallback records what it got.
struct Shared {
  FakeVoiceEngine Fallback{{"espeak Catalan", "espeak Spanish"}};
  FestivalVoices Ona{&Fallback, 0};
};
Shared& Voices() {
  static Shared* shared = new Shared;
  return *shared;
}

bool WaitWhileSpeaking(VoiceEngine& voices, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (voices.IsSpeaking())
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    else
      std::this_thread::sleep_for(20ms);
  return true;
}

// Must run first: it needs the voice still loading.
TEST(BufferFestival, TheFirstWordsGoToTheFallbackWhileOnaLoads) {
  if (!FestivalVoices::VoiceInstalled(FestivalVoices::DefaultDataFolder())) GTEST_SKIP() << "no Ona";
  Shared& shared = Voices();
  ASSERT_TRUE(shared.Ona.ChooseVoice(0)); // choosing her starts the loading
  shared.Ona.SetRate(3);
  shared.Ona.Speak("hola");
  // Speak returned with the voice still loading: the words did not wait for her.
  EXPECT_FALSE(shared.Ona.Ready());
  EXPECT_EQ(shared.Fallback.Spoken, std::vector<std::string>{"hola"});
  EXPECT_EQ(shared.Fallback.Chosen, std::vector<int>{0});
  EXPECT_EQ(shared.Fallback.Rates, std::vector<int>{3});
  shared.Fallback.PollsPerText = 3;
  shared.Ona.Speak("aigua");
  EXPECT_TRUE(shared.Ona.IsSpeaking()); // waiting covers the fallback's speech too
  ASSERT_TRUE(shared.Ona.WaitUntilLoaded());
  EXPECT_TRUE(WaitWhileSpeaking(shared.Ona, 5000ms));
  // Once ready, Ona speaks herself.
  shared.Fallback.Spoken.clear();
  shared.Ona.Speak("bon dia");
  EXPECT_TRUE(WaitWhileSpeaking(shared.Ona, 10000ms));
  EXPECT_TRUE(shared.Fallback.Spoken.empty());
}

TEST(BufferFestival, AMissingVoiceIsLeftOutAndTheFallbackSpeaks) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("festival-" + std::to_string(getpid()));
  // Festival's own files without the voice, and nothing at all.
  std::filesystem::create_directories(folder / "with-init" / "languages");
  std::ofstream(folder / "with-init" / "init.scm") << "";
  std::ofstream(folder / "with-init" / "languages" / "language_catalan.scm") << "";
  for (const std::filesystem::path& data : {folder / "with-init", folder / "empty", folder / "missing"}) {
    std::filesystem::create_directories(folder / "empty");
    FakeVoiceEngine fallback{{"espeak Catalan"}};
    FestivalVoices ona(&fallback, 0, data.string());
    EXPECT_TRUE(ona.ListVoices().empty()) << data;
    EXPECT_FALSE(ona.ChooseVoice(0)) << data;
    EXPECT_FALSE(ona.WaitUntilLoaded()) << data; // nothing is loaded in the background
    ona.Speak("hola");
    EXPECT_EQ(fallback.Spoken, std::vector<std::string>{"hola"}) << data;
  }
  std::filesystem::remove_all(folder);
}

TEST(BufferFestival, RateEndsAndTheMiddleGiveTheVoiceItsSpeed) {
  EXPECT_DOUBLE_EQ(FestivalVoices::SpeedForRate(0), 1.0);
  EXPECT_LT(FestivalVoices::SpeedForRate(-10), FestivalVoices::SpeedForRate(-1));
  EXPECT_GT(FestivalVoices::SpeedForRate(10), FestivalVoices::SpeedForRate(1));
  EXPECT_EQ(FestivalVoices::SpeedForRate(-50), FestivalVoices::SpeedForRate(-10));
  EXPECT_GT(FestivalVoices::SpeedForRate(-10), 0.0);
}

// A long message bar must reach the voice in bounded pieces that keep every word, whole words where
// there are spaces, and nothing but sentences where the text is short.
TEST(BufferFestival, TextsGoInBoundedPiecesThatKeepEveryWord) {
  std::string longSentence;
  for (int i = 0; i < 60; ++i)
    longSentence += "vull anar al parc ";
  const std::string longWord(400, 'a');
  struct Case {
    std::string Text;
    std::size_t Pieces; // 0: more than one, count not checked
  };
  const Case cases[] = {
      {"Bon dia.", 1},  {"Bon dia. Com est\xE0s? Molt b\xE9!", 3},
      {"3.5 euros", 1}, // a point inside a number ends no sentence
      {"   ", 0},       {longSentence, 0},
      {longWord, 0},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> pieces = FestivalVoices::Pieces(c.Text);
    std::string joined;
    std::size_t longest = 0;
    for (const std::string& piece : pieces) {
      joined += piece;
      longest = std::max(longest, piece.size());
    }
    if (c.Text.find_first_not_of(' ') == std::string::npos) {
      EXPECT_TRUE(pieces.empty());
      continue;
    }
    EXPECT_EQ(joined, c.Text) << c.Text;
    if (c.Pieces > 0)
      EXPECT_EQ(pieces.size(), c.Pieces) << c.Text;
    else
      EXPECT_GT(pieces.size(), 2u) << c.Text.substr(0, 20);
    EXPECT_LE(longest, 200u) << c.Text.substr(0, 20);
  }
  // Cuts fall between words when there are spaces.
  for (const std::string& piece : FestivalVoices::Pieces(longSentence)) {
    std::istringstream words(piece);
    for (std::string word; words >> word;)
      EXPECT_TRUE(word == "vull" || word == "anar" || word == "al" || word == "parc") << word;
  }
}

// What the null sink plays, recorded with parec as the other sound tests do; a short record latency,
// or parec loses the end of the recording when it is stopped.
std::vector<int16_t> RecordWhile(const std::function<void()>& speak) {
  const std::string path =
      std::filesystem::temp_directory_path() / ("ona-heard-" + std::to_string(getpid()) + ".raw");
  const pid_t child = fork();
  if (child == 0) {
    execlp("parec", "parec", "-d", "@DEFAULT_MONITOR@", "--format=s16le", "--channels=1", "--rate=16000",
           "--latency-msec=20", "--raw", path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(300ms);
  speak();
  std::this_thread::sleep_for(300ms);
  kill(child, SIGINT);
  waitpid(child, nullptr, 0);
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

TEST(SoundFestival, OnaSpeaksAWordThatIsHeard) {
  if (!FestivalVoices::VoiceInstalled(FestivalVoices::DefaultDataFolder())) GTEST_SKIP() << "no Ona";
  ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr) << "run inside the session script";
  Shared& shared = Voices();
  ASSERT_TRUE(shared.Ona.WaitUntilLoaded());
  shared.Fallback.Spoken.clear();
  // "Gràcies": a letter outside ASCII must reach the voice in its own encoding and be spoken.
  const std::vector<int16_t> heard = RecordWhile([&] {
    shared.Ona.Speak("Gr\xC3\xA0"
                     "cies, mare.");
    EXPECT_TRUE(shared.Ona.IsSpeaking());
    EXPECT_TRUE(WaitWhileSpeaking(shared.Ona, 10000ms));
  });
  EXPECT_TRUE(shared.Fallback.Spoken.empty());
  auto loud = [](int16_t s) { return std::abs(static_cast<int>(s)) > 500; };
  const auto first = std::find_if(heard.begin(), heard.end(), loud);
  const auto last = std::find_if(heard.rbegin(), heard.rend(), loud).base();
  ASSERT_LT(first, last) << "nothing was heard";
  const double seconds = static_cast<double>(last - first) / 16000.0;
  double sum = 0;
  for (auto it = first; it != last; ++it)
    sum += static_cast<double>(*it) * *it;
  EXPECT_GT(std::sqrt(sum / static_cast<double>(last - first)), 300.0);
  EXPECT_GT(seconds, 0.4);
  EXPECT_LT(seconds, 5.0);
}

// The loud stretch of a recording, in seconds.
double LoudSeconds(const std::vector<int16_t>& heard) {
  auto loud = [](int16_t s) { return std::abs(static_cast<int>(s)) > 500; };
  const auto first = std::find_if(heard.begin(), heard.end(), loud);
  const auto last = std::find_if(heard.rbegin(), heard.rend(), loud).base();
  return first < last ? static_cast<double>(last - first) / 16000.0 : 0.0;
}

bool WaitWhilePrompting(VoiceEngine& voices, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (voices.PromptSpeaking() || voices.IsSpeaking())
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    else
      std::this_thread::sleep_for(20ms);
  return true;
}

TEST(SoundFestival, OnasPromptEndsAtACutAndNeverCutsAText) {
  if (!FestivalVoices::VoiceInstalled(FestivalVoices::DefaultDataFolder())) GTEST_SKIP() << "no Ona";
  Shared& shared = Voices();
  ASSERT_TRUE(shared.Ona.WaitUntilLoaded());
  const std::string sentence = "Bon dia, em dic Marta i vull anar al pati amb la meva mare.";
  const double whole = LoudSeconds(RecordWhile([&] {
    shared.Ona.SpeakPrompt(sentence);
    EXPECT_TRUE(WaitWhilePrompting(shared.Ona, 15000ms));
  }));
  const double cut = LoudSeconds(RecordWhile([&] {
    shared.Ona.SpeakPrompt(sentence);
    std::this_thread::sleep_for(1200ms);
    shared.Ona.CutPrompt();
    EXPECT_TRUE(WaitWhilePrompting(shared.Ona, 1000ms)) << "the cut prompt went on";
  }));
  const double text = LoudSeconds(RecordWhile([&] {
    shared.Ona.Speak(sentence);
    for (int step = 0; step < 5; ++step) {
      shared.Ona.SpeakPrompt("casa");
      std::this_thread::sleep_for(150ms);
    }
    shared.Ona.CutPrompt();
    EXPECT_TRUE(WaitWhilePrompting(shared.Ona, 15000ms));
  }));
  EXPECT_TRUE(shared.Fallback.Prompts.empty());
  ASSERT_GT(whole, 2.0);
  EXPECT_LT(cut, whole - 0.5);
  EXPECT_GT(text, 0.9 * whole) << "the text was cut";
}

} // namespace
} // namespace nq::test
