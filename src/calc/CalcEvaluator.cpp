#include "calc/CalcEvaluator.h"

#include <algorithm>
#include <cmath>

namespace nq {
namespace {

constexpr long double SmallestDivisor = 1e-19L;

bool Below(Real48 value, long double limit) {
  return std::fabs(value.Value()) < limit;
}

std::optional<Real48> ApplyOperator(CalcCode op, Real48 left, Real48 right) {
  const long double a = left.Value();
  const long double b = right.Value();
  switch (op) {
  case CalcCode::Power:
    return CalcPower(left, right);
  case CalcCode::Times:
    if (!Below(left, CalcOperandLimit) || !Below(right, CalcOperandLimit)) return std::nullopt;
    return Real48::FromExtended(a * b);
  case CalcCode::Divide:
    if (b == 0 || !Below(left, CalcOperandLimit) || !(std::fabs(b) > SmallestDivisor)) return std::nullopt;
    return Real48::FromExtended(a / b);
  case CalcCode::Plus:
  case CalcCode::Minus:
    if (!Below(left, CalcOperandLimit) || !Below(right, CalcOperandLimit)) return std::nullopt;
    return Real48::FromExtended(op == CalcCode::Plus ? a + b : a - b);
  default:
    return std::nullopt;
  }
}

// Applies every operator of one rank from left to right, each replacing "left op right" by its value.
bool ApplyRank(CalcTokenList& group, CalcCode first, CalcCode second) {
  std::size_t i = 0;
  while (i < group.size()) {
    const CalcCode code = group[i].Code;
    if (code != first && code != second) {
      ++i;
      continue;
    }
    if (i == 0 || i + 1 >= group.size() || group[i - 1].Code != CalcCode::Number ||
        group[i + 1].Code != CalcCode::Number)
      return false;
    const auto value = ApplyOperator(code, group[i - 1].Number, group[i + 1].Number);
    if (!value) return false;
    group[i - 1].Number = *value;
    group.erase(group.begin() + static_cast<std::ptrdiff_t>(i),
                group.begin() + static_cast<std::ptrdiff_t>(i + 2));
  }
  return true;
}

std::optional<Real48> ReduceGroup(CalcTokenList group) {
  if (!ApplyRank(group, CalcCode::Power, CalcCode::Power) ||
      !ApplyRank(group, CalcCode::Times, CalcCode::Divide) ||
      !ApplyRank(group, CalcCode::Plus, CalcCode::Minus))
    return std::nullopt;
  if (group.size() != 1 || group.front().Code != CalcCode::Number) return std::nullopt;
  return group.front().Number;
}

// Reduces the innermost group (the last "(" before the first ")") to one number token,
// applying the function in front of it if there is one.
bool ReduceInnermostGroup(CalcTokenList& tokens, std::size_t close) {
  std::size_t open = close;
  while (open > 0 && tokens[open - 1].Code != CalcCode::Open)
    --open;
  if (open == 0) return false;
  --open;
  const auto first = tokens.begin() + static_cast<std::ptrdiff_t>(open);
  const auto last = tokens.begin() + static_cast<std::ptrdiff_t>(close);
  auto value = ReduceGroup(CalcTokenList(first + 1, last));
  if (!value) return false;
  tokens.erase(first + 1, last + 1);
  tokens[open] = {CalcCode::Number, *value};
  if (open > 0 && IsCalcFunction(tokens[open - 1].Code)) {
    value = ApplyCalcFunction(tokens[open - 1].Code, *value);
    if (!value) return false;
    tokens[open - 1] = {CalcCode::Number, *value};
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(open));
  }
  return true;
}

} // namespace

std::optional<Real48> EvaluateTokens(const CalcTokenList& tokens, Real48 x) {
  CalcTokenList work = tokens;
  for (auto& token : work) {
    if (token.Code == CalcCode::Variable) token = {CalcCode::Number, x};
  }
  while (true) {
    const auto close =
        std::find_if(work.begin(), work.end(), [](const CalcToken& t) { return t.Code == CalcCode::Close; });
    if (close == work.end()) break;
    if (!ReduceInnermostGroup(work, static_cast<std::size_t>(close - work.begin()))) return std::nullopt;
  }
  if (work.size() != 1 || work.front().Code != CalcCode::Number) return std::nullopt;
  if (std::fabs(work.front().Number.Value()) > CalcOperandLimit) return std::nullopt;
  return work.front().Number;
}

} // namespace nq
