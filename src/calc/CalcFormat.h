#pragma once
#include <string>

#include "calc/Real48.h"

namespace nq {

/// Writes a result the way a pupil reads it: whole numbers without decimals, others with up to
/// six decimals and a decimal comma; values above 100000 lose their fraction.
std::string FormatCalculatorNumber(Real48 value);

} // namespace nq
