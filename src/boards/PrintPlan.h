#pragma once
// Boards on paper, before anything is drawn: which boards a printed book holds and in what order,
// and how one board's client area is cut into pages. A board is laid out as the player would lay it
// out in a window of the size chosen here; pages cut it only between cells (or between a bar and the
// grid), so no cell is ever split. All sizes are board pixels (96 per inch).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "boards/GridTypes.h"

namespace nq {

class Dialogs;

// What printing needs to know of one board file before it is opened in a player.
struct PrintedBoardInfo {
  std::string Path; // absolute, UTF-8
  int32_t Columns = 0;
  int32_t Rows = 0;
  bool ShowButtonBar = true;
  bool ShowMessageBar = true;
  bool WriteOnlyLettersOrWords = false;
  std::vector<std::string> LinkedBoards; // existing .qdx files its cells link to, absolute, in cell order
  std::vector<std::string> Pictures;     // existing picture files of its cells, as resolved, in cell order
};

/// Reads the board at pathUtf8 as the player would; nothing when the player would refuse it (the
/// reason goes to dialogs).
std::optional<PrintedBoardInfo> ReadPrintedBoard(const std::string& pathUtf8, Dialogs& dialogs);

/// The absolute path of an existing .qdx file that a board in folderUtf8 names by link (Windows-1252);
/// empty when the link names no board file.
std::string LinkedBoardPath(const std::string& folderUtf8, const std::string& linkCp1252);

/// The boards of a book: home first, then every board reached through links, breadth first in cell
/// order, then the boards of `others` not reached that way, in their given order. Boards that do not
/// open are left out and their paths added to `refused`; `home` itself must open.
std::vector<PrintedBoardInfo> BookBoards(const std::string& homeUtf8,
                                         const std::vector<std::string>& othersUtf8, Dialogs& dialogs,
                                         std::vector<std::string>& refused);

/// The home board of a folder: the one its import named, else the first (by name) no other board
/// links to, else one named as a home board ("inici", "home"...), else the first by name; empty for
/// a folder without boards.
std::string FolderHomeBoard(const std::string& folderUtf8);

/// The .qdx files directly inside a folder, sorted by name (absolute paths).
std::vector<std::string> FolderBoards(const std::string& folderUtf8);

// The printable area of a page and how large cells are to be.
struct PrintArea {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t CellSize = 0;    // the side of every cell; 0 fits the board to the page
  int32_t MinCellSize = 0; // a fitted board never gets cells smaller than this: it is cut instead
};

// The heights of the bars above and below the grid (0 for a hidden bar).
struct PrintBars {
  int32_t Top = 0;
  int32_t Bottom = 0;
};

// One page of a board: the part of its client area it shows, and which of its edges are cuts.
struct PrintTile {
  GridRect Area;
  bool CutLeft = false;
  bool CutRight = false;
  bool CutTop = false;
  bool CutBottom = false;
};

struct BoardPages {
  int32_t ClientWidth = 0; // the client size the board is laid out in
  int32_t ClientHeight = 0;
  int32_t TileColumns = 0; // pages across and down
  int32_t TileRows = 0;
  std::vector<PrintTile> Tiles; // left to right, then top to bottom
};

/// Cuts a board of columns x rows into pages of the area.
BoardPages PlanBoardPages(int32_t columns, int32_t rows, const PrintBars& bars, const PrintArea& area);

/// Groups consecutive lengths into runs whose sum fits the limit (a longer one gets a run of its own);
/// each run as [first, last + 1) of the lengths' indices.
std::vector<std::pair<std::size_t, std::size_t>> PackRuns(const std::vector<int32_t>& lengths, int32_t limit);

} // namespace nq
