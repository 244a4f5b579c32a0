#pragma once
// The calculator's entry: an expression as a pupil writes it (decimal comma, implicit products,
// Catalan and Spanish function names) in, the same text with " = " and its value out.
#include <cstddef>
#include <string>
#include <string_view>

namespace nq {

inline constexpr std::string_view CalcParseError = "ERROR D'AN\xC0LISIS";
inline constexpr std::string_view CalcCalculationError = "ERROR DE C\xC0LCUL";

// The returned line never grows past this many characters.
inline constexpr std::size_t MaxCalculatorLine = 255;

/// Returns text + " = " + the value or an error word (Windows-1252), cut to MaxCalculatorLine; X is 0.
std::string EvaluateExpressionText(std::string_view text);

} // namespace nq
