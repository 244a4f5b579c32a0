#pragma once
// What would stop a board from working in the player: refused files, grid sizes the player
// replaces, missing pictures and sounds, links to missing boards, commands it does not know, cell
// sections beyond the grid. The board checker of the command line and the editor's problems panel
// both use it.
#include <string>
#include <vector>

#include "boards/Board.h"

namespace nq::authoring {

enum class ProblemKind {
  Refused,           // the player would not open the file (Detail: its message, or empty)
  GridKeyMissing,    // Detail: "Columns" or "Rows"
  GridKeyNotNumber,  // Detail: the key, Extra: the value
  GridKeyNegative,   // Detail: the key, Extra: the value
  MissingPicture,    // Detail: the name as the board writes it
  UnreadablePicture, // Detail: the name
  MissingSound,      // Detail: the name
  MissingLink,       // Detail: the link
  LinkNotBoard,      // Detail: the link
  UnknownCommand,    // Detail: the command
  SectionBeyondGrid, // Cell: the section's number, Detail: the grid's cell count
  CaptionTooWide,    // Detail: the caption (found by the editor, which can measure text)
};

struct BoardProblem {
  ProblemKind Kind = ProblemKind::Refused;
  int Cell = 0;       // the cell's number, 0 for the board as a whole
  std::string Detail; // UTF-8
  std::string Extra;  // UTF-8
};

/// The problems of the cells of a board whose files are looked up in folderUtf8 ("/" at the end).
std::vector<BoardProblem> CheckBoardCells(const Board& board, const std::string& folderUtf8);

/// Every problem of the board file at pathUtf8, reading it as the player does.
std::vector<BoardProblem> CheckBoardFile(const std::string& pathUtf8);

/// The problem as one English line, as the command line prints it ("cell 3: missing picture x.png").
std::string DescribeProblem(const BoardProblem& problem);

} // namespace nq::authoring
