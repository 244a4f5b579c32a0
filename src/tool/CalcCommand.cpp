#include <cstdio>
#include <string>

#include "calc/Calculator.h"
#include "text/Encoding.h"
#include "tool/ToolCommands.h"

namespace nq::tool {

// The arguments are joined with blanks, as the shell split them from one typed expression.
int RunCalc(const Arguments& args) {
  std::string expression;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) expression += ' ';
    expression += args[i];
  }
  const std::string line = Windows1252ToUtf8(EvaluateExpressionText(Utf8ToWindows1252(expression))) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  return 0;
}

} // namespace nq::tool
