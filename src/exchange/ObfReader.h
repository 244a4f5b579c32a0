#pragma once
// Reads one .obf board (JSON) into an ObfBoard, checking every field the importer uses for its
// type. Anything wrong that would put a button in the wrong place or lose it is an error with a
// message naming the field; what only loses a nicety is a warning.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ExchangeLimits.h"
#include "exchange/ObfBoard.h"

namespace nq::exchange {

struct ObfParse {
  std::optional<ObfBoard> Board; // empty when the board was refused
  std::string Error;             // why it was refused
  ImportProblem Problem = ImportProblem::None;
  std::vector<std::string> Warnings;
};

// JSON values that the parses of one set may still build; shared by its boards and its manifest,
// so that many boards cannot add up to more than one generous set.
struct JsonBudget {
  std::size_t Left = MaxJsonValuesPerSet;
};

/// Parses the bytes of one board; `where` names the file in messages. Its values count against
/// `budget` when given (and always against the ceiling of one board). Never throws.
ObfParse ParseObfBoard(std::string_view json, const std::string& where, JsonBudget* budget = nullptr);

/// The deepest nesting of arrays and objects in the JSON text (strings are skipped), so that a
/// hostile file cannot exhaust the stack of a recursive parser or destructor.
std::size_t JsonNestingDepth(std::string_view json);

} // namespace nq::exchange
