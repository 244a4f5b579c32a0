#pragma once
// The grid layout and the pointer highlight: cell rectangles in the grid panel and message bar, the
// item under the pointer, the red frame and 3D lift of the hovered cell, and the button-bar colours.
// Everything is state for the painter; nothing here draws. Revision() changes whenever that state
// does, so the front end repaints only then.
#include <cstdint>

#include "boards/CellBoxes.h"
#include "boards/PanelGeometry.h"

namespace nq {

// The window and option values the layout reads, owned by the player's shared state.
struct GridViewState {
  int32_t Columns = 1;
  int32_t Rows = 1;
  bool ShowButtonBar = true;
  bool ShowMessageBar = true;
  bool SwapBars = false;
  int32_t MessageBarHeight = DefaultMessageBarHeight;
  bool WriteLettersOrWordsMode = false;
  int32_t VisibleMessageCells = 6; // 1..21
  int32_t MessageCellCount = 0;    // message cells in use, 0..21
  bool MessageBarFlash = false;    // a short frame round the bar: a chosen cell found it full
  int32_t ScanMode = 0;
  bool Efecto3D = true;
  bool RestMode = false;
  bool CaptionsBelow = false;
  int32_t FrameThickness = 2;
  int32_t CellSeparation = 2;
  HighlightStyle Highlight; // scan and hover highlight (low-vision options)
};

// How far the hovered cell lifts up and left with the 3D effect.
inline constexpr int32_t LiftPixels = 2;

class GridLayout {
public:
  GridLayout(CellBoxes& boxes, const GridViewState& state);

  // Item under the pointer (cell number, -4 message bar, 0 none), as last found by UpdateHoveredItem.
  int32_t HoveredItem = NoItem;
  // HoveredItem of the previous grid test; a difference triggers a new layout.
  int32_t LastHoveredItem = NoItem;
  // Button-bar item (-1..-9) under the pointer, or 0.
  int32_t HighlightedButton = NoItem;

  /// The window's client size as the front end reports it; arranges the panels again.
  void SetClientSize(int32_t width, int32_t height);
  /// Places the panels for the last client size and the current bar options (after a bar is shown,
  /// hidden or swapped); lays the cells out again when the grid panel changed size.
  void ArrangePanels();
  const PanelGeometry& Panels() const { return Geometry; }
  const ButtonPanels& Buttons() const { return ButtonBar; }

  /// Recomputes every cell rectangle of the grid and the message bar and places every cell.
  void LayoutCells();
  /// Places grid cell `number` again after its picture arrived, keeping its rectangle and the pen a
  /// highlight gave it.
  void ShowArrivedPicture(int32_t number);
  /// Finds the item under the pointer (window client pixels), updates the highlights and returns it:
  /// a cell number, -4 over the message bar, a button item over the button bar, or 0.
  int32_t UpdateHoveredItem(int32_t x, int32_t y);
  /// The item under a point without changing any highlight.
  int32_t ItemAt(int32_t x, int32_t y) const;
  /// Highlights the button-bar panel under x (while not scanning) and records it in HighlightedButton.
  void HoverButtonBar(int32_t x);
  /// Colours all nine button-bar panels with the highlight colour.
  void HighlightAllButtons();
  /// Gives all nine button-bar panels the button-face colour.
  void ClearButtonHighlight();
  /// Highlights panel n (1..9) alone; any other n leaves all panels plain.
  void HighlightButton(int32_t n);

  /// Grid cell under the point, or 0; x is compared with the cell directly, y shifted by the grid panel.
  int32_t GridCellAt(int32_t x, int32_t y) const;
  /// Button panel item (-1..-9) whose horizontal extent holds x, or 0.
  int32_t ButtonAt(int32_t x) const;

  /// Changes with every change of the painted state (cells, bars, button colours).
  uint64_t Revision() const { return PaintRevision; }
  /// Changes with every change of the painted state except frame pens and button colours, all that a
  /// scan step changes: while it stays, the front end need compare nothing else.
  uint64_t ContentRevision() const { return ContentChanges; }
  /// Records a change made to the boxes from outside, so the front end repaints.
  void Invalidate() {
    ++PaintRevision;
    ++ContentChanges;
  }
  /// Records a change of frame pens alone (scanning highlights).
  void InvalidatePens() { ++PaintRevision; }

private:
  CellShowOptions ShowOptions() const;
  // The board's grid size, kept within the boxes that exist.
  int32_t GridColumns() const;
  int32_t GridRows() const;
  int32_t GridCellCount() const;
  void SetPanelColour(ButtonPanel& panel, bool highlighted);
  void LiftHoveredCell();

  CellBoxes& Boxes;
  const GridViewState& State;
  int32_t ClientWidth = 0;
  int32_t ClientHeight = 0;
  PanelGeometry Geometry;
  ButtonPanels ButtonBar;
  uint64_t PaintRevision = 0;
  uint64_t ContentChanges = 0;
};

} // namespace nq
