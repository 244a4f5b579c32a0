#pragma once
// Every key of a board file with its section, default and the Board field it fills: one table that
// both reads a board from a profile document and finds the values a save must write.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "boards/Board.h"
#include "settings/ProfileDocument.h"

namespace nq::authoring {

enum class KeyKind { Text, Number, Flag, Byte };

// One key of the board ("Position"/"Left") or of every cell ("Cell N"/"Caption").
template <typename Target> struct BoardKey {
  std::string Section; // empty for cell keys: the cell's own section
  std::string Key;
  KeyKind Kind = KeyKind::Number;
  std::string TextDefault;
  int32_t NumberDefault = 0;
  std::function<std::string&(Target&)> Text; // Text keys
  std::function<int64_t(const Target&)> Get; // other keys
  std::function<void(Target&, int32_t)> Set; // other keys
};

const std::vector<BoardKey<Board>>& BoardLevelKeys();
const std::vector<BoardKey<CellRecord>>& CellKeys();

/// The section of cell number n ("Cell 12").
std::string CellSection(int number);

/// The Board that the player reads from these bytes: the same defaults and number rules, every
/// cell of the grid (cells outside it are left as the default record). The header is not checked.
Board ReadBoard(const ProfileDocument& document);

/// The writes that make the document read as `board`: only keys whose stored value reads as
/// something else, or every key when `everyKey` (a new board, written out in full).
std::vector<ProfileDocument::ValueWrite> WritesFor(const ProfileDocument& document, const Board& board,
                                                   bool everyKey);

/// The bytes without the sections "Cell first" to "Cell last" (every occurrence, with the lines up to
/// the next section), so a grid made smaller leaves no stale cells behind.
std::string WithoutCells(const std::string& bytes, int first, int last);

} // namespace nq::authoring
