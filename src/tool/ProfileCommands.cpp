#include <cstdio>

#include "tool/ToolCommands.h"

namespace nq::tool {

int RunGet(const Arguments&) {
  std::fputs("nexoquadrix-tool: this command is not available in this build\n", stderr);
  return 2;
}

} // namespace nq::tool

namespace nq::tool {

int RunSet(const Arguments&) {
  std::fputs("nexoquadrix-tool: this command is not available in this build\n", stderr);
  return 2;
}

} // namespace nq::tool
