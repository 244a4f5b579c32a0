#include "calc/CalcFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace nq {
namespace {

constexpr long double TruncateAbove = 100000;
constexpr long double WholeLimit = 2000000000;

long double RoundHalfToEven(long double v) {
  const long double below = std::floor(v);
  const long double rest = v - below;
  if (rest > 0.5L) return below + 1;
  if (rest < 0.5L) return below;
  return std::fmod(below, 2.0L) == 0 ? below : below + 1;
}

// Fixed notation with the given decimals and a "." whatever the process's locale: the player runs
// under Catalan and Spanish desktops, whose printf would write "," and break the separator swap below.
std::string Print(int decimals, long double v) {
  // 1.7e38 with six decimals needs under 50 characters.
  char buffer[96];
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

} // namespace

std::string FormatCalculatorNumber(Real48 value) {
  long double v = value.Value();
  if (v > TruncateAbove) v = std::trunc(v);
  const long double nearest = std::clamp(RoundHalfToEven(v), -WholeLimit, WholeLimit);
  if (v == nearest) return Print(0, v);
  std::string text = Print(6, v);
  while (!text.empty() && text.back() == '0')
    text.pop_back();
  if (!text.empty() && text.back() == '.') {
    text.pop_back();
  } else {
    std::replace(text.begin(), text.end(), '.', ',');
  }
  // A tiny negative value rounds to zero; it reads as 0, not "-0".
  if (text == "-0") return "0";
  return text;
}

} // namespace nq
