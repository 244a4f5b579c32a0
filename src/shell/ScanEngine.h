#pragma once
// The scan itself: where the highlight is (a row of the grid or a bar, or one item inside it), how one
// step moves it in row-column and in linear scanning, and the red frames and button colours that show
// it. A step is recomputed from the stored position each time; no list of stops is kept.
#include <cstdint>
#include <string>

#include "boards/CellBoxes.h"
#include "boards/GridLayout.h"
#include "shell/ShellState.h"
#include "shell/WindowView.h"

namespace nq {

// The special-function marker of a cell the scan passes over.
inline constexpr std::string_view SkipScanToken = "<SALTAR ESCANEIG>";
// Scan positions of the button bar ("Inici" .. "S\xEDmbol"); "Imprimir" is never reached.
inline constexpr int32_t ButtonScanPositions = 8;

class ItemActions {
public:
  virtual ~ItemActions() = default;
  /// Runs what selecting grid cell k of the board on screen does (k > 0).
  virtual void ActivateCell(int32_t k) = 0;
  /// Runs the button-bar action of item k (-1..-9); -4 reads the whole message aloud.
  virtual void RunButtonAction(int32_t k) = 0;
};

class PointerMover {
public:
  virtual ~PointerMover() = default;
  /// Moves the pointer to a point of the screen, where the platform allows it.
  virtual void MovePointerTo(int32_t x, int32_t y) = 0;
};

struct ScanPosition {
  bool RowPhase = true;     // whole rows are stepped; false while items inside the chosen row are
  int32_t ScanRow = -1;     // -1 before the first row, 0 the bar above, 1..Rows grid rows, then the bar below
  int32_t ScanColumn = 0;   // 1-based position inside the row, 0 before the first
  int32_t ScanRowCount = 0; // last scan row: Rows, or Rows + 1 with a bar below the grid
  bool operator==(const ScanPosition&) const = default;
};

// What the last step left highlighted.
enum class ScanHighlight { None, Row, Item };

class ScanEngine {
public:
  ScanEngine(ShellState& state, CellBoxes& boxes, GridLayout& layout, WindowView& window,
             ItemActions& actions);

  ScanPosition Position;
  ScanHighlight Highlighted = ScanHighlight::None;
  // The item the last step highlighted (a cell number or -1..-8) while Highlighted is Item, else 0.
  int32_t HighlightedItem = 0;
  // Grows whenever the scan is reset or stopped, so a step or selection that waited inside an
  // activation knows its position is no longer its own.
  uint64_t Generation = 0;
  // True while a step or an activation runs; what arrives meanwhile (a tick, a click inside a wait)
  // is dropped rather than moving a position that is in use.
  bool Busy = false;

  void SetPointerMover(PointerMover* mover) { Pointer = mover; }

  /// Moves the highlight one step, running the cascaded steps at once; never loops forever.
  void ScanStep();
  /// Removes every scan highlight (buttons, message cells, grid cells) and marks the view for repaint.
  void ClearHighlight();
  /// Puts the scan at its start for the board on screen; false (position untouched) without any stop.
  bool ResetScan();
  /// Back to row stepping from before the first row.
  void Restart();
  /// What auditory scanning says for the highlight on show (Windows-1252, may be empty): a cell's
  /// caption, or its spoken text without one; a button's name; a row as its first cell that has either.
  std::string HighlightedPrompt() const;

  /// True when grid cell (column, row) of the board on screen may be highlighted in item steps.
  bool IsScanStop(int32_t column, int32_t row) const;
  bool BoardHasStop() const;
  int32_t Columns() const;
  int32_t Rows() const;

private:
  enum class RowKind { Grid, ButtonBar, MessageBar };

  bool StepOnce();
  bool RowColumnStepOnce();
  bool LinearStepOnce();
  bool ReadMessageAndRestart();
  RowKind KindOf(int32_t row) const;
  void AdvanceRow();
  void SkipAbsentTopBar();
  void HighlightRow(int32_t row);
  void HighlightItem(int32_t item);
  std::string CellPrompt(const TBox* box) const;
  void SetPen(TBox& box, bool highlighted);
  void MovePointerOverWindow();
  bool ScanningWithSwitch() const { return State.View.ScanMode == 2 || State.View.ScanMode == 3; }

  ShellState& State;
  CellBoxes& Boxes;
  GridLayout& Layout;
  WindowView& Window;
  ItemActions& Actions;
  PointerMover* Pointer = nullptr;
};

} // namespace nq
