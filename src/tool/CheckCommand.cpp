// check PATH: reports what would stop a board, or a folder of boards, from working in the player.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <cstdlib>

#include "actions/CellCommands.h"
#include "actions/ExecutarCommand.h"
#include "actions/OutsideCommands.h"
#include "authoring/BoardCheck.h"
#include "boards/BoardFile.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"
#include "tool/ToolCommands.h"
#include "tool/ToolSupport.h"

namespace nq::tool {
namespace {

namespace fs = std::filesystem;

bool IsBoardName(const fs::path& path) {
  return UpperAscii(path.extension().string()) == ".QDX";
}

void ListOutside(int32_t n, const std::string& text, const std::string& folderUtf8,
                 const std::string& boardUtf8, std::vector<std::string>& outside) {
  if (!ReachesOutside(text)) return;
  std::string what;
  if (ContainsIgnoringCase(ExecutarToken, text)) {
    const char* path = std::getenv("PATH");
    std::string folder = Utf8ToWindows1252(folderUtf8);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const LaunchPlan plan = PlanExecutar(text, folder, path ? path : "");
    if (plan.Kind == LaunchKind::Nothing)
      what = "nothing here (no such program or document): " + Windows1252ToUtf8(text);
    else if (plan.Kind == LaunchKind::Refused)
      what = "would not start, others can change " + plan.Target + ": " + Windows1252ToUtf8(text);
    else
      what = Windows1252ToUtf8(CellCommands::DescribeOutside(text, &plan, {}));
  } else {
    what = Windows1252ToUtf8(CellCommands::DescribeOutside(text, nullptr, Utf8ToWindows1252(boardUtf8)));
  }
  // One line per cell: the question's line breaks become " | ".
  for (size_t at = what.find('\n'); at != std::string::npos; at = what.find('\n', at))
    what.replace(at, 1, " | ");
  outside.push_back("cell " + std::to_string(n) + ": reaches outside: " + what);
}

// Cells whose commands reach outside the player, with what each would run: read before trusting.
std::vector<std::string> OutsideCommands(const fs::path& file) {
  std::vector<std::string> outside;
  PrintingDialogs dialogs(false);
  Board board;
  BoardFile reader(board, dialogs);
  if (!reader.ReadBoardFile(LocalNameToWindows1252(file.string()))) return outside;
  const std::string folder = reader.FolderOnDisk();
  for (int32_t n = 1; n <= board.CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, board.Columns);
    ListOutside(n, board.Cell(at.Column, at.Row).SpecialFunction, folder, reader.PathOnDisk(), outside);
  }
  return outside;
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
  size_t outside = 0;
  for (const fs::path& board : boards) {
    for (const authoring::BoardProblem& problem : authoring::CheckBoardFile(board.string())) {
      std::printf("%s: %s\n", board.string().c_str(), authoring::DescribeProblem(problem).c_str());
      ++problems;
    }
    const std::vector<std::string> commands = OutsideCommands(board);
    for (const std::string& command : commands) {
      std::printf("%s: %s\n", board.string().c_str(), command.c_str());
      ++outside;
    }
    // Trusting the folder would not cover such a board: the player asks about it every time.
    if (!commands.empty() &&
        (!ClosedToOthers(board.string()) || !ClosedToOthers(board.parent_path().string())))
      std::printf("%s: others can change this board or its folder: its commands are asked about even in "
                  "a trusted folder\n",
                  board.string().c_str());
  }
  std::printf("%zu boards checked, %zu problems, %zu commands reach outside the player\n", boards.size(),
              problems, outside);
  return problems == 0 ? 0 : 1;
}

} // namespace nq::tool
