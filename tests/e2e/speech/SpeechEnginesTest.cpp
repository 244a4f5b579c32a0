// Real audio from the real engines: a Catalan and a Spanish sentence must come out as something
// that sounds like speech (loud enough, of a plausible length), by every road the player uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "linux/DynamicLibrary.h"
#include "linux/EspeakVoices.h"
#include "linux/SpeechDispatcherVoices.h"
#include "platform/Clock.h"
#include "speech/SpeechFrontEnd.h"
#include "speech/SpeechLibrary.h"

namespace nq::test {
namespace {

constexpr double MinSpeechRms = 300.0; // of 32767; silence and hiss stay far below
constexpr const char* CatalanSentence = "Bon dia, em dic Marta i vull anar al pati.";
constexpr const char* SpanishSentence = "Buenos d\xED"
                                        "as, me llamo Marta y quiero ir al patio.";

struct Audio {
  std::vector<int16_t> Samples;
  int Rate = 0;
  double Seconds() const { return Rate ? static_cast<double>(Samples.size()) / Rate : 0.0; }
  double Rms() const {
    double sum = 0;
    for (int16_t s : Samples)
      sum += static_cast<double>(s) * s;
    return Samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(Samples.size()));
  }
};

void ExpectSpeechLike(const Audio& audio, const std::string& what) {
  EXPECT_GT(audio.Rms(), MinSpeechRms) << what;
  EXPECT_GT(audio.Seconds(), 0.5) << what;
  EXPECT_LT(audio.Seconds(), 10.0) << what;
}

// The 16-bit mono PCM of a RIFF WAVE file (espeak-ng writes a plain 44-byte header).
Audio ReadWave(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Audio audio;
  if (bytes.size() < 44 || std::string(bytes.data(), 4) != "RIFF") return audio;
  audio.Rate = static_cast<unsigned char>(bytes[24]) | static_cast<unsigned char>(bytes[25]) << 8 |
               static_cast<unsigned char>(bytes[26]) << 16;
  audio.Samples.resize((bytes.size() - 44) / 2);
  std::memcpy(audio.Samples.data(), bytes.data() + 44, audio.Samples.size() * 2);
  return audio;
}

// Waiting that really passes time, as the player's does, without an event loop.
class SleepingClock : public Clock {
public:
  uint32_t TickCount() const override { return 0; }
  std::unique_ptr<Timer> CreateTimer(int) override { return nullptr; }
  void WaitWithMessages(int32_t ms) override {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents, ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    Waited += ms;
  }
  int32_t Waited = 0;
};

std::string Utf8(const std::string& windows1252) {
  std::string out;
  for (unsigned char c : windows1252) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

TEST(BufferEspeak, ListsCatalanAndSpanishWithoutMbrola) {
  EspeakVoices voices;
  EXPECT_GE(voices.VoiceForLanguage("ca"), 0);
  EXPECT_GE(voices.VoiceForLanguage("es"), 0);
  for (const EspeakVoice& voice : voices.Voices())
    EXPECT_EQ(voice.Identifier.find("mb"), std::string::npos);
}

TEST(BufferEspeak, CatalanAndSpanishSentencesSoundLikeSpeech) {
  EspeakVoices voices;
  for (const auto& [language, sentence] :
       {std::pair{"ca", CatalanSentence}, std::pair{"es", SpanishSentence}}) {
    Audio audio{voices.SynthesizeToBuffer(Utf8(sentence), voices.VoiceForLanguage(language), 0),
                voices.SampleRate()};
    ExpectSpeechLike(audio, language);
  }
}

TEST(BufferEspeak, RateEndsStayUsable) {
  EspeakVoices voices;
  const int catalan = voices.VoiceForLanguage("ca");
  Audio slow{voices.SynthesizeToBuffer(Utf8(CatalanSentence), catalan, -10), voices.SampleRate()};
  Audio normal{voices.SynthesizeToBuffer(Utf8(CatalanSentence), catalan, 0), voices.SampleRate()};
  Audio fast{voices.SynthesizeToBuffer(Utf8(CatalanSentence), catalan, 10), voices.SampleRate()};
  EXPECT_GT(slow.Seconds(), normal.Seconds() * 1.3);
  EXPECT_LT(fast.Seconds(), normal.Seconds() * 0.7);
  ExpectSpeechLike(slow, "slow");
  EXPECT_GT(fast.Rms(), MinSpeechRms);
  EXPECT_GT(fast.Seconds(), 0.4);
}

class BufferUpctv : public ::testing::Test {
protected:
  BufferUpctv() { setenv("UPCTV_WAV_OUTPUT", Wave.c_str(), 1); }
  ~BufferUpctv() override {
    unsetenv("UPCTV_WAV_OUTPUT");
    std::filesystem::remove(Wave);
  }
  std::string Wave = std::filesystem::temp_directory_path() / ("upctv-" + std::to_string(getpid()) + ".wav");
  DynamicLibraryLoader Loader{NQ_UPCTV_DIR};
  SleepingClock Clock;
};

// The four list entries go through the same binding the player uses.
TEST_F(BufferUpctv, FourVoicesSpeakBothLanguages) {
  SpeechLibrary library(Loader, Clock);
  ASSERT_TRUE(library.LoadSpeechLibrary());
  struct Case {
    bool Male;
    const char* Language;
    const char* Sentence;
  };
  Audio previous;
  for (const Case& c : {Case{true, "catala", CatalanSentence}, Case{false, "catala", CatalanSentence},
                        Case{true, "castella", SpanishSentence}, Case{false, "castella", SpanishSentence}}) {
    if (c.Male)
      library.SelectLibraryMaleVoice(c.Language);
    else
      library.SelectLibraryFemaleVoice(c.Language);
    library.LibrarySetSpeed(100);
    library.LibrarySpeak(c.Sentence);
    EXPECT_EQ(library.LibraryStatus(), 0);
    const Audio audio = ReadWave(Wave);
    ExpectSpeechLike(audio, std::string(c.Language) + (c.Male ? " man" : " woman"));
    EXPECT_NE(audio.Samples, previous.Samples); // every entry is a voice of its own
    previous = audio;
  }
}

TEST_F(BufferUpctv, StopEndsSpeechAtOnce) {
  // Audio written into a pipe that nobody reads: the speech never ends unless it is stopped.
  const std::string pipe = Wave + ".fifo";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  setenv("UPCTV_WAV_OUTPUT", pipe.c_str(), 1);
  auto library = Loader.Load("libupctv.so");
  ASSERT_NE(library, nullptr);
  auto read = reinterpret_cast<int32_t (*)(const char*)>(library->Symbol("upcTVRead"));
  auto stop = reinterpret_cast<int32_t (*)()>(library->Symbol("upcTVStop"));
  auto status = reinterpret_cast<int32_t (*)(int32_t)>(library->Symbol("upcTVStatus"));
  ASSERT_TRUE(read && stop && status);
  ASSERT_EQ(read("bon dia"), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(status(0), 1); // still speaking into the pipe
  stop();
  EXPECT_EQ(status(0), 0); // ended by the stop itself, not by a wait
  std::filesystem::remove(pipe);
}

TEST_F(BufferUpctv, EverySlowSliderPositionHasItsOwnSpeed) {
  SpeechLibrary library(Loader, Clock);
  ASSERT_TRUE(library.LoadSpeechLibrary());
  library.SelectLibraryFemaleVoice("catala");
  double previous = 0;
  // -10 and -9 send the same speed; from there on every position must speak faster than the one before.
  for (int rate = -9; rate <= 0; ++rate) {
    library.LibrarySetSpeed(LibrarySpeedForRate(rate));
    library.LibrarySpeak(CatalanSentence);
    const double seconds = ReadWave(Wave).Seconds();
    if (rate > -9) {
      EXPECT_LT(seconds, previous * 0.97) << "rate " << rate;
    }
    previous = seconds;
  }
}

// Capture of what reaches the sound server's default sink, as raw 16-bit mono samples.
class SinkRecorder {
public:
  explicit SinkRecorder(int rate) : Rate(rate) {
    Path = std::filesystem::temp_directory_path() / ("heard-" + std::to_string(getpid()) + ".raw");
    const std::string rateText = "--rate=" + std::to_string(rate);
    Child = fork();
    if (Child == 0) {
      execlp("parec", "parec", "-d", "@DEFAULT_MONITOR@", "--format=s16le", "--channels=1", rateText.c_str(),
             "--raw", Path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  Audio Stop() {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(Child, SIGINT);
    waitpid(Child, nullptr, 0);
    std::ifstream in(Path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(Path);
    Audio audio;
    audio.Rate = Rate;
    // Keep only the loud part: the recording starts and ends with silence of its own.
    std::vector<int16_t> all(bytes.size() / 2);
    std::memcpy(all.data(), bytes.data(), all.size() * 2);
    auto loud = [](int16_t s) { return std::abs(static_cast<int>(s)) > 500; };
    auto first = std::find_if(all.begin(), all.end(), loud);
    auto last = std::find_if(all.rbegin(), all.rend(), loud).base();
    if (first < last) audio.Samples.assign(first, last);
    return audio;
  }

private:
  int Rate;
  std::string Path;
  pid_t Child = -1;
};

TEST(SoundEspeak, SpeakPlaysThroughTheSoundServer) {
  int argc = 1;
  char name[] = "speech_engines";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  EspeakVoices voices;
  ASSERT_TRUE(voices.ChooseVoice(voices.VoiceForLanguage("es")));
  SinkRecorder recorder(voices.SampleRate());
  voices.Speak(Utf8(SpanishSentence));
  EXPECT_TRUE(voices.IsSpeaking());
  SleepingClock clock;
  while (voices.IsSpeaking() && clock.Waited < 20000)
    clock.WaitWithMessages(20);
  const Audio heard = recorder.Stop();
  ExpectSpeechLike(heard, "espeak through the sink");
  // The wait must have lasted about as long as the sound itself.
  EXPECT_GT(clock.Waited, static_cast<int32_t>(heard.Seconds() * 1000 * 0.8));
}

// Texts given while there is no sound server are dropped at once (waiting for them ends), and the
// same voices are heard again as soon as a server is there, without being created anew.
TEST(SoundEspeak, TextsWithoutAServerAreDroppedAndSpeechComesBackWithIt) {
  const char* server = std::getenv("PULSE_SERVER");
  ASSERT_NE(server, nullptr) << "run inside the session script";
  const std::string realServer = server;
  EspeakVoices voices;
  ASSERT_TRUE(voices.ChooseVoice(voices.VoiceForLanguage("ca")));
  setenv("PULSE_SERVER", "unix:/nonexistent/pulse/native", 1);
  voices.Speak(Utf8(CatalanSentence));
  voices.Speak(Utf8(SpanishSentence));
  SleepingClock clock;
  while (voices.IsSpeaking() && clock.Waited < 10000)
    clock.WaitWithMessages(20);
  EXPECT_FALSE(voices.IsSpeaking()) << "texts without a server were not dropped";
  setenv("PULSE_SERVER", realServer.c_str(), 1);
  SinkRecorder recorder(voices.SampleRate());
  voices.Speak(Utf8(CatalanSentence));
  while (voices.IsSpeaking() && clock.Waited < 30000)
    clock.WaitWithMessages(20);
  ExpectSpeechLike(recorder.Stop(), "espeak once the server is back");
}

// Scan prompts through the real sound server: quieter than texts, ended at once by a cut, and never
// cutting or starting over a text.
Audio HeardWhile(EspeakVoices& voices, const std::function<void(SleepingClock&)>& run) {
  SinkRecorder recorder(voices.SampleRate());
  SleepingClock clock;
  run(clock);
  while ((voices.IsSpeaking() || voices.PromptSpeaking()) && clock.Waited < 20000)
    clock.WaitWithMessages(20);
  return recorder.Stop();
}

TEST(SoundEspeak, APromptIsQuieterThanTheSameText) {
  EspeakVoices voices;
  ASSERT_TRUE(voices.ChooseVoice(voices.VoiceForLanguage("ca")));
  const Audio text = HeardWhile(voices, [&](SleepingClock&) { voices.Speak(Utf8(CatalanSentence)); });
  const Audio prompt = HeardWhile(voices, [&](SleepingClock&) { voices.SpeakPrompt(Utf8(CatalanSentence)); });
  ExpectSpeechLike(text, "the text");
  EXPECT_GT(prompt.Seconds(), 0.5 * text.Seconds()) << "the prompt was not said whole";
  EXPECT_LT(prompt.Rms(), 0.6 * text.Rms());
}

TEST(SoundEspeak, ACutEndsThePromptAtOnce) {
  EspeakVoices voices;
  ASSERT_TRUE(voices.ChooseVoice(voices.VoiceForLanguage("ca")));
  const Audio whole = HeardWhile(voices, [&](SleepingClock&) { voices.SpeakPrompt(Utf8(CatalanSentence)); });
  const Audio cut = HeardWhile(voices, [&](SleepingClock& clock) {
    voices.SpeakPrompt(Utf8(CatalanSentence));
    clock.WaitWithMessages(500);
    EXPECT_TRUE(voices.PromptSpeaking());
    voices.CutPrompt();
    clock.WaitWithMessages(100);
    EXPECT_FALSE(voices.PromptSpeaking());
  });
  ASSERT_GT(whole.Seconds(), 2.0);
  EXPECT_LT(cut.Seconds(), 1.2) << "the cut prompt went on";
}

TEST(SoundEspeak, PromptsNeverCutATextAndWaitBehindIt) {
  EspeakVoices voices;
  ASSERT_TRUE(voices.ChooseVoice(voices.VoiceForLanguage("es")));
  const Audio alone = HeardWhile(voices, [&](SleepingClock&) { voices.Speak(Utf8(SpanishSentence)); });
  const Audio together = HeardWhile(voices, [&](SleepingClock& clock) {
    voices.Speak(Utf8(SpanishSentence));
    // Steps keep coming while the text is said: each prompt cuts the one before, never the text.
    for (int step = 0; step < 6; ++step) {
      voices.SpeakPrompt("casa");
      clock.WaitWithMessages(150);
      EXPECT_TRUE(voices.IsSpeaking()) << step;
    }
    voices.CutPrompt();
  });
  ExpectSpeechLike(alone, "the text alone");
  EXPECT_GT(together.Seconds(), 0.9 * alone.Seconds()) << "the text was cut";
  EXPECT_LT(together.Seconds(), alone.Seconds() + 0.5) << "a cut prompt was still said";
}

// The desktop speech service, where the session can start it: a prompt is heard, quieter, and prompts
// given while a text is said neither cut it nor leave later texts quieter.
TEST(SoundSpeechService, PromptsAreHeardAndLeaveTextsWhole) {
  SpeechDispatcherVoices service(std::chrono::milliseconds(10000));
  const std::vector<std::string> voices = service.ListVoices();
  if (voices.empty()) GTEST_SKIP() << "no speech service in this session";
  ASSERT_TRUE(service.ChooseVoice(0));
  SleepingClock clock;
  auto heard = [&](const std::function<void()>& run) {
    SinkRecorder recorder(16000);
    run();
    clock.WaitWithMessages(300);
    while ((service.IsSpeaking() || service.PromptSpeaking()) && clock.Waited < 60000)
      clock.WaitWithMessages(20);
    return recorder.Stop();
  };
  const Audio before = heard([&] { service.Speak(Utf8(CatalanSentence)); });
  const Audio prompt = heard([&] { service.SpeakPrompt(Utf8(CatalanSentence)); });
  const Audio during = heard([&] {
    service.Speak(Utf8(CatalanSentence));
    for (int step = 0; step < 4; ++step) {
      clock.WaitWithMessages(200);
      service.SpeakPrompt("casa");
    }
  });
  const Audio after = heard([&] { service.Speak(Utf8(CatalanSentence)); });
  ExpectSpeechLike(before, "a text from the service");
  EXPECT_GT(prompt.Seconds(), 0.5) << "the prompt was not heard";
  EXPECT_LT(prompt.Rms(), 0.6 * before.Rms()) << "the prompt was not quieter";
  EXPECT_GT(during.Seconds(), 0.9 * before.Seconds()) << "a prompt cut the text";
  EXPECT_GT(after.Rms(), 0.8 * before.Rms()) << "texts stayed quieter after a prompt";
  EXPECT_FALSE(service.PromptSpeaking());
}

TEST(SoundUpctv, LibraryPlaysThroughTheSoundServer) {
  DynamicLibraryLoader loader(NQ_UPCTV_DIR);
  SleepingClock clock;
  SpeechLibrary library(loader, clock);
  ASSERT_TRUE(library.LoadSpeechLibrary());
  library.SelectLibraryFemaleVoice("catala");
  SinkRecorder recorder(22050);
  library.LibrarySpeak(CatalanSentence);
  ExpectSpeechLike(recorder.Stop(), "upctv through the sink");
}

} // namespace
} // namespace nq::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
