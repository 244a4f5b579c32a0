#pragma once
// The changes an author makes to a board, as plain functions on the Board: each changes only what it
// says (cells keep their pictures, links and fonts when they move), and the document records the
// difference so that any of them can be undone.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "boards/Board.h"

namespace nq::authoring {

// Everything of a board except its cells.
struct BoardHeader {
  int32_t WindowLeft = 0, WindowTop = 0, WindowWidth = 0, WindowHeight = 0;
  int32_t Columns = 0, Rows = 0, GridFrameColour = 0;
  FontSpec GridFont;
  bool CenterCaptions = false, WordWrap = false, ShowButtonBar = false, ShowMessageBar = false;
  bool WriteOnlyLettersOrWords = false, EscriureTextALlegir = false, AlwaysVisible = false;
  bool SendToExternWindow = false, ForcingBeOnTop = false;
  int32_t Position = 0;
  bool operator==(const BoardHeader&) const = default;
};

BoardHeader HeaderOf(const Board& board);
void SetHeader(Board& board, const BoardHeader& header);

/// A cell as a new row or column gets it: no texts, the frame colour and font of `style`.
CellRecord BlankCell(const CellRecord& style);

/// Inserts an empty row before row `at` (1..rows+1); false when the board already has 21 rows.
bool InsertRow(Board& board, int at);
/// Deletes row `at`; false when it is the only row or out of the grid.
bool DeleteRow(Board& board, int at);
bool InsertColumn(Board& board, int at);
bool DeleteColumn(Board& board, int at);
/// Exchanges two cells of the grid whole; false when either is outside it or they are the same.
bool SwapCells(Board& board, CellPosition a, CellPosition b);
/// Empties the texts of the cells (picture, caption, read, command, link); frame and font stay.
void ClearCells(Board& board, const std::vector<CellPosition>& cells);

// Cells copied from a board: a rectangle, row by row, and the folder their pictures are found in.
struct CellBlock {
  int Columns = 0;
  int Rows = 0;
  std::vector<CellRecord> Cells; // Columns x Rows, row by row
  std::vector<bool> Chosen;      // false for the holes between cells copied from scattered places
  std::string FolderUtf8;        // the board's folder, to copy pictures from when pasted elsewhere
};

/// The smallest rectangle holding the cells, with the cells not chosen inside it left out (empty).
CellBlock CopyCells(const Board& board, const std::vector<CellPosition>& cells,
                    const std::string& folderUtf8);
/// Pastes the block with its top left cell at `at`; what falls outside the grid is dropped. The
/// block's cells that were not chosen leave the board's cells as they were. Returns the cells pasted.
std::vector<CellPosition> PasteCells(Board& board, const CellBlock& block, CellPosition at);

// The cell fields an author sets on several cells at once: each one given is set on all of them.
// The spoken text follows the caption (the player says only the spoken text) unless it was set apart
// from it; an empty spoken text means the caption.
struct CellFields {
  std::optional<std::string> Picture, Caption, Read, SpecialFunction, Link;
  std::optional<int32_t> FrameCellColour;
  std::optional<std::string> FontName;
  std::optional<int32_t> FontSize;
  std::optional<int32_t> FontColour;
  std::optional<bool> Bold, Italic, Underline;
  std::optional<bool> HideCaption;
};
void SetCellFields(Board& board, const std::vector<CellPosition>& cells, const CellFields& fields);

/// Whether the caption is hidden: a caption written in white on the white cell, as the player has
/// no key for it and boards made elsewhere do it that way.
bool IsCaptionHidden(const CellRecord& cell);

/// True when (column, row) lies inside the board's grid.
bool InGrid(const Board& board, CellPosition at);

} // namespace nq::authoring
