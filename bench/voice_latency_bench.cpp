// How soon a chosen voice starts: from choosing it and giving it a short word to the first samples
// written to the sound server, for Ona (Festival, in process) and for the espeak-ng Catalan voice,
// each over 50 different short words; and how much memory loading Ona adds to the process. Run
// inside tests/e2e/session.sh (bench/voice_latency_bench.sh does that).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "linux/EspeakVoices.h"
#ifdef NQ_FESTIVAL
#include "linux/FestivalVoices.h"
#endif

namespace nq {
namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Short words a board speaks, in UTF-8 as the front end hands them over.
const char* const Words[] = {
    "hola",
    "aigua",
    "menjar",
    "mare",
    "pare",
    "casa",
    "pati",
    "sí",
    "no",
    "gr\xC3\xA0"
    "cies",
    "vull",
    "anar",
    "parc",
    "dormir",
    "jugar",
    "llet",
    "pa",
    "poma",
    "cotxe",
    "escola",
    "mal",
    "b\xC3\xA9",
    "fred",
    "calor",
    "gana",
    "son",
    "lavabo",
    "ajuda",
    "prou",
    "m\xC3\xA9s",
    "ara",
    "dem\xC3\xA0",
    "avui",
    "tele",
    "m\xC3\xBAsica",
    "gos",
    "gat",
    "amic",
    "mestra",
    "llibre",
    "pilota",
    "dibuix",
    "cantar",
    "banyera",
    "sopar",
    "dinar",
    "esmorzar",
    "ad\xC3\xA9u",
    "bon dia",
    "bona nit",
};
constexpr int WordCount = static_cast<int>(sizeof Words / sizeof Words[0]);

double Seconds(SteadyClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

struct Mark {
  std::atomic<bool> Done{false};
  SteadyClock::time_point At;
};

template <typename Done> bool WaitFor(Done done, SteadyClock::duration limit) {
  const auto deadline = SteadyClock::now() + limit;
  while (!done()) {
    if (SteadyClock::now() > deadline) return false;
    std::this_thread::sleep_for(200us);
  }
  return true;
}

// One measured word per repetition: choose, speak, wait for the first written sample, then let the
// word play out so the next one starts from silence.
template <typename Voices> void MeasureWords(benchmark::State& state, Voices& voices, int index) {
  auto mark = std::make_shared<Mark>();
  voices.FirstSampleWritten = [mark] {
    mark->At = SteadyClock::now();
    mark->Done = true;
  };
  static int next = 0;
  for (auto _ : state) {
    mark->Done = false;
    const auto start = SteadyClock::now();
    voices.ChooseVoice(index);
    voices.Speak(Words[next++ % WordCount]);
    if (!WaitFor([&] { return mark->Done.load(); }, 5s)) {
      state.SkipWithError("no samples reached the sound server");
      return;
    }
    state.SetIterationTime(Seconds(mark->At - start));
    WaitFor([&] { return !voices.IsSpeaking(); }, 10s);
  }
}

EspeakVoices& Espeak() {
  static EspeakVoices* voices = new EspeakVoices; // kept for the run, as the player keeps it
  return *voices;
}

void BM_EspeakSelectionToFirstSample(benchmark::State& state) {
  EspeakVoices& voices = Espeak();
  const int catalan = voices.VoiceForLanguage("ca");
  if (catalan < 0) {
    state.SkipWithError("no Catalan espeak-ng voice");
    return;
  }
  MeasureWords(state, voices, catalan);
}
BENCHMARK(BM_EspeakSelectionToFirstSample)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(50)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

#ifdef NQ_FESTIVAL
void BM_OnaSelectionToFirstSample(benchmark::State& state) {
  static long before = ResidentKiB();
  static FestivalVoices* voices = new FestivalVoices;
  static double loadMs = [] {
    const auto start = SteadyClock::now();
    voices->WaitUntilLoaded();
    return Seconds(SteadyClock::now() - start) * 1000;
  }();
  static long after = ResidentKiB();
  if (!voices->Ready()) {
    state.SkipWithError("Ona is not installed or did not load");
    return;
  }
  MeasureWords(state, *voices, 0);
  state.counters["load_ms"] = loadMs;
  state.counters["added_MiB"] = static_cast<double>(after - before) / 1024.0;
}
BENCHMARK(BM_OnaSelectionToFirstSample)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(50)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
#endif

} // namespace
} // namespace nq
