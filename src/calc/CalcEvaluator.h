#pragma once
// Evaluating a checked token list, innermost group first. Any failure is a calculation error
// (an empty optional): a value out of range, a division by zero, a function outside its domain.
#include <optional>

#include "calc/CalcTokens.h"
#include "calc/Real48.h"

namespace nq {

// Operands of + - * and the left operand of / must stay below this magnitude, and so must the result.
inline constexpr long double CalcOperandLimit = 1e19L;

/// Reduces the token list with X standing for the given value.
std::optional<Real48> EvaluateTokens(const CalcTokenList& tokens, Real48 x);

/// The power base ^ exponent, with the calculator's own rules for whole and negative cases.
std::optional<Real48> CalcPower(Real48 base, Real48 exponent);

/// The value of a function code applied to x.
std::optional<Real48> ApplyCalcFunction(CalcCode function, Real48 x);

} // namespace nq
