// Opening whole boards with the real player: a 21 x 21 board of 500 x 500 PNGs with an empty picture
// cache (one and two decoding threads), the same board opened again after another board, a board of
// 1600 x 1200 photos and one of 4000 x 3000 photos. Every timing runs until each cell's shrunk picture
// is made. The real Qt scaler and text metrics run on the offscreen platform.
//
// The files are written once into NQ_BENCH_DIR (default: a fixed folder under the temporary folder)
// and reused by later runs, so a run that measures peak memory (peak_rss_MB, read from VmHWM) sees
// only the player's own memory; bench/measure_memory.sh runs each case in a process of its own.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "linux/QtImageScaler.h"
#include "linux/QtTextMetrics.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "shell/Player.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"
#include "ui/HeadlessWindow.h"

namespace nq {
namespace {

constexpr int Side = 21;
constexpr int CellCount = Side * Side;
constexpr int ClientWidth = 1600;
constexpr int ClientHeight = 1000;

// A board file of columns x rows cells, each with a caption and the picture named by pictureName(k).
template <typename Name> void WriteBoard(const std::string& path, int columns, int rows, Name pictureName) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\nVersion=3\r\n[Grid]\r\nColumns=" << columns
      << "\r\nRows=" << rows << "\r\n[Menu Options 2]\r\nShow Button Bar=1\r\nShow Message Bar=1\r\n";
  for (int k = 1; k <= columns * rows; ++k)
    out << "[Cell " << k << "]\r\nCaption=casella " << k << "\r\nRead=casella " << k
        << "\r\nPicture=imatges\\" << pictureName(k) << "\r\n";
}

std::string BenchFolder() {
  if (const char* chosen = std::getenv("NQ_BENCH_DIR"); chosen != nullptr && *chosen != '\0') return chosen;
  return (std::filesystem::temp_directory_path() / "nq-open-board-bench-v1").string();
}

// Writes `count` names sharing a few encoded variants (hard links where the file system has them):
// every name has its own key in the picture cache, so each is read and decoded on its own.
void WritePictures(const std::string& folder, const std::string& prefix, const std::string& extension,
                   int count, const std::vector<std::vector<uint8_t>>& variants) {
  const std::string base = folder + "/imatges/" + prefix;
  for (std::size_t v = 0; v < variants.size(); ++v)
    test::WriteBytes(base + "-variant" + std::to_string(v) + extension, variants[v]);
  for (int k = 1; k <= count; ++k) {
    const std::string variant = base + "-variant" + std::to_string(k % variants.size()) + extension;
    const std::string name = base + std::to_string(k) + extension;
    std::error_code error;
    std::filesystem::remove(name, error);
    std::filesystem::create_hard_link(variant, name, error);
    if (error) std::filesystem::copy_file(variant, name, error);
  }
}

struct BoardFiles {
  std::string Png;   // 21 x 21, 500 x 500 PNG pictures
  std::string Home;  // 4 x 4, other pictures: the board visited in between
  std::string Jpeg;  // 21 x 21, 1600 x 1200 JPEG photos
  std::string Large; // 21 x 21, 4000 x 3000 JPEG photos
};

const BoardFiles& Files() {
  static const BoardFiles files = [] {
    const std::string folder = BenchFolder();
    const std::string stamp = folder + "/complete";
    BoardFiles made{folder + "/png.qdx", folder + "/home.qdx", folder + "/jpeg.qdx", folder + "/large.qdx"};
    if (std::filesystem::exists(stamp)) return made;
    std::filesystem::create_directories(folder + "/imatges");
    constexpr int Variants = 8;
    std::vector<std::vector<uint8_t>> pngs, homes, jpegs, large;
    for (int v = 0; v < Variants; ++v) {
      pngs.push_back(test::EncodePng(test::PatternImage(500, 500, v), true));
      homes.push_back(test::EncodePng(test::PatternImage(400, 300, v + 20), true));
      jpegs.push_back(test::EncodeJpeg(test::PatternImage(1600, 1200, v), {85, false, false}));
    }
    for (int v = 0; v < 2; ++v)
      large.push_back(test::EncodeJpeg(test::PatternImage(4000, 3000, v), {85, false, false}));
    WritePictures(folder, "p", ".png", CellCount, pngs);
    WritePictures(folder, "h", ".png", 16, homes);
    WritePictures(folder, "j", ".jpg", CellCount, jpegs);
    WritePictures(folder, "l", ".jpg", CellCount, large);
    WriteBoard(made.Png, Side, Side, [](int k) { return "p" + std::to_string(k) + ".png"; });
    WriteBoard(made.Home, 4, 4, [](int k) { return "h" + std::to_string(k) + ".png"; });
    WriteBoard(made.Jpeg, Side, Side, [](int k) { return "j" + std::to_string(k) + ".jpg"; });
    WriteBoard(made.Large, Side, Side, [](int k) { return "l" + std::to_string(k) + ".jpg"; });
    std::ofstream(stamp) << "ok\n";
    return made;
  }();
  return files;
}

class IdleTimer final : public Timer {
public:
  void SetInterval(int milliseconds) override { Period = milliseconds; }
  int Interval() const override { return Period; }
  void SetEnabled(bool enabled) override { On = enabled; }
  bool Enabled() const override { return On; }
  void SetHandler(std::function<void()>) override {}

private:
  int Period = 0;
  bool On = false;
};

class IdleClock final : public Clock {
public:
  uint32_t TickCount() const override { return 0; }
  std::unique_ptr<Timer> CreateTimer(int intervalMs) override {
    auto timer = std::make_unique<IdleTimer>();
    timer->SetInterval(intervalMs);
    return timer;
  }
  void WaitWithMessages(int32_t) override {}
};

class SilentDialogs final : public Dialogs {
public:
  // A message box means the board did not open as meant: say so, the timings would be wrong.
  void ShowMessage(const std::string& text, MessageIcon, const std::string&) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  }
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

class NoLauncher final : public Launcher {
public:
  bool StartProgram(const std::string&, const std::vector<std::string>&) override { return false; }
  bool OpenDocument(const std::string&) override { return false; }
};

QGuiApplication& Application() {
  static int argc = 1;
  static char name[] = "bench_open_board";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication application(argc, argv);
  return application;
}

// A real player on a window of fixed size, with its settings in a folder of its own.
class BenchPlayer {
public:
  BenchPlayer()
      : Window(ClientWidth, ClientHeight),
        ThePlayer({TheClock, Messages, Metrics, Scaler, Window, Programs},
                  {Folder.Root() + "/", Folder.Root() + "/", Folder.Path("nexoquadrix.ini"),
                   Folder.Path("Quadrix.ini"), false}) {
    ThePlayer.FormCreate();
    ThePlayer.Start({});
    ThePlayer.ClientResized(ClientWidth, ClientHeight);
  }
  Player& operator*() { return ThePlayer; }

