#pragma once
// Our side of the exchange: writing a Board as a .qdx file exactly as the board reader reads it,
// and the board's and cells' own options as (key, value) lists for the ext_nexoquadrix_* fields.
#include <set>
#include <string>

#include "boards/Board.h"
#include "exchange/ObfBoard.h"

namespace nq::exchange {

/// The bytes of a .qdx file (Windows-1252, CR LF) holding the board: its header, window, grid,
/// options and every cell of its grid, each text quoted so that blanks and quotes survive.
std::string WriteQdx(const Board& board);

/// A board as a new imported board starts: the reader's defaults, bars shown, window maximised.
Board ImportedBoardDefaults();

/// The board's window, grid frame and font and its options, keyed as in the board file
/// ("Position.Left", "Grid Font.Name", "Menu Options 2.WordWrap"...); texts UTF-8.
ExtValues BoardOptionValues(const Board& board);
/// Applies such values; unknown keys and values that are not numbers are added to `unknown`.
void ApplyBoardOptionValues(const ExtValues& values, Board& board, std::set<std::string>& unknown);

/// The cell's frame colour and font, keyed as in the board file ("Frame cell color", "Font Size"...).
ExtValues CellOptionValues(const CellRecord& cell);
void ApplyCellOptionValues(const ExtValues& values, CellRecord& cell, std::set<std::string>& unknown);

} // namespace nq::exchange
