#include "actions/KeyCombination.h"

#include <limits>

#include "text/TextUtilities.h"

namespace nq {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// A decimal integer in the 32-bit range, with an optional sign; blanks around it are allowed.
std::optional<int64_t> ReadInteger(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
  }
  value = negative ? -value : value;
  if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return value;
}

} // namespace

std::optional<std::string> CutKeyCombinationList(std::string_view folded) {
  const size_t token = UpperAscii(folded).find(KeyCombinationToken);
  if (token == std::string::npos) return std::nullopt;
  size_t start = token + KeyCombinationToken.size();
  const size_t close = folded.find('>', start);
  if (close == std::string_view::npos) return std::nullopt;
  if (start < close && folded[start] == ' ') ++start;
  return std::string(folded.substr(start, close - start));
}

KeyCombinationList ParseKeyCombinationList(std::string_view list) {
  KeyCombinationList result;
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view item = TrimBlanks(list.substr(0, comma));
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    if (item.empty() || (item.front() != 'D' && item.front() != 'U')) continue;
    const std::string_view number = item.substr(1);
    const std::optional<int64_t> value = ReadInteger(number);
    if (!value) {
      result.BadNumber = std::string(number);
      break;
    }
    const auto key = static_cast<uint8_t>(static_cast<uint64_t>(*value) & 0xFF);
    if (key != 0) result.Events.push_back({key, item.front() == 'D'});
  }
  return result;
}

std::string NotAnIntegerMessage(std::string_view number) {
  return "'" + std::string(number) + "' is not a valid integer value";
}

} // namespace nq
