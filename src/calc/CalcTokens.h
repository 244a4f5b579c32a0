#pragma once
// Reading an expression: the text is prepared and checked character by character, cut into
// tokens, and the token list is checked. Any failure is a parse error (an empty optional).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/Real48.h"

namespace nq {

enum class CalcCode : unsigned char {
  Number,
  Open,
  Close,
  Plus,
  Minus,
  Times,
  Divide,
  Power,
  Variable,
  // Functions: each is always followed by its own Open.
  Sin,
  Sig,
  Asi,
  Asg,
  Cos,
  Cog,
  Aco,
  Acg,
  Tan,
  Tag,
  Ata,
  Atg,
  Abs,
  Lne,
  Log,
  Exp,
  Alo,
};

struct CalcToken {
  CalcCode Code = CalcCode::Number;
  Real48 Number; // the value of a Number token
};

using CalcTokenList = std::vector<CalcToken>;

// The token table's size; a longer list is refused, never stored.
inline constexpr std::size_t MaxCalcTokens = 200;

// The longest text the user may type.
inline constexpr std::size_t MaxExpressionLength = 200;

/// The token's code as written in token dumps: "", "(", "+", "X", "SIN", "LNE", ...
std::string_view CalcCodeText(CalcCode code);

/// True for + - * / ^.
bool IsCalcOperator(CalcCode code);

/// True for the function codes.
bool IsCalcFunction(CalcCode code);

/// Upper-cases, wraps in parentheses, drops blanks, expands constants and implicit products.
std::optional<std::string> PrepareExpressionText(std::string_view text);

/// Checks each inner character of a prepared text against its neighbours.
bool CheckExpressionCharacters(std::string_view prepared);

/// Cuts a prepared, checked text into tokens (at most MaxCalcTokens).
std::optional<CalcTokenList> CutIntoTokens(std::string_view prepared);

/// Checks neighbouring tokens and rewrites leading signs; false on a parse error.
bool CheckTokens(CalcTokenList& tokens);

/// The whole reading: text to checked token list, or nothing on a parse error.
std::optional<CalcTokenList> ParseExpression(std::string_view text);

} // namespace nq
