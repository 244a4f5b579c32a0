#pragma once
// The calculator's number: a 6-byte real with an 8-bit exponent and a 39-bit fraction plus sign,
// magnitudes from 2^-128 (about 2.9e-39) to just under 2^127 (about 1.7e38). Arithmetic runs in
// extended precision and every stored result is rounded to this type, which is what makes
// LOG(1000) come out as exactly 3.
#include <optional>

namespace nq {

class Real48 {
public:
  constexpr Real48() = default;

  /// Rounds to the nearest 6-byte real (ties to even); a magnitude below the range gives 0,
  /// one above it, an infinity or a NaN gives nothing.
  static std::optional<Real48> FromExtended(long double value);

  /// The stored value, exactly.
  constexpr long double Value() const { return Stored; }

  friend constexpr bool operator==(Real48 a, Real48 b) { return a.Stored == b.Stored; }

private:
  constexpr explicit Real48(long double exact) : Stored(exact) {}

  long double Stored = 0;
};

} // namespace nq
