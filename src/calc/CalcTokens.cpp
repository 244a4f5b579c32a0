#include "calc/CalcTokens.h"

#include <array>
#include <cstdint>

namespace nq {
namespace {

struct FunctionName {
  std::string_view Written; // as it stands in the prepared text, "(" included
  CalcCode Code;
};

constexpr std::array<FunctionName, 17> FunctionNames = {{
    {"SIN(", CalcCode::Sin},
    {"SIG(", CalcCode::Sig},
    {"ASI(", CalcCode::Asi},
    {"ASG(", CalcCode::Asg},
    {"COS(", CalcCode::Cos},
    {"COG(", CalcCode::Cog},
    {"ACO(", CalcCode::Aco},
    {"ACG(", CalcCode::Acg},
    {"TAN(", CalcCode::Tan},
    {"TAG(", CalcCode::Tag},
    {"ATA(", CalcCode::Ata},
    {"ATG(", CalcCode::Atg},
    {"ABS(", CalcCode::Abs},
    {"LN(", CalcCode::Lne},
    {"LOG(", CalcCode::Log},
    {"ALN(", CalcCode::Exp},
    {"ALO(", CalcCode::Alo},
}};

// A number may be written with at most this many characters.
constexpr std::size_t MaxNumberLength = 19;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<CalcCode> DelimiterCode(char c) {
  switch (c) {
  case '(':
    return CalcCode::Open;
  case ')':
    return CalcCode::Close;
  case '+':
    return CalcCode::Plus;
  case '-':
    return CalcCode::Minus;
  case '*':
    return CalcCode::Times;
  case '/':
    return CalcCode::Divide;
  case '^':
    return CalcCode::Power;
  default:
    return std::nullopt;
  }
}

// Digits with at most one point and at least one digit ("2.", ".5" and "2.5" all read).
std::optional<Real48> ReadDecimal(std::string_view text) {
  if (text.empty() || text.size() > MaxNumberLength) return std::nullopt;
  std::uint64_t digits = 0;
  int decimals = 0;
  bool seenPoint = false;
  bool seenDigit = false;
  for (const char c : text) {
    if (c == '.') {
      if (seenPoint) return std::nullopt;
      seenPoint = true;
    } else if (IsDigit(c)) {
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0'); // 19 digits fit in 64 bits
      decimals += seenPoint ? 1 : 0;
      seenDigit = true;
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  long double scale = 1;
  for (int i = 0; i < decimals; ++i)
    scale *= 10; // powers of ten up to 10^19 are exact
  return Real48::FromExtended(static_cast<long double>(digits) / scale);
}

std::optional<CalcCode> ReadFunctionName(std::string_view rest, std::size_t& length) {
  for (const auto& name : FunctionNames) {
    if (rest.starts_with(name.Written)) {
      length = name.Written.size();
      return name.Code;
    }
  }
  return std::nullopt;
}

// Builds the token list while tracking the depth of parentheses.
class Cutter {
public:
  explicit Cutter(std::string_view text) : Text(text) {}

  std::optional<CalcTokenList> Run() {
    std::size_t pos = 0;
    while (pos < Text.size()) {
      if (!Step(pos)) return std::nullopt;
    }
    if (!Pending.empty() || Depth != 0) return std::nullopt;
    return std::move(Tokens);
  }

private:
  bool Step(std::size_t& pos) {
    const char c = Text[pos];
    if (IsDigit(c) || c == '.') {
      Pending = Text.substr(pos - Pending.size(), Pending.size() + 1);
      ++pos;
      return true;
    }
    if (const auto code = DelimiterCode(c)) {
      if (!FlushNumber() || !Push(*code) || !Track(*code, pos)) return false;
      ++pos;
      return true;
    }
    if (!Pending.empty()) return false;
    if (c == 'X') {
      ++pos;
      return Push(CalcCode::Variable);
    }
    std::size_t length = 0;
    const auto function = ReadFunctionName(Text.substr(pos), length);
    if (!function || !Push(*function) || !Push(CalcCode::Open) || !Track(CalcCode::Open, pos)) return false;
    pos += length;
    return true;
  }

  bool FlushNumber() {
    if (Pending.empty()) return true;
    const auto value = ReadDecimal(Pending);
    Pending = {};
    return value && Push(CalcCode::Number, *value);
  }

  bool Push(CalcCode code, Real48 number = {}) {
    if (Tokens.size() >= MaxCalcTokens) return false;
    Tokens.push_back({code, number});
    return true;
  }

  // A ")" may close the outermost group only as the very last character.
  bool Track(CalcCode code, std::size_t pos) {
    if (code == CalcCode::Open) ++Depth;
    if (code != CalcCode::Close) return true;
    --Depth;
    return Depth > 0 || (Depth == 0 && pos + 1 == Text.size());
  }

  std::string_view Text;
  std::string_view Pending;
  CalcTokenList Tokens;
  int Depth = 0;
};

bool StartsOperand(CalcCode code) {
  return code == CalcCode::Number || code == CalcCode::Variable || code == CalcCode::Open ||
         IsCalcFunction(code);
}

} // namespace

std::string_view CalcCodeText(CalcCode code) {
  static constexpr std::array<std::string_view, 26> Texts = {
      "",    "(",   ")",   "+",   "-",   "*",   "/",   "^",   "X",   "SIN", "SIG", "ASI", "ASG",
      "COS", "COG", "ACO", "ACG", "TAN", "TAG", "ATA", "ATG", "ABS", "LNE", "LOG", "EXP", "ALO"};
  return Texts[static_cast<std::size_t>(code)];
}

bool IsCalcOperator(CalcCode code) {
  return code == CalcCode::Plus || code == CalcCode::Minus || code == CalcCode::Times ||
         code == CalcCode::Divide || code == CalcCode::Power;
}

bool IsCalcFunction(CalcCode code) {
  return code >= CalcCode::Sin;
}

std::optional<CalcTokenList> CutIntoTokens(std::string_view prepared) {
  return Cutter(prepared).Run();
}

bool CheckTokens(CalcTokenList& tokens) {
  std::size_t i = 0;
  while (i < tokens.size()) {
    const CalcCode code = tokens[i].Code;
    const bool hasNext = i + 1 < tokens.size();
    const CalcCode next = hasNext ? tokens[i + 1].Code : CalcCode::Close;
    // Covers an operator before ")", "+", "-", "*" or "/", and anything else that is no operand.
    if (IsCalcOperator(code) && (!hasNext || !StartsOperand(next))) return false;
    if (code == CalcCode::Open) {
      if (next == CalcCode::Times || next == CalcCode::Divide || next == CalcCode::Close) return false;
      if (i > 0 && tokens[i - 1].Code == CalcCode::Close) return false;
      if (next == CalcCode::Plus) {
        tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i + 1));
        continue; // look at the new neighbour of this "(" again
      }
      if (next == CalcCode::Minus) {
        // A leading minus multiplies the product or power that follows it: -2^2 is -4.
        if (tokens.size() >= MaxCalcTokens) return false;
        tokens[i + 1] = {CalcCode::Number, *Real48::FromExtended(-1)};
        tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(i + 2), {CalcCode::Times, {}});
      }
    }
    ++i;
  }
  return true;
}

std::optional<CalcTokenList> ParseExpression(std::string_view text) {
  const auto prepared = PrepareExpressionText(text);
  if (!prepared || !CheckExpressionCharacters(*prepared)) return std::nullopt;
  auto tokens = CutIntoTokens(*prepared);
  if (!tokens || !CheckTokens(*tokens)) return std::nullopt;
  return tokens;
}

} // namespace nq
