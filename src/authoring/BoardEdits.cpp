#include "authoring/BoardEdits.h"

#include <algorithm>

#include "text/TextUtilities.h"

namespace nq::authoring {
namespace {

bool IsSoundName(const std::string& text) {
  return text.size() >= 4 && UpperAscii(text.substr(text.size() - 4)) == ".WAV";
}

// Moves the cells of a line (row or column) by one within the table, from `from` towards the end,
// leaving a blank at `from` (insert) or closing the gap at `from` (delete).
template <typename At> void ShiftLines(Board& board, int from, int last, int across, bool insert, At at) {
  if (insert) {
    for (int line = last; line > from; --line)
      for (int i = 1; i <= across; ++i)
        board.Cells[at(line, i)] = board.Cells[at(line - 1, i)];
    for (int i = 1; i <= across; ++i)
      board.Cells[at(from, i)] =
          BlankCell(board.Cells[at(from < last ? from + 1 : std::max(from - 1, 1), i)]);
  } else {
    for (int line = from; line < last; ++line)
      for (int i = 1; i <= across; ++i)
        board.Cells[at(line, i)] = board.Cells[at(line + 1, i)];
    for (int i = 1; i <= across; ++i)
      board.Cells[at(last, i)] = BlankCell(board.Cells[at(last, i)]);
  }
}

std::size_t IndexOf(int column, int row) {
  return static_cast<std::size_t>(column - 1) * MaxGridRows + static_cast<std::size_t>(row - 1);
}

} // namespace

BoardHeader HeaderOf(const Board& b) {
  return {b.WindowLeft,
          b.WindowTop,
          b.WindowWidth,
          b.WindowHeight,
          b.Columns,
          b.Rows,
          b.GridFrameColour,
          b.GridFont,
          b.CenterCaptions,
          b.WordWrap,
          b.ShowButtonBar,
          b.ShowMessageBar,
          b.WriteOnlyLettersOrWords,
          b.EscriureTextALlegir,
          b.AlwaysVisible,
          b.SendToExternWindow,
          b.ForcingBeOnTop,
          b.Position};
}

void SetHeader(Board& b, const BoardHeader& h) {
  b.WindowLeft = h.WindowLeft;
  b.WindowTop = h.WindowTop;
  b.WindowWidth = h.WindowWidth;
  b.WindowHeight = h.WindowHeight;
  b.Columns = h.Columns;
  b.Rows = h.Rows;
  b.GridFrameColour = h.GridFrameColour;
  b.GridFont = h.GridFont;
  b.CenterCaptions = h.CenterCaptions;
  b.WordWrap = h.WordWrap;
  b.ShowButtonBar = h.ShowButtonBar;
  b.ShowMessageBar = h.ShowMessageBar;
  b.WriteOnlyLettersOrWords = h.WriteOnlyLettersOrWords;
  b.EscriureTextALlegir = h.EscriureTextALlegir;
  b.AlwaysVisible = h.AlwaysVisible;
  b.SendToExternWindow = h.SendToExternWindow;
  b.ForcingBeOnTop = h.ForcingBeOnTop;
  b.Position = h.Position;
}

CellRecord BlankCell(const CellRecord& style) {
  CellRecord cell;
  cell.FrameCellColour = style.FrameCellColour;
  cell.Font = style.Font;
  if (cell.Font.Name.empty()) cell.Font.Name = "Arial";
  return cell;
}

bool InGrid(const Board& board, CellPosition at) {
  return at.Column >= 1 && at.Row >= 1 && at.Column <= std::min(board.Columns, MaxGridColumns) &&
         at.Row <= std::min(board.Rows, MaxGridRows);
}

bool InsertRow(Board& board, int at) {
  if (board.Rows >= MaxGridRows || board.Rows < 1 || at < 1 || at > board.Rows + 1) return false;
  ++board.Rows;
  ShiftLines(board, at, board.Rows, board.Columns, true,
             [](int row, int column) { return IndexOf(column, row); });
  return true;
}

bool DeleteRow(Board& board, int at) {
  if (board.Rows <= 1 || at < 1 || at > board.Rows) return false;
  ShiftLines(board, at, board.Rows, board.Columns, false,
             [](int row, int column) { return IndexOf(column, row); });
  --board.Rows;
  return true;
}

bool InsertColumn(Board& board, int at) {
  if (board.Columns >= MaxGridColumns || board.Columns < 1 || at < 1 || at > board.Columns + 1) return false;
  ++board.Columns;
  ShiftLines(board, at, board.Columns, board.Rows, true,
             [](int column, int row) { return IndexOf(column, row); });
  return true;
}

bool DeleteColumn(Board& board, int at) {
  if (board.Columns <= 1 || at < 1 || at > board.Columns) return false;
  ShiftLines(board, at, board.Columns, board.Rows, false,
             [](int column, int row) { return IndexOf(column, row); });
  --board.Columns;
  return true;
}

bool SwapCells(Board& board, CellPosition a, CellPosition b) {
  if (!InGrid(board, a) || !InGrid(board, b) || a == b) return false;
  std::swap(board.Cell(a.Column, a.Row), board.Cell(b.Column, b.Row));
  return true;
}

void ClearCells(Board& board, const std::vector<CellPosition>& cells) {
  for (const CellPosition& at : cells)
    if (InGrid(board, at)) board.Cell(at.Column, at.Row) = BlankCell(board.Cell(at.Column, at.Row));
}

CellBlock CopyCells(const Board& board, const std::vector<CellPosition>& cells,
                    const std::string& folderUtf8) {
  CellBlock block;
  block.FolderUtf8 = folderUtf8;
  int left = MaxGridColumns + 1, top = MaxGridRows + 1, right = 0, bottom = 0;
  for (const CellPosition& at : cells) {
    if (!InGrid(board, at)) continue;
    left = std::min(left, at.Column);
    top = std::min(top, at.Row);
    right = std::max(right, at.Column);
    bottom = std::max(bottom, at.Row);
  }
  if (right == 0) return block;
  block.Columns = right - left + 1;
  block.Rows = bottom - top + 1;
  block.Cells.assign(static_cast<std::size_t>(block.Columns * block.Rows), CellRecord{});
  block.Chosen.assign(block.Cells.size(), false);
  for (const CellPosition& at : cells)
    if (InGrid(board, at)) {
      const auto index = static_cast<std::size_t>((at.Row - top) * block.Columns + (at.Column - left));
      block.Cells[index] = board.Cell(at.Column, at.Row);
      block.Chosen[index] = true;
    }
  return block;
}

std::vector<CellPosition> PasteCells(Board& board, const CellBlock& block, CellPosition at) {
  std::vector<CellPosition> pasted;
  for (int r = 0; r < block.Rows; ++r)
    for (int c = 0; c < block.Columns; ++c) {
      const auto index = static_cast<std::size_t>(r * block.Columns + c);
      const CellPosition target{at.Column + c, at.Row + r};
      if (index >= block.Cells.size() || (index < block.Chosen.size() && !block.Chosen[index]) ||
          !InGrid(board, target))
        continue;
      board.Cell(target.Column, target.Row) = block.Cells[index];
      pasted.push_back(target);
    }
  return pasted;
}

bool IsCaptionHidden(const CellRecord& cell) {
  return cell.Caption.empty() && !cell.Read.empty() && !IsSoundName(cell.Read);
}

void SetCellFields(Board& board, const std::vector<CellPosition>& cells, const CellFields& f) {
  for (const CellPosition& at : cells) {
    if (!InGrid(board, at)) continue;
    CellRecord& cell = board.Cell(at.Column, at.Row);
    // The player says only the spoken text; it follows the caption until the author writes another.
    const bool readFollowsCaption = cell.Read.empty() || cell.Read == cell.Caption;
    if (f.Picture) cell.Picture = *f.Picture;
    if (f.Caption) cell.Caption = *f.Caption;
    if (f.Read) cell.Read = *f.Read;
    if (f.Caption && !f.Read && readFollowsCaption) cell.Read = cell.Caption;
    if ((f.Caption || f.Read) && cell.Read.empty()) cell.Read = cell.Caption;
    if (f.SpecialFunction) cell.SpecialFunction = *f.SpecialFunction;
    if (f.Link) cell.Link = *f.Link;
    if (f.FrameCellColour) cell.FrameCellColour = *f.FrameCellColour;
    if (f.FontName) cell.Font.Name = *f.FontName;
    if (f.FontSize) cell.Font.Size = *f.FontSize;
    if (f.FontColour) cell.Font.Colour = *f.FontColour;
    if (f.Bold) cell.Font.Bold = *f.Bold;
    if (f.Italic) cell.Font.Italic = *f.Italic;
    if (f.Underline) cell.Font.Underline = *f.Underline;
    // The player shows any caption it has; a hidden caption is the word kept as the spoken text
    // alone, so the picture fills the cell and the cell still says it.
    if (f.HideCaption && *f.HideCaption && !cell.Caption.empty()) {
      if (cell.Read.empty()) cell.Read = cell.Caption;
      cell.Caption.clear();
    } else if (f.HideCaption && !*f.HideCaption && IsCaptionHidden(cell)) {
      cell.Caption = cell.Read;
    }
  }
}

} // namespace nq::authoring
