// The power and the functions of the calculator. Degree conversions use pi as 3.141593 on the
// way in (so SIG(30) is 0.5 but TAG(90) is a large finite value) and full precision on the way out.
#include <cmath>

#include "calc/CalcEvaluator.h"

namespace nq {
namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr long double ShortPi = 3.141593L;
constexpr long double HalfShortPi = 1.570796L;
constexpr long double ExpLimit = 88;
constexpr long double SmallestDivisor = 1e-19L;
constexpr long double SineMatch = 1e-5L;
// The processor's sine instruction gives up on arguments from 2^63 on; those count as 0.
constexpr long double LargestTrigArgument = 9223372036854775808.0L;
// Bounds the search for an odd multiple of pi whatever the exponent; no real exponent needs more.
constexpr int MaxOddMultiples = 1000000;

using Result = std::optional<Real48>;

long double Sine(long double x) {
  return std::fabs(x) < LargestTrigArgument ? std::sin(x) : 0;
}
long double Cosine(long double x) {
  return std::fabs(x) < LargestTrigArgument ? std::cos(x) : 0;
}
long double DegreesToRadians(long double x) {
  return x / 180 * ShortPi;
}
long double RadiansToDegrees(long double x) {
  return x * 180 * (1 / Pi);
}

Result WholePower(long double base, long double exponent) {
  Real48 r = *Real48::FromExtended(1);
  const long double times = std::fabs(exponent);
  for (long double i = 0; i < times; ++i) {
    if (r.Value() > CalcOperandLimit || base > CalcOperandLimit) return std::nullopt;
    const auto next = Real48::FromExtended(r.Value() * base);
    if (!next) return std::nullopt;
    r = *next;
  }
  if (exponent > 0) return r;
  if (!(r.Value() > SmallestDivisor)) return std::nullopt;
  return Real48::FromExtended(1 / r.Value());
}

Result ExpWithin(long double t) {
  if (!(-ExpLimit < t && t < ExpLimit)) return std::nullopt;
  return Real48::FromExtended(std::exp(t));
}

// A negative base has a real power when the exponent times an odd multiple of pi has a sine of
// about 0; the cosine of that angle then gives the sign: (-8)^(1/3) is -2, (-8)^0.5 has none.
Result NegativeBasePower(long double base, long double exponent) {
  const long double t = exponent * std::log(-base);
  for (int k = 0; k < MaxOddMultiples; ++k) {
    const long double s = exponent * Pi * (2 * k + 1);
    if (std::fabs(Sine(s)) < SineMatch) {
      if (!(-ExpLimit < t && t < ExpLimit)) return std::nullopt;
      return Real48::FromExtended(Cosine(s) * std::exp(t));
    }
    if (std::fabs(s) > 2 * Pi) break;
  }
  return std::nullopt;
}

Result Arcsine(long double x, bool degrees) {
  if (x == 1) return Real48::FromExtended(degrees ? 90 : HalfShortPi);
  if (x == -1) return Real48::FromExtended(degrees ? -90 : -HalfShortPi);
  const long double rest = 1 - x * x;
  if (rest < 0) return std::nullopt;
  const long double radians = std::atan(x / std::sqrt(rest));
  return Real48::FromExtended(degrees ? RadiansToDegrees(radians) : radians);
}

Result Arccosine(long double x, bool degrees) {
  const long double rest = 1 - x * x;
  if (rest < 0) return std::nullopt;
  if (x == 0) return Real48::FromExtended(degrees ? 90 : HalfShortPi);
  const long double angle = std::atan(std::sqrt(rest) / x);
  if (degrees) return Real48::FromExtended(RadiansToDegrees(angle) + (x < 0 ? 180 : 0));
  return Real48::FromExtended(angle + (x < 0 ? ShortPi : 0));
}

Result Tangent(long double x) {
  const long double cosine = Cosine(x);
  if (std::fabs(cosine) <= SmallestDivisor) return std::nullopt;
  return Real48::FromExtended(Sine(x) / cosine);
}

Result Logarithm(long double x, bool decimal) {
  if (x <= 0) return std::nullopt;
  return Real48::FromExtended(decimal ? std::log(x) / std::log(10.0L) : std::log(x));
}

} // namespace

Result CalcPower(Real48 base, Real48 exponent) {
  const long double b = base.Value();
  const long double a = exponent.Value();
  if (a == std::trunc(a) && a != 0 && std::fabs(a) < 100) return WholePower(b, a);
  if (b > 0) return ExpWithin(a * std::log(b));
  if (b == 0) {
    if (a > 0) return Real48{};
    return std::nullopt;
  }
  return NegativeBasePower(b, a);
}

Result ApplyCalcFunction(CalcCode function, Real48 value) {
  const long double x = value.Value();
  switch (function) {
  case CalcCode::Sin:
    return Real48::FromExtended(Sine(x));
  case CalcCode::Sig:
    return Real48::FromExtended(Sine(DegreesToRadians(x)));
  case CalcCode::Asi:
    return Arcsine(x, false);
  case CalcCode::Asg:
    return Arcsine(x, true);
  case CalcCode::Cos:
    return Real48::FromExtended(Cosine(x));
  case CalcCode::Cog:
    return Real48::FromExtended(Cosine(DegreesToRadians(x)));
  case CalcCode::Aco:
    return Arccosine(x, false);
  case CalcCode::Acg:
    return Arccosine(x, true);
  case CalcCode::Tan:
    return Tangent(x);
  case CalcCode::Tag:
    return Tangent(DegreesToRadians(x));
  case CalcCode::Ata:
    return Real48::FromExtended(std::atan(x));
  case CalcCode::Atg:
    return Real48::FromExtended(RadiansToDegrees(std::atan(x)));
  case CalcCode::Abs:
    return Real48::FromExtended(std::fabs(x));
  case CalcCode::Lne:
    return Logarithm(x, false);
  case CalcCode::Log:
    return Logarithm(x, true);
  case CalcCode::Exp:
    if (x <= -ExpLimit || x >= ExpLimit) return std::nullopt;
    return Real48::FromExtended(std::exp(x));
  case CalcCode::Alo:
    return CalcPower(*Real48::FromExtended(10), value);
  default:
    return std::nullopt;
  }
}

} // namespace nq
