#include "calc/CalcFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

std::string Print(const char* format, long double v) {
  // 1.7e38 with six decimals needs under 50 characters.
  char buffer[96];
  const int length = std::snprintf(buffer, sizeof buffer, format, v);
  if (length < 0) return "0";
  return std::string(buffer, std::min(static_cast<std::size_t>(length), sizeof buffer - 1));
}

} // namespace

std::string FormatCalculatorNumber(Real48 value) {
  long double v = value.Value();
  if (v > TruncateAbove) v = std::trunc(v);
  const long double nearest = std::clamp(RoundHalfToEven(v), -WholeLimit, WholeLimit);
  if (v == nearest) return Print("%.0Lf", v);
  std::string text = Print("%.6Lf", v);
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
