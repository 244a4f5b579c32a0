#pragma once
// JSON parsed with a ceiling on the values it builds: a few kilobytes of zip can unpack into
// millions of tiny values, each an allocation, so the count stops a parse long before memory does.
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string_view>

#include "exchange/ObfReader.h"

namespace nq::exchange {

struct JsonOverBudget : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// Parses `json` (nlohmann's parse errors pass through), throwing JsonOverBudget at the first value
/// beyond `cap` or beyond what `budget` (when given) has left.
nlohmann::json ParseCountedJson(std::string_view json, std::size_t cap, JsonBudget* budget);

} // namespace nq::exchange
