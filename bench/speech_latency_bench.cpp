// How soon a short Catalan phrase is heard: from EspeakVoices::Speak to the first samples written to
// the sound server, and to the first loud sample recorded from the null sink's monitor; also what the
// voice groups cost when the speech window lists them at start-up. Each repetition is one spoken
// phrase, so the medians below are medians over phrases. Run inside tests/e2e/session.sh (it sets
// PULSE_SERVER and the sink "spk"); bench/speech_latency_bench.sh does that.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>

#include "linux/EspeakVoices.h"
#include "linux/SpeechDispatcherVoices.h"

namespace nq {
namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string Phrase = "Bon dia, com est\xC3\xA0s?"; // UTF-8, as the front end hands it over
constexpr int MonitorRate = 22050;
// A sample louder than this (of 32767) on the monitor counts as heard; the null sink is silent
// otherwise, so anything well above rounding noise is the voice.
constexpr int LoudSample = 300;

QCoreApplication& Application() {
  static int argc = 1;
  static char name[] = "bench_speech_latency";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// One voice group for the whole run, as in the player, and deliberately never destroyed: destroying
// one whose sound stream is open crashed inside Qt's PulseAudio thread (QPlatformAudioSink::stateChanged
// after the sink was gone), and destroying it from an exit handler crashed in ~QAudioSink.
EspeakVoices& SharedVoices() {
  Application();
  static EspeakVoices* voices = new EspeakVoices;
  return *voices;
}

double Seconds(SteadyClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Runs the UI event loop until done() or the deadline.
template <typename Done> bool RunEventsUntil(Done done, SteadyClock::duration limit) {
  const auto deadline = SteadyClock::now() + limit;
  while (!done()) {
    if (SteadyClock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    std::this_thread::sleep_for(200us);
  }
  return true;
}

// Records the null sink's monitor with parec on a thread and notes when the first loud sample after
// Arm() arrived. A sample's moment is the read's moment less the samples read after it, so the
// figure still includes parec's own record latency (asked to be 2 ms).
class MonitorRecorder {
public:
  bool Start() {
    const std::string command =
        "exec parec -d spk.monitor --raw --format=s16le --channels=1 --rate=" + std::to_string(MonitorRate) +
        " --latency-msec=2 2>/dev/null";
    Pipe = popen(command.c_str(), "r");
    if (!Pipe) return false;
    Reader = std::thread([this] { Read(); });
    // Wait for the stream to deliver, so the first phrase is not measured against its start-up.
    return WaitFor([this] { return SamplesRead.load() > MonitorRate / 10; }, 3s);
  }
  ~MonitorRecorder() {
    Stop = true;
    if (Pipe) pclose(Pipe); // parec ends on the closed pipe; the reader then sees the end
    if (Reader.joinable()) Reader.join();
  }

  void Arm() {
    Heard = false;
    Armed = true;
  }
  bool HeardYet() const { return Heard.load(); }
  SteadyClock::time_point HeardAt() const {
    return SteadyClock::time_point(SteadyClock::duration(HeardTicks.load()));
  }
  /// True once the monitor has been silent for the given time (the previous phrase has left the sink).
  bool SilentFor(SteadyClock::duration quiet) const {
    return SteadyClock::now() - SteadyClock::time_point(SteadyClock::duration(LastLoudTicks.load())) > quiet;
  }

  template <typename Done> static bool WaitFor(Done done, SteadyClock::duration limit) {
    const auto deadline = SteadyClock::now() + limit;
    while (!done())
      if (SteadyClock::now() > deadline)
        return false;
      else
        std::this_thread::sleep_for(1ms);
    return true;
  }

private:
  void Read() {
    const int fd = fileno(Pipe);
    int16_t buffer[256];
    while (!Stop) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got <= 0) return;
      const auto now = SteadyClock::now();
      const int count = static_cast<int>(got / 2);
      SamplesRead += count;
      for (int i = 0; i < count; ++i) {
        if (std::abs(buffer[i]) < LoudSample) continue;
        const auto at = now - std::chrono::microseconds((count - 1 - i) * 1000000LL / MonitorRate);
        LastLoudTicks = now.time_since_epoch().count();
        if (Armed.exchange(false)) {
          HeardTicks = at.time_since_epoch().count();
          Heard = true;
        }
      }
    }
  }

  FILE* Pipe = nullptr;
  std::thread Reader;
  std::atomic<bool> Stop{false};
  std::atomic<bool> Armed{false};
  std::atomic<bool> Heard{false};
  std::atomic<long long> SamplesRead{0};
  std::atomic<SteadyClock::rep> HeardTicks{0};
  std::atomic<SteadyClock::rep> LastLoudTicks{0};
};

// Waits until the previous phrase has been played out of the sink.
bool WaitUntilQuiet(EspeakVoices& voices) {
  return RunEventsUntil([&] { return !voices.IsSpeaking(); }, 10s);
}

void BM_SpeakToFirstSampleWritten(benchmark::State& state) {
  EspeakVoices& voices = SharedVoices();
  if (voices.VoiceForLanguage("ca") < 0) {
    state.SkipWithError("no Catalan espeak-ng voice");
    return;
  }
  // Shared with the hook, which may outlive this repetition if a write was still pending.
  // The hook runs on the synthesis thread: the moment is stored before the flag that publishes it.
  struct Written {
    std::atomic<bool> Done{false};
    SteadyClock::time_point At;
  };
  auto mark = std::make_shared<Written>();
  voices.FirstSampleWritten = [mark] {
    mark->At = SteadyClock::now();
    mark->Done = true;
  };
  std::atomic<bool>& written = mark->Done;
  SteadyClock::time_point& writtenAt = mark->At;
  voices.Speak(Phrase); // opens the sound server stream once, as the first phrase of a run does
  WaitUntilQuiet(voices);
  for (auto _ : state) {
    written = false;
    const auto start = SteadyClock::now();
    voices.Speak(Phrase);
    if (!RunEventsUntil([&] { return written.load(); }, 5s)) {
      state.SkipWithError("no samples reached the sound server");
      return;
    }
    state.SetIterationTime(Seconds(writtenAt - start));
    state.PauseTiming();
    WaitUntilQuiet(voices);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SpeakToFirstSampleWritten)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void BM_SpeakToHeardOnMonitor(benchmark::State& state) {
  if (!std::getenv("PULSE_SERVER")) {
    state.SkipWithError("PULSE_SERVER is not set: run inside tests/e2e/session.sh");
    return;
  }
  MonitorRecorder monitor;
  if (!monitor.Start()) {
    state.SkipWithError("parec could not record spk.monitor");
    return;
  }
  EspeakVoices& voices = SharedVoices();
  voices.FirstSampleWritten = nullptr;
  voices.Speak(Phrase);
  WaitUntilQuiet(voices);
  for (auto _ : state) {
    state.PauseTiming();
    WaitUntilQuiet(voices);
    RunEventsUntil([&] { return monitor.SilentFor(300ms); }, 5s);
    state.ResumeTiming();
    monitor.Arm();
    const auto start = SteadyClock::now();
    voices.Speak(Phrase);
    if (!RunEventsUntil([&] { return monitor.HeardYet(); }, 5s)) {
      state.SkipWithError("nothing was heard on spk.monitor");
      return;
    }
    state.SetIterationTime(Seconds(monitor.HeardAt() - start));
  }
}
BENCHMARK(BM_SpeakToHeardOnMonitor)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The whole phrase synthesised on the worker (what the first written samples wait for at most).
void BM_SynthesizeWholePhrase(benchmark::State& state) {
  EspeakVoices& voices = SharedVoices();
  const int catalan = voices.VoiceForLanguage("ca");
  std::size_t samples = 0;
  for (auto _ : state)
    samples = voices.SynthesizeToBuffer(Phrase, catalan, 0).size();
  state.counters["audio_ms"] = static_cast<double>(samples) * 1000 / voices.SampleRate();
}
BENCHMARK(BM_SynthesizeWholePhrase)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The in-process group as the speech window's engine list builds it: construction reads the voice
// files, then ListVoices. The first construction of a process also initialises the library; it is
// reported as the counter first_ms and left out of the repetitions.
void BM_EspeakVoicesList(benchmark::State& state) {
  Application();
  static const double firstMs = [] {
    const auto start = SteadyClock::now();
    EspeakVoices voices;
    benchmark::DoNotOptimize(voices.ListVoices());
    return Seconds(SteadyClock::now() - start) * 1000;
  }();
  std::size_t count = 0;
  for (auto _ : state) {
    EspeakVoices voices;
    count = voices.ListVoices().size();
  }
  state.counters["first_ms"] = firstMs;
  state.counters["voices"] = static_cast<double>(count);
}
BENCHMARK(BM_EspeakVoicesList)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The desktop group: connecting to speech-dispatcher (started on demand by its library when it is not
// running) and listing its voices. The player does this on a worker thread.
void BM_SpeechDispatcherList(benchmark::State& state) {
  std::size_t count = 0;
  for (auto _ : state) {
    SpeechDispatcherVoices voices;
    count = voices.ListVoices().size();
  }
  state.counters["voices"] = static_cast<double>(count);
}
BENCHMARK(BM_SpeechDispatcherList)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace nq
