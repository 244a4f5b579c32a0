#pragma once
// The board on screen as read from a .qdx file: window fields, grid size, options and the cell table.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "platform/FontSpec.h"

namespace nq {

inline constexpr int MaxGridColumns = 21;
inline constexpr int MaxGridRows = 21;
inline constexpr int MaxGridCells = MaxGridColumns * MaxGridRows;

// One cell as read from its "Cell N" section; all texts Windows-1252.
struct CellRecord {
  std::string Picture;
  std::string Caption;
  std::string Read;
  std::string SpecialFunction;
  std::string Link;
  int32_t FrameCellColour = 0; // red in the low byte; 16777215 (white) means no visible frame
  FontSpec Font;

  bool operator==(const CellRecord&) const = default;
};

struct Board {
  int32_t WindowLeft = 0;
  int32_t WindowTop = 0;
  int32_t WindowWidth = 0;
  int32_t WindowHeight = 0;
  int32_t Columns = 0; // 1..21 once a board is read, or negative for a board with no cells
  int32_t Rows = 0;    // likewise; count cells with CellCount(), never Columns * Rows
  int32_t GridFrameColour = 0;
  FontSpec GridFont;
  bool CenterCaptions = false;
  bool WordWrap = false;
  bool ShowButtonBar = true;
  bool ShowMessageBar = true;
  bool WriteOnlyLettersOrWords = false;
  bool EscriureTextALlegir = false;
  bool AlwaysVisible = false;
  bool SendToExternWindow = false;
  bool ForcingBeOnTop = false;
  int32_t Position = 0; // one of the nine window placements, 0..8

  /// The cell at (column, row), both 1-based within 1..21; anything outside the table is a caller bug.
  CellRecord& Cell(int column, int row) { return Cells[Index(column, row)]; }
  const CellRecord& Cell(int column, int row) const { return Cells[Index(column, row)]; }
  /// Number of cells on the board (columns x rows), 0 when either is not positive.
  int CellCount() const { return Columns > 0 && Rows > 0 ? Columns * Rows : 0; }

  std::array<CellRecord, MaxGridCells> Cells{};

  bool operator==(const Board&) const = default;

private:
  static std::size_t Index(int column, int row) {
    return static_cast<std::size_t>(column - 1) * MaxGridRows + static_cast<std::size_t>(row - 1);
  }
};

// Cells are numbered 1..columns x rows, left to right, top to bottom.
struct CellPosition {
  int Column = 0;
  int Row = 0;
  bool operator==(const CellPosition&) const = default;
};

/// Column and row of cell number n (n >= 1) on a board with the given (positive) number of columns.
inline CellPosition CellNumberToPosition(int n, int columns) {
  return {((n - 1) % columns) + 1, ((n - 1) / columns) + 1};
}

/// Cell number of (column, row) on a board with the given number of columns.
inline int CellNumber(int column, int row, int columns) {
  return (row - 1) * columns + column;
}

/// The pixel height (negative, or 0 for the face's default) a font gets on a screen of the given
/// density: the size in points is applied after the height and so always decides it.
inline int32_t AppliedFontHeight(const FontSpec& font, int pixelsPerInch) {
  const int64_t scaled = static_cast<int64_t>(font.Size) * pixelsPerInch;
  const int64_t rounded = scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
  return static_cast<int32_t>(-std::clamp<int64_t>(rounded, -INT32_MAX, INT32_MAX));
}

} // namespace nq
