// get and set: read or write one value of a profile file (board, settings, Quadrix.ini) exactly as
// the player does, so a teacher can change an option across a folder of boards from a script.
#include <cstdio>
#include <string>

#include "settings/ProfileFile.h"
#include "text/Encoding.h"
#include "tool/ToolCommands.h"
#include "tool/ToolSupport.h"

namespace nq::tool {

int RunGet(const Arguments& args) {
  if (args.size() != 3) return Usage("usage: get FILE SECTION KEY");
  const ProfileFile file(args[0]);
  const std::optional<std::string> value =
      file.ReadValue(Utf8ToWindows1252(args[1]), Utf8ToWindows1252(args[2]));
  if (!value) {
    std::fprintf(stderr, "nexoquadrix-tool: no key \"%s\" in section \"%s\" of %s\n", args[2].c_str(),
                 args[1].c_str(), args[0].c_str());
    return 1;
  }
  const std::string text = Windows1252ToUtf8(*value) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

int RunSet(const Arguments& args) {
  if (args.size() != 4) return Usage("usage: set FILE SECTION KEY VALUE");
  ProfileFile file(args[0]);
  if (!file.WriteText(Utf8ToWindows1252(args[1]), Utf8ToWindows1252(args[2]), Utf8ToWindows1252(args[3]))) {
    std::fprintf(stderr,
                 "nexoquadrix-tool: could not write %s (read-only file or folder, missing folder, or a "
                 "name or value with a line break)\n",
                 args[0].c_str());
    return 1;
  }
  return 0;
}

} // namespace nq::tool
