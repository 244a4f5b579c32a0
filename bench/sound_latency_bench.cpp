// A sound switch end to end below the window: a loud block written into the sound server's pipe
// source, through the real PulseAudio capture and the single-channel detector, to ClickAction; and
// the processor time the program spends listening to a quiet room. Needs the private session of
// tests/e2e/session.sh (run bench/sound_latency_bench.sh).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "actions/SoundInput.h"
#include "linux/PulseAudioCapture.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

class NoDialogs final : public nq::Dialogs {
public:
  void ShowMessage(const std::string&, nq::MessageIcon, const std::string&) override {}
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

class TimedTarget final : public nq::SoundClickTarget {
public:
  bool SingleChannelItemChecked() const override { return true; }
  bool StereoItemChecked() const override { return false; }
  bool DirectedScanningChecked() const override { return false; }
  void ClickAction() override {
    Clicked = SteadyClock::now();
    ++Clicks;
    if (Waiting != nullptr) Waiting->quit();
  }
  void ScanStep() override {}
  SteadyClock::time_point Clicked;
  int Clicks = 0;
  QEventLoop* Waiting = nullptr;
};

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "bench_sound_latency";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// Writes a quiet room into the pipe in real time; a loud block when asked, noting when it ended.
class Microphone {
public:
  explicit Microphone(const char* fifo) : Fd(open(fifo, O_WRONLY)) {
    Thread = std::thread([this] { Run(); });
  }
  ~Microphone() {
    Stop = true;
    Thread.join();
    if (Fd >= 0) close(Fd);
  }
  bool Ok() const { return Fd >= 0; }
  void Clap() { ClapWanted = true; }
  SteadyClock::time_point ClapEnd() {
    std::lock_guard lock(Mutex);
    return LastClapEnd;
  }
  bool ClapWritten() const { return !ClapWanted; }
  double CpuSeconds() const { return WriterCpu; }

private:
  void Run() {
    std::vector<uint8_t> quiet(512, 128);
    std::vector<uint8_t> loud(512, 255);
    for (size_t i = 0; i < quiet.size(); ++i)
      quiet[i] = static_cast<uint8_t>(126 + i % 5);
    auto next = SteadyClock::now();
    while (!Stop) {
      const bool clap = ClapWanted;
      const std::vector<uint8_t>& block = clap ? loud : quiet;
      if (clap) {
        // Noted before the write: once written, the block can reach the click before this thread runs
        // again. The whole block lands at once, so its end is this moment.
        std::lock_guard lock(Mutex);
        LastClapEnd = SteadyClock::now();
      }
      if (write(Fd, block.data(), block.size()) < 0) break;
      if (clap) ClapWanted = false;
      next += std::chrono::microseconds(512 * 1000000 / 11025);
      std::this_thread::sleep_until(next);
    }
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    WriterCpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }

  int Fd;
  std::thread Thread;
  std::atomic<bool> Stop = false;
  std::atomic<bool> ClapWanted = false;
  std::mutex Mutex;
  SteadyClock::time_point LastClapEnd;
  std::atomic<double> WriterCpu = 0;
};

// Runs the event loop, sleeping while there is nothing to do, for the span or until quit.
void Pump(std::chrono::milliseconds span, QEventLoop* loop = nullptr) {
  QEventLoop own;
  QEventLoop& running = loop != nullptr ? *loop : own;
  QTimer::singleShot(span, &running, &QEventLoop::quit);
  running.exec();
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void LoudBlockToClickAction(benchmark::State& state) {
  App();
  const char* fifo = std::getenv("NQ_MIC_FIFO");
  if (fifo == nullptr) {
    state.SkipWithError("run inside tests/e2e/session.sh");
    return;
  }
  Microphone mic(fifo);
  nq::PulseAudioCapture mono("bench");
  nq::PulseAudioCapture stereo("bench stereo");
  NoDialogs dialogs;
  TimedTarget target;
  nq::SoundInput input(mono, stereo, dialogs, target);
  if (!mic.Ok()) {
    state.SkipWithError("the pipe source cannot be written");
    return;
  }
  if (const int32_t error = input.OpenSingleChannelDetector(); error != 0) {
    state.SkipWithError(("no microphone: error " + std::to_string(error)).c_str());
    return;
  }
  Pump(std::chrono::milliseconds(300));
  std::vector<double> latencies;
  for (auto _ : state) {
    const int before = target.Clicks;
    QEventLoop loop;
    target.Waiting = &loop;
    mic.Clap();
    Pump(std::chrono::seconds(1), &loop);
    target.Waiting = nullptr;
    if (target.Clicks == before) {
      state.SkipWithError("a loud block gave no click");
      return;
    }
    if (target.Clicks == before) {
      state.SkipWithError("a loud block gave no click");
      return;
    }
    const double ms = std::chrono::duration<double, std::milli>(target.Clicked - mic.ClapEnd()).count();
    state.SetIterationTime(ms / 1000);
    latencies.push_back(ms);
    Pump(std::chrono::milliseconds(150)); // quiet blocks clear the latch
  }
  std::sort(latencies.begin(), latencies.end());
  state.counters["median_ms"] = latencies[latencies.size() / 2];
  state.counters["max_ms"] = latencies.back();
}
BENCHMARK(LoudBlockToClickAction)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

void CpuWhileListening(benchmark::State& state) {
  App();
  const char* fifo = std::getenv("NQ_MIC_FIFO");
  if (fifo == nullptr) {
    state.SkipWithError("run inside tests/e2e/session.sh");
    return;
  }
  std::vector<double> shares;
  for (auto _ : state) {
    double cpu = 0;
    double wall = 0;
    {
      Microphone mic(fifo);
      nq::PulseAudioCapture mono("bench");
      nq::PulseAudioCapture stereo("bench stereo");
      NoDialogs dialogs;
      TimedTarget target;
      nq::SoundInput input(mono, stereo, dialogs, target);
      if (!mic.Ok() || input.OpenSingleChannelDetector() != 0) {
        state.SkipWithError("no microphone");
        return;
      }
      Pump(std::chrono::milliseconds(300));
      const double cpuStart = ProcessCpuSeconds();
      const auto start = SteadyClock::now();
      Pump(std::chrono::seconds(5));
      cpu = ProcessCpuSeconds() - cpuStart;
      wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
      input.CloseSingleChannelDetector();
    }
    // The writer thread stands in for the microphone; its share is small and counted against us.
    shares.push_back(100.0 * cpu / wall);
  }
  std::sort(shares.begin(), shares.end());
  state.counters["median_cpu_percent"] = shares[shares.size() / 2];
}
BENCHMARK(CpuWhileListening)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace
