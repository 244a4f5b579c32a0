// One tick of automatic scanning on a full 21 x 21 board with pictures, in the core: the old
// highlight cleared, the next row (or cell) framed in red, the pointer moved, the view marked for
// repaint. A tick never lays the cells out again; the last benchmark adds a full LayoutCells to show
// what a tick would cost if it did. The repaint itself is measured by bench/window_bench.sh.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "unit/shell/ShellFakes.h"

namespace nq {
namespace {

class StillPointer final : public PointerMover {
public:
  int Moves = 0;
  void MovePointerTo(int32_t, int32_t) override { ++Moves; }
};

std::shared_ptr<const Image> Picture(int width, int height) {
  auto image = std::make_shared<Image>();
  image->Width = width;
  image->Height = height;
  image->Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0x80);
  return image;
}

// The harness with every cell captioned and given a picture, scanning automatically.
struct ScanBoard {
  test::ScanHarness Harness;
  StillPointer Pointer;

  ScanBoard() {
    Harness.Fill(std::vector<std::string>(MaxGridRows, std::string(MaxGridColumns, 'x')));
    const auto picture = Picture(200, 200);
    for (int32_t k = 1; k <= MaxGridCells; ++k) {
      TBox& box = *Harness.Boxes.GridBox(k);
      box.Picture = "p.png";
      box.SetPicture(picture, true);
    }
    Harness.Window.Rects.push_back({0, 0, 1280, 800});
    Harness.Layout.SetClientSize(1280, 800);
    Harness.Layout.LayoutCells();
    Harness.Modes.SetPointerMover(&Pointer);
    Harness.State.View.ScanMode = AutomaticScanning;
    Harness.Modes.ResetScan();
  }
};

// Row steps: what the scan does most of the time, each tick framing the 21 cells of the next row.
void BM_ScanTickRows(benchmark::State& state) {
  ScanBoard board;
  for (auto _ : state)
    board.Harness.Modes.TimerEscaneigTimer();
  if (board.Harness.Modes.Scan().Highlighted != ScanHighlight::Row)
    state.SkipWithError("the scan framed no row");
  state.counters["pointer_moves"] =
      benchmark::Counter(board.Pointer.Moves, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ScanTickRows)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// Item steps inside a chosen row; when the scan leaves the row, the next row is chosen untimed.
void BM_ScanTickItems(benchmark::State& state) {
  ScanBoard board;
  AccessModes& modes = board.Harness.Modes;
  for (auto _ : state) {
    if (modes.Scan().Position.RowPhase) {
      state.PauseTiming();
      while (modes.Scan().Highlighted != ScanHighlight::Row)
        modes.ScanStep();
      modes.SelectScannedItem();
      state.ResumeTiming();
    }
    modes.TimerEscaneigTimer();
  }
  if (modes.Scan().Highlighted == ScanHighlight::None) state.SkipWithError("the scan framed nothing");
}
BENCHMARK(BM_ScanTickItems)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// A tick followed by a full layout of the grid and the message bar: the ceiling if a front end
// chose to lay out again on every repaint.
void BM_ScanTickWithLayout(benchmark::State& state) {
  ScanBoard board;
  for (auto _ : state) {
    board.Harness.Modes.TimerEscaneigTimer();
    board.Harness.Layout.LayoutCells();
  }
}
BENCHMARK(BM_ScanTickWithLayout)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace nq
