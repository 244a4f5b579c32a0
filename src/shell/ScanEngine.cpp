#include "shell/ScanEngine.h"

#include <algorithm>
#include <bitset>

#include "text/TextUtilities.h"

namespace nq {
namespace {

// Positions a cascade can pass through; anything outside these bounds is clamped into the edge buckets.
constexpr int32_t PositionSpan = 32;

int32_t StateIndex(const ScanPosition& p) {
  const int32_t row = std::clamp<int32_t>(p.ScanRow + 1, 0, PositionSpan - 1);
  const int32_t column = std::clamp<int32_t>(p.ScanColumn + 1, 0, PositionSpan - 1);
  return ((p.RowPhase ? 1 : 0) * PositionSpan + row) * PositionSpan + column;
}

} // namespace

ScanEngine::ScanEngine(ShellState& state, CellBoxes& boxes, GridLayout& layout, WindowView& window,
                       ItemActions& actions)
    : State(state), Boxes(boxes), Layout(layout), Window(window), Actions(actions) {}

int32_t ScanEngine::Columns() const {
  return std::clamp<int32_t>(State.View.Columns, 0, MaxGridColumns);
}

int32_t ScanEngine::Rows() const {
  return std::clamp<int32_t>(State.View.Rows, 0, MaxGridRows);
}

bool ScanEngine::IsScanStop(int32_t column, int32_t row) const {
  if (column < 1 || column > Columns() || row < 1 || row > Rows()) return false;
  const TBox* box = Boxes.GridBox(CellNumber(column, row, Columns()));
  if (box == nullptr) return false;
  // A picture alone does not make a stop: there would be nothing to say or do.
  const bool hasContent =
      !box->Caption.empty() || !box->Read.empty() || !box->Link.empty() || !box->SpecialFunction.empty();
  return hasContent && !ContainsIgnoringCase(SkipScanToken, box->SpecialFunction);
}

bool ScanEngine::BoardHasStop() const {
  for (int32_t row = 1; row <= Rows(); ++row)
    for (int32_t column = 1; column <= Columns(); ++column)
      if (IsScanStop(column, row)) return true;
  return false;
}

bool ScanEngine::ResetScan() {
  // Whatever was highlighted belonged to the board before; a selection must not act on it. Without
  // scanning the colours are the pointer's, and stay.
  if (State.View.ScanMode != 0) {
    ClearHighlight();
  } else {
    Highlighted = ScanHighlight::None;
    HighlightedItem = 0;
  }
  if (!BoardHasStop()) return false;
  ++Generation;
  const GridViewState& view = State.View;
  const bool barBelow = view.SwapBars ? view.ShowButtonBar : view.ShowMessageBar;
  Position.ScanRowCount = Rows() + (barBelow ? 1 : 0);
  if (State.LinearScanning) {
    Position.ScanRow = 0;
    Position.ScanColumn = 0;
  } else {
    Position.RowPhase = true;
    Position.ScanRow = -1;
    Position.ScanColumn = 0;
  }
  return true;
}

void ScanEngine::Restart() {
  Position.ScanColumn = 0;
  Position.ScanRow = -1;
  Position.RowPhase = true;
}

void ScanEngine::SetPen(TBox& box, bool highlighted) {
  CellFrame& frame = box.Frame;
  // Clearing runs on every cell at each step: a frame without a ring or inversion needs its pen alone.
  if (!highlighted && frame.RingWidth == 0 && !frame.Inverted) {
    frame.PenColour = box.FrameColour;
    return;
  }
  ApplyHighlight(box, highlighted, State.View.Highlight);
}

void ScanEngine::ClearHighlight() {
  Layout.ClearButtonHighlight();
  const int32_t used = std::clamp<int32_t>(State.View.MessageCellCount, 0, MessageBoxCount);
  for (int32_t k = 1; k <= used; ++k)
    SetPen(*Boxes.MessageBox(k), false);
  const int32_t cells = Columns() * Rows();
  for (int32_t k = 1; k <= cells; ++k)
    SetPen(*Boxes.GridBox(k), false);
  Highlighted = ScanHighlight::None;
  HighlightedItem = 0;
  Layout.InvalidatePens();
}

ScanEngine::RowKind ScanEngine::KindOf(int32_t row) const {
  const GridViewState& view = State.View;
  // A bar below the grid has the row after the last grid row; a stale count never makes a grid row a bar.
  const bool belowRow = row == Position.ScanRowCount && Position.ScanRowCount > Rows();
  if (!view.SwapBars) {
    if (row == 0 && view.ShowButtonBar) return RowKind::ButtonBar;
    if (belowRow && view.ShowMessageBar) return RowKind::MessageBar;
  } else {
    if (row == 0 && view.ShowMessageBar) return RowKind::MessageBar;
    if (belowRow && view.ShowButtonBar) return RowKind::ButtonBar;
  }
  return RowKind::Grid;
}

void ScanEngine::AdvanceRow() {
  if (++Position.ScanRow > Position.ScanRowCount) Position.ScanRow = 0;
}

void ScanEngine::SkipAbsentTopBar() {
  const bool topBarShown = State.View.SwapBars ? State.View.ShowMessageBar : State.View.ShowButtonBar;
  if (Position.ScanRow == 0 && !topBarShown) Position.ScanRow = 1;
}

void ScanEngine::HighlightRow(int32_t row) {
  Highlighted = ScanHighlight::Row;
  switch (KindOf(row)) {
  case RowKind::ButtonBar:
    Layout.HighlightAllButtons();
    break;
  case RowKind::MessageBar: {
    // An empty message shows nothing, yet the row can still be chosen.
    const int32_t used = std::clamp<int32_t>(State.View.MessageCellCount, 0, MessageBoxCount);
    for (int32_t k = 1; k <= used; ++k)
      SetPen(*Boxes.MessageBox(k), true);
    break;
  }
  case RowKind::Grid:
    if (row >= 1 && row <= Rows())
      for (int32_t column = 1; column <= Columns(); ++column)
        SetPen(*Boxes.GridBox(CellNumber(column, row, Columns())), true);
    break;
  }
}

void ScanEngine::HighlightItem(int32_t item) {
  Highlighted = ScanHighlight::Item;
  HighlightedItem = item;
  if (item < 0) {
    Layout.HighlightButton(-item);
  } else if (TBox* box = Boxes.GridBox(item)) {
    SetPen(*box, true);
  }
}

void ScanEngine::MovePointerOverWindow() {
  if (Pointer == nullptr) return;
  // Keeps the pointer over the window, so the switch's clicks land on it.
  const WindowRect rect = Window.CurrentWindowRect();
  Pointer->MovePointerTo(rect.Left + rect.Width / 4, rect.Top + rect.Height / 2);
}

void ScanEngine::ScanStep() {
  if (Busy) return;
  Busy = true;
  ClearHighlight();
  MovePointerOverWindow();
  // The cascaded steps end as soon as they come back to a position already passed in this step: then
  // there is nothing to highlight (a board without stops, a bar that sends the scan round again).
  std::bitset<2 * PositionSpan * PositionSpan> seen;
  const uint64_t generation = Generation;
  for (;;) {
    const int32_t index = StateIndex(Position);
    if (seen.test(static_cast<std::size_t>(index))) break;
    seen.set(static_cast<std::size_t>(index));
    if (!StepOnce() || Generation != generation) break;
  }
  Layout.InvalidatePens();
  Busy = false;
}

bool ScanEngine::StepOnce() {
  return State.LinearScanning ? LinearStepOnce() : RowColumnStepOnce();
}

bool ScanEngine::RowColumnStepOnce() {
  ScanPosition& p = Position;
  if (p.RowPhase) {
    AdvanceRow();
    SkipAbsentTopBar();
    HighlightRow(p.ScanRow);
    return false;
  }
  ++p.ScanColumn;
  switch (KindOf(p.ScanRow)) {
  case RowKind::ButtonBar:
    if (p.ScanColumn > ButtonScanPositions) {
      Restart();
      return true;
    }
    HighlightItem(-p.ScanColumn);
    return false;
  case RowKind::MessageBar:
    return ReadMessageAndRestart();
  case RowKind::Grid:
    break;
  }
  if (p.ScanColumn > Columns()) {
    Restart();
    return true;
  }
  if (IsScanStop(p.ScanColumn, p.ScanRow)) {
    HighlightItem(CellNumber(p.ScanColumn, p.ScanRow, Columns()));
    return false;
  }
  return true;
}

bool ScanEngine::ReadMessageAndRestart() {
  // The position is restarted before the reading, which waits while events run.
  Restart();
  const uint64_t generation = Generation;
  Actions.RunButtonAction(MessageBarItem);
  return generation == Generation && ScanningWithSwitch();
}

bool ScanEngine::LinearStepOnce() {
  ScanPosition& p = Position;
  ++p.ScanColumn;
  SkipAbsentTopBar();
  const RowKind kind = KindOf(p.ScanRow);
  if (kind == RowKind::MessageBar && State.View.SwapBars) {
    // In automatic scanning this step highlights nothing; with a switch the scan goes straight on.
    p.ScanColumn = 0;
    AdvanceRow();
    return ScanningWithSwitch();
  }
  const int32_t last = kind == RowKind::ButtonBar ? ButtonScanPositions : Columns();
  if (p.ScanColumn > last) {
    p.ScanColumn = 0;
    AdvanceRow();
    return true;
  }
  if (kind == RowKind::ButtonBar) {
    HighlightItem(-p.ScanColumn);
    return false;
  }
  // The message bar below the grid and the row before the first hold no cells, hence no stops.
  if (IsScanStop(p.ScanColumn, p.ScanRow)) {
    HighlightItem(CellNumber(p.ScanColumn, p.ScanRow, Columns()));
    return false;
  }
  return true;
}

std::string ScanEngine::CellPrompt(const TBox* box) const {
  if (box == nullptr) return {};
  if (!box->Caption.empty()) return box->Caption;
  // A sound file's name means nothing said aloud.
  const std::string tail =
      UpperAscii(box->Read.size() > 4 ? box->Read.substr(box->Read.size() - 4) : box->Read);
  if (tail == ".WAV" || tail == ".MP3") return {};
  return box->Read;
}

std::string ScanEngine::HighlightedPrompt() const {
  if (Highlighted == ScanHighlight::Item) {
    if (HighlightedItem > 0) return CellPrompt(Boxes.GridBox(HighlightedItem));
    for (const ButtonPanel& panel : Layout.Buttons())
      if (panel.Item == HighlightedItem) return std::string(panel.Caption);
    return {};
  }
  if (Highlighted != ScanHighlight::Row) return {};
  const int32_t row = Position.ScanRow;
  switch (KindOf(row)) {
  case RowKind::ButtonBar:
    for (const ButtonPanel& panel : Layout.Buttons())
      if (panel.Item == -1) return std::string(panel.Caption);
    return {};
  case RowKind::MessageBar: {
    const int32_t used = std::clamp<int32_t>(State.View.MessageCellCount, 0, MessageBoxCount);
    return used > 0 ? CellPrompt(Boxes.MessageBox(1)) : std::string();
  }
  case RowKind::Grid:
    break;
  }
  if (row < 1 || row > Rows()) return {};
  // Boards give rows no names; the first cell that says something stands for its row.
  for (int32_t column = 1; column <= Columns(); ++column) {
    std::string prompt = CellPrompt(Boxes.GridBox(CellNumber(column, row, Columns())));
    if (!prompt.empty()) return prompt;
  }
  return {};
}

} // namespace nq
