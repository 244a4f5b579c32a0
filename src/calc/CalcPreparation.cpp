#include <algorithm>
#include <array>
#include <utility>

#include "calc/CalcTokens.h"
#include "text/TextUtilities.h"

namespace nq {
namespace {

// Past this length the prepared text cannot be read (the old 255-character string limit).
constexpr std::size_t MaxPreparedLength = 254;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsOperatorChar(char c) {
  return c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}
bool IsFunctionLetter(char c) {
  return c == 'S' || c == 'C' || c == 'T' || c == 'A' || c == 'L';
}

using Substitution = std::pair<std::string_view, std::string_view>;

// Tried in this order at each position; the scan resumes after the replaced text.
constexpr std::array<Substitution, 9> Substitutions = {{
    {"EXP(", "ALN("},
    {"PI", "3.141593"},
    {"P", "3.141593"},
    {"NE", "2.718282"},
    {"SEN(", "SIN("},
    {"ASE(", "ASI("},
    {"SEG(", "SIG("},
    {",", "."},
    {"'", "."},
}};

// A digit directly followed by one of the given characters gets a "*" in between.
void InsertProducts(std::string& text, std::string_view followers) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (IsDigit(text[i]) && followers.find(text[i + 1]) != std::string_view::npos) text.insert(i + 1, 1, '*');
  }
}

std::optional<std::string> Substitute(std::string_view text) {
  std::string result;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::string_view rest = text.substr(pos);
    const auto rule = std::find_if(Substitutions.begin(), Substitutions.end(),
                                   [rest](const Substitution& s) { return rest.starts_with(s.first); });
    if (rule == Substitutions.end()) {
      result.push_back(text[pos]);
      ++pos;
    } else {
      result.append(rule->second);
      pos += rule->first.size();
    }
    if (result.size() > MaxPreparedLength) return std::nullopt;
  }
  return result;
}

// Tracks whether the current run of digits and points already holds a point.
class PointRun {
public:
  /// Feeds one character; false when it is a second point of the same run.
  bool Accept(char c) {
    if (c == '.') {
      if (HasPoint) return false;
      HasPoint = true;
    } else if (!IsDigit(c)) {
      HasPoint = false;
    }
    return true;
  }

private:
  bool HasPoint = false;
};

bool CharacterFitsNeighbours(char p, char c, char next) {
  if (IsOperatorChar(p) && (IsOperatorChar(c) || c == ')')) return false;
  if (p == '(' && (c == '*' || c == '/' || c == '^' || c == ')')) return false;
  if (p == 'X' && (c == 'X' || IsDigit(c) || c == '.')) return false;
  if ((IsDigit(p) || p == '.' || p == 'X') && (c == 'X' || c == '(' || IsFunctionLetter(c))) return false;
  if (p == ')' && (IsDigit(c) || c == '.' || c == 'X' || IsFunctionLetter(c))) return false;
  if (c == '.' && !IsDigit(p) && !IsDigit(next)) return false;
  if (c == '.' && p == '.') return false;
  return true;
}

} // namespace

// Blanks go before the implicit products are inserted, so "2 PI" reads as 2*PI like "2PI" does
// instead of gluing the digits into 23.141593.
std::optional<std::string> PrepareExpressionText(std::string_view text) {
  if (text.size() > MaxExpressionLength) return std::nullopt;
  std::string upper = "(" + UpperAscii(text) + ")";
  if (upper.find_first_of("YZUV") != std::string::npos) return std::nullopt;
  RemoveBlanks(upper);
  InsertProducts(upper, "PN");
  auto prepared = Substitute(upper);
  if (!prepared) return std::nullopt;
  // X followed by a function name gets no product: the character check refuses it.
  InsertProducts(*prepared, "(XSCTAL");
  if (*prepared == "()" || prepared->size() > MaxPreparedLength) return std::nullopt;
  return prepared;
}

bool CheckExpressionCharacters(std::string_view prepared) {
  PointRun run;
  for (std::size_t i = 1; i + 1 < prepared.size(); ++i) {
    if (!CharacterFitsNeighbours(prepared[i - 1], prepared[i], prepared[i + 1])) return false;
    if (!run.Accept(prepared[i])) return false;
  }
  return true;
}

} // namespace nq
