// The three number rules of profile values. None of them overflows: the integer and strict rules
// refuse a number outside the signed 32-bit range, and the lenient rule saturates at its bounds
// (every caller range-checks the result, so a saturated value falls back to its default).
#include <cstdint>
#include <limits>

#include "settings/ProfileFile.h"

namespace nq {

namespace {

constexpr int64_t Int32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t Int32Min = std::numeric_limits<int32_t>::min();

int DigitValue(char c, int base) {
  int digit = -1;
  if (c >= '0' && c <= '9')
    digit = c - '0';
  else if (c >= 'a' && c <= 'f')
    digit = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    digit = c - 'A' + 10;
  return digit < base ? digit : -1;
}

struct DigitRun {
  int64_t Magnitude = 0; // capped just above the int32 range, so it never overflows
  std::size_t Count = 0; // digits consumed
  bool TooLarge = false;
};

// Reads digits of the base from the start of text, stopping at the first other character.
DigitRun ReadDigits(std::string_view text, int base) {
  DigitRun run;
  for (char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) break;
    ++run.Count;
    if (!run.TooLarge) {
      run.Magnitude = run.Magnitude * base + digit;
      if (run.Magnitude > Int32Max + 1) run.TooLarge = true;
    }
  }
  return run;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The shared front of the lenient and strict rules: blanks, then a sign or "$", then digits.
struct LooseNumber {
  DigitRun Digits;
  bool Negative = false;
  bool Trailing = false; // characters follow the digits
};

LooseNumber ReadLooseNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  LooseNumber number;
  int base = 10;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    number.Negative = text.front() == '-';
    text.remove_prefix(1);
  } else if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  number.Digits = ReadDigits(text, base);
  number.Trailing = number.Digits.Count < text.size();
  return number;
}

} // namespace

std::optional<int32_t> ParseProfileInteger(std::string_view text) {
  int base = 10;
  bool negative = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const DigitRun run = ReadDigits(text, base);
  if (run.Count == 0 || run.Count != text.size() || run.TooLarge) return std::nullopt;
  const int64_t value = negative ? -run.Magnitude : run.Magnitude;
  if (value < Int32Min || value > Int32Max) return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t ParseLenientNumber(std::string_view text) {
  const LooseNumber number = ReadLooseNumber(text);
  if (number.Digits.Count == 0) return 0;
  // A number followed by other characters keeps its digits but loses its sign.
  const bool negative = number.Negative && !number.Trailing;
  if (number.Digits.TooLarge || number.Digits.Magnitude > Int32Max)
    return negative ? static_cast<int32_t>(Int32Min) : static_cast<int32_t>(Int32Max);
  return static_cast<int32_t>(negative ? -number.Digits.Magnitude : number.Digits.Magnitude);
}

std::optional<int32_t> ParseStrictNumber(std::string_view text) {
  const LooseNumber number = ReadLooseNumber(text);
  if (number.Digits.Count == 0 || number.Trailing || number.Digits.TooLarge) return std::nullopt;
  const int64_t value = number.Negative ? -number.Digits.Magnitude : number.Digits.Magnitude;
  if (value < Int32Min || value > Int32Max) return std::nullopt;
  return static_cast<int32_t>(value);
}

} // namespace nq
