// check PATH: reports what would stop a board, or a folder of boards, from working in the player.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "authoring/BoardCheck.h"
#include "text/TextUtilities.h"
#include "tool/ToolCommands.h"
#include "tool/ToolSupport.h"

namespace nq::tool {
namespace {

namespace fs = std::filesystem;

bool IsBoardName(const fs::path& path) {
  return UpperAscii(path.extension().string()) == ".QDX";
}

} // namespace

int RunCheck(const Arguments& args) {
  if (args.size() != 1 || args[0].empty()) return Usage("usage: check BOARD.qdx|FOLDER");
  std::error_code error;
  const fs::path root = fs::absolute(args[0], error);
  if (error) return Usage("check: " + args[0] + ": " + error.message());
  std::vector<fs::path> boards;
  size_t problems = 0;
  if (fs::is_directory(root, error)) {
    for (auto it =
             fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
      if (error) break;
      if (!IsBoardName(it->path())) continue;
      if (it->is_regular_file(error)) {
        boards.push_back(it->path());
      } else if (!it->is_directory(error)) {
        std::printf("%s: not a readable board file (a broken link?)\n", it->path().string().c_str());
        ++problems;
      }
    }
    // A folder that could not be walked to the end must not pass for a clean one.
    if (error) {
      std::printf("%s: could not read the whole folder: %s\n", root.string().c_str(),
                  error.message().c_str());
      ++problems;
    }
  } else if (fs::exists(root, error)) {
    boards.push_back(root);
  } else {
    std::fprintf(stderr, "check: %s does not exist\n", args[0].c_str());
    return 1;
  }
  std::sort(boards.begin(), boards.end());
  for (const fs::path& board : boards) {
    for (const authoring::BoardProblem& problem : authoring::CheckBoardFile(board.string())) {
      std::printf("%s: %s\n", board.string().c_str(), authoring::DescribeProblem(problem).c_str());
      ++problems;
    }
  }
  std::printf("%zu boards checked, %zu problems\n", boards.size(), problems);
  return problems == 0 ? 0 : 1;
}

} // namespace nq::tool
