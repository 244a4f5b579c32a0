// The dwell progress bar as the player paints it, on a 5 x 4 board of pictures in a 1280 x 800 window
// (the offscreen platform, real Qt painter, scaler and text metrics): one frame while the bar grows
// (the core's frame tick and the repaint of the new strip), one frame after the pointer moved to
// another cell (both bars' areas painted again over the pictures), and how many frames a second the
// bar asks for. The processor time of the real program while dwelling is measured by
// bench/dwell_idle_bench.sh.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "linux/QtImageScaler.h"
#include "linux/QtTextMetrics.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "shell/Player.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "text/Encoding.h"
#include "ui/BoardView.h"
#include "ui/HeadlessWindow.h"

namespace nq {
namespace {

constexpr int ClientWidth = 1280;
constexpr int ClientHeight = 800;
constexpr int Columns = 5;
constexpr int Rows = 4;

class SilentDialogs final : public Dialogs {
public:
  void ShowMessage(const std::string&, MessageIcon, const std::string&) override {}
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

QApplication& Application() {
  static int argc = 1;
  static char name[] = "bench_dwell_progress";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication application(argc, argv);
  return application;
}

// A player dwelling on a board of pictures, its view painted into an image like the screen.
class DwellBoard {
public:
  DwellBoard()
      : Window(ClientWidth, ClientHeight),
        ThePlayer({Clock, Messages, Metrics, Scaler, Window, Programs},
                  {Folder.Root() + "/", Folder.Root() + "/", Folder.Path("nexoquadrix.ini"),
                   Folder.Path("Quadrix.ini"), false}),
        View(ThePlayer, ""), Screen(ClientWidth, ClientHeight, QImage::Format_RGB32) {
    QImage picture(400, 400, QImage::Format_RGB32);
    picture.fill(QColor(40, 120, 200));
    picture.save(QString::fromStdString(Folder.Path("dibuix.png")));
    std::ofstream board(Folder.Path("taula.qdx"), std::ios::binary);
    board << "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=" << Columns
          << "\r\nRows=" << Rows << "\r\n";
    for (int k = 1; k <= Columns * Rows; ++k)
      board << "[Cell " << k << "]\r\nCaption=Casella " << k << "\r\nPicture=dibuix.png\r\nFont Size=14\r\n";
    board.close();
    ThePlayer.FormCreate();
    ThePlayer.Options().LoadProgramSettings();
    ThePlayer.ClientResized(ClientWidth, ClientHeight);
    ThePlayer.Boards().OpenBoard(Utf8ToWindows1252(Folder.Path("taula.qdx")));
    ThePlayer.MenuClick(std::string(DwellProgressItemName));
    ThePlayer.MenuClick("MenuClicAutomaticALEstarEnUnacasella");
    View.resize(ClientWidth, ClientHeight);
    View.RefreshIfChanged();
    View.render(&Screen);
    PointAt(7);
  }

  void PointAt(int32_t cell) {
    const TBox& box = *ThePlayer.Boxes().GridBox(cell);
    const GridRect& grid = ThePlayer.Layout().Panels().Boxes;
    Window.PointerX = grid.Left + box.Left + box.Width / 2;
    Window.PointerY = grid.Top + box.Top + box.Height / 2;
  }
  /// One frame of the bar: the core's frame tick, then the repaint of what it changed.
  bool Frame() {
    Clock.Advance(DwellProgress::FrameIntervalMs);
    const QRegion region = View.RefreshDwellProgress();
    if (region.isEmpty()) return false;
    View.render(&Screen, region.boundingRect().topLeft(), region);
    return true;
  }
  Player& ThePlayerRef() { return ThePlayer; }
  BoardView& TheView() { return View; }

private:
  test::TempFolder Folder;
  test::VirtualClock Clock;
  SilentDialogs Messages;
  QtTextMetrics Metrics;
  QtImageScaler Scaler;
  HeadlessWindow Window;
  NoLauncher Programs;
  Player ThePlayer;
  BoardView View;
  QImage Screen;
};

// Frames while the bar grows on one cell; before the click would come the pointer moves to the next
// cell untimed, so no activation enters the measure.
void BM_DwellGrowFrame(benchmark::State& state) {
  Application();
  DwellBoard board;
  int32_t cell = 7;
  int frame = 0;
  int64_t repaints = 0;
  int64_t frames = 0;
  for (auto _ : state) {
    if (++frame % 40 == 0) {
      state.PauseTiming();
      cell = cell == 7 ? 8 : 7;
      board.PointAt(cell);
      board.Frame();
      state.ResumeTiming();
      continue;
    }
    repaints += board.Frame();
    ++frames;
  }
  state.counters["grow_paints"] = benchmark::Counter(static_cast<double>(board.TheView().DwellGrowPaints),
                                                     benchmark::Counter::kAvgIterations);
  // Repaints asked for per second of dwelling (frames are 40 ms of the virtual clock).
  state.counters["frames_per_second"] =
      frames > 0 ? static_cast<double>(repaints) * 1000.0 /
                       (static_cast<double>(frames) * DwellProgress::FrameIntervalMs)
                 : 0.0;
}
BENCHMARK(BM_DwellGrowFrame)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The frame after the pointer moved to another cell: the old bar's area gets its picture back.
void BM_DwellResetFrame(benchmark::State& state) {
  Application();
  DwellBoard board;
  int32_t cell = 7;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 10; ++i) // a bar worth taking away
      board.Frame();
    cell = cell == 7 ? 8 : 7;
    board.PointAt(cell);
    state.ResumeTiming();
    board.Frame();
  }
}
BENCHMARK(BM_DwellResetFrame)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace nq
