#include <cstdio>

#include "tool/ToolCommands.h"

namespace nq::tool {

int RunPrint(const Arguments&) {
  std::fputs("nexoquadrix-tool: this command is not available in this build\n", stderr);
  return 2;
}

} // namespace nq::tool
