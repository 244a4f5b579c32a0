#include "calc/Calculator.h"

#include "calc/CalcEvaluator.h"
#include "calc/CalcFormat.h"
#include "calc/CalcTokens.h"

namespace nq {

std::string EvaluateExpressionText(std::string_view text) {
  std::string line(text.substr(0, MaxCalculatorLine));
  line += " = ";
  if (const auto tokens = ParseExpression(text)) {
    // The calculate command has no variable to offer, so X is always 0.
    if (const auto value = EvaluateTokens(*tokens, Real48{})) {
      line += FormatCalculatorNumber(*value);
    } else {
      line += CalcCalculationError;
    }
  } else {
    line += CalcParseError;
  }
  if (line.size() > MaxCalculatorLine) line.resize(MaxCalculatorLine);
  return line;
}

} // namespace nq
