// A hover change on a full 21 x 21 board with pictures: the pointer moves to another cell, the grid is
// laid out again and the new cell is lifted. Pictures are shrunk once while the board is set up; the
// measured loop must never scale or measure text again.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "boards/AreaScaler.h"
#include "boards/GridLayout.h"
#include "support/CellTestFakes.h"

namespace nq {
namespace {

struct HoverBoard {
  test::FakeTextMetrics Metrics;
  AreaScaler Scaler;
  test::FakeMarkSettings Settings;
  CellBoxes Boxes{Metrics, Scaler, Settings};
  GridViewState State;
  GridLayout Layout{Boxes, State};

  HoverBoard() {
    State.Columns = MaxGridColumns;
    State.Rows = MaxGridRows;
    auto picture = test::SolidPicture(500, 500);
    for (int k = 1; k <= MaxGridCells; ++k) {
      CellRecord record;
      record.Caption = "Casella " + std::to_string(k);
      record.Read = record.Caption;
      record.Picture = "p.png";
      Boxes.AssignCellRecord(k, record, true);
      Boxes.GridBox(k)->SetPicture(picture, true);
    }
    Layout.SetClientSize(1280, 800);
  }
};

void BM_HoverChange(benchmark::State& state) {
  HoverBoard board;
  const GridRect grid = board.Layout.Panels().Boxes;
  const int cellWidth = grid.Width / MaxGridColumns;
  const int cellHeight = grid.Height / MaxGridRows;
  int k = 0;
  for (auto _ : state) {
    // Walk over every cell so each step is a change of hovered cell.
    const int column = k % MaxGridColumns;
    const int row = (k / MaxGridColumns) % MaxGridRows;
    ++k;
    const int x = column * cellWidth + cellWidth / 2;
    const int y = grid.Top + row * cellHeight + cellHeight / 2;
    benchmark::DoNotOptimize(board.Layout.UpdateHoveredItem(x, y));
  }
  state.counters["text_measures"] = board.Metrics.Calls;
}
BENCHMARK(BM_HoverChange)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_HoverSameCell(benchmark::State& state) {
  HoverBoard board;
  for (auto _ : state)
    benchmark::DoNotOptimize(board.Layout.UpdateHoveredItem(30, 80));
}
BENCHMARK(BM_HoverSameCell)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace nq