  // True when every cell of a full board shows its shrunk picture.
  bool AllShrunk() {
    int shrunk = 0;
    for (int k = 1; k <= CellCount; ++k)
      shrunk += ThePlayer.Boxes().GridBox(k)->PaintedImage() != nullptr;
    return shrunk == CellCount;
  }

private:
  test::TempFolder Folder;
  IdleClock TheClock;
  SilentDialogs Messages;
  QtTextMetrics Metrics;
  QtImageScaler Scaler;
  HeadlessWindow Window;
  NoLauncher Programs;
  Player ThePlayer;
};

void ReportPeakMemory(benchmark::State& state) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) state.counters["peak_rss_MB"] = std::stod(line.substr(6)) / 1024.0;
  }
}

// Opens the board with an empty picture cache each time; range(0) is the number of decoding threads.
void OpenCold(benchmark::State& state, const std::string& board) {
  Application();
  BenchPlayer player;
  (*player).Boards().PictureWorkers = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    (*player).Boards().OpenBoard(Files().Home);
    (*player).Pictures().Clear();
    state.ResumeTiming();
    (*player).Boards().OpenBoard(board);
  }
  if (!player.AllShrunk()) state.SkipWithError("a cell has no shrunk picture");
  ReportPeakMemory(state);
}

void BM_OpenPngBoardCold(benchmark::State& state) {
  OpenCold(state, Files().Png);
}
BENCHMARK(BM_OpenPngBoardCold)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenJpegBoardCold(benchmark::State& state) {
  OpenCold(state, Files().Jpeg);
}
BENCHMARK(BM_OpenJpegBoardCold)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenLargeJpegBoardCold(benchmark::State& state) {
  OpenCold(state, Files().Large);
}
BENCHMARK(BM_OpenLargeJpegBoardCold)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// Home and back through links: the board was open a moment ago, so its pictures and copies are kept.
void BM_ReopenPngBoard(benchmark::State& state) {
  Application();
  BenchPlayer player;
  (*player).Boards().OpenBoard(Files().Png);
  for (auto _ : state) {
    state.PauseTiming();
    (*player).Boards().OpenBoard(Files().Home);
    state.ResumeTiming();
    (*player).Boards().OpenBoard(Files().Png);
  }
  if (!player.AllShrunk()) state.SkipWithError("a cell has no shrunk picture");
  // Over the whole run: each board's pictures decoded and scaled once, never again on re-opening.
  state.counters["decodes"] = static_cast<double>((*player).Pictures().Counters().PictureLoads);
  state.counters["scalings"] = static_cast<double>((*player).Pictures().Counters().ScaledMisses);
  ReportPeakMemory(state);
}
BENCHMARK(BM_ReopenPngBoard)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace nq
