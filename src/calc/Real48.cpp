#include "calc/Real48.h"

#include <cmath>

namespace nq {
namespace {

constexpr int FractionBits = 39;
// frexp exponents (value = m * 2^e, 0.5 <= m < 1) that the 8-bit biased exponent can hold.
constexpr int LowestExponent = -127;
constexpr int HighestExponent = 127;

} // namespace

std::optional<Real48> Real48::FromExtended(long double value) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0) return Real48{};
  int exponent = 0;
  const long double fraction = std::frexp(std::fabs(value), &exponent);
  // The leading bit plus 39 fraction bits: scaled lies in [2^39, 2^40), exactly.
  const long double scaled = std::ldexp(fraction, FractionBits + 1);
  long double whole = std::floor(scaled);
  const long double rest = scaled - whole;
  if (rest > 0.5L || (rest == 0.5L && std::fmod(whole, 2.0L) != 0)) whole += 1;
  if (whole == std::ldexp(1.0L, FractionBits + 1)) {
    whole = std::ldexp(1.0L, FractionBits);
    ++exponent;
  }
  if (exponent > HighestExponent) return std::nullopt;
  if (exponent < LowestExponent) return Real48{};
  const long double magnitude = std::ldexp(whole, exponent - FractionBits - 1);
  return Real48(value < 0 ? -magnitude : magnitude);
}

} // namespace nq
