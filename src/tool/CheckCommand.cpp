// check PATH: reports what would stop a board, or a folder of boards, from working in the player.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <cstdlib>

#include "actions/CellCommands.h"
#include "actions/CommandTokens.h"
#include "actions/ExecutarCommand.h"
#include "actions/OutsideCommands.h"
#include "boards/BoardFile.h"
#include "boards/PathResolver.h"
#include "boards/PictureLoader.h"
#include "settings/ProfileFile.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"
#include "tool/ToolCommands.h"
#include "tool/ToolSupport.h"

namespace nq::tool {
namespace {

namespace fs = std::filesystem;

class BoardChecker {
public:
  explicit BoardChecker(const fs::path& file) : File(file) {}

  // Cells whose commands reach outside the player, with what each would run: read before trusting.
  std::vector<std::string> Outside;

  std::vector<std::string> Run() {
    PrintingDialogs dialogs(false);
    Board board;
    BoardFile reader(board, dialogs);
    if (!reader.ReadBoardFile(LocalNameToWindows1252(File.string()))) {
      Problem(dialogs.Messages.empty()
                  ? "refused: not a board of this program (its [Quadrix] header is wrong)"
                  : "refused: " + Windows1252ToUtf8(dialogs.Messages.front()));
      return Problems;
    }
    CheckGrid(ProfileFile(reader.PathOnDisk()));
    const std::string folder = reader.FolderOnDisk();
    for (int32_t n = 1; n <= board.CellCount(); ++n) {
      const CellPosition at = CellNumberToPosition(n, board.Columns);
      CheckCell(n, board.Cell(at.Column, at.Row), folder);
      ListOutside(n, board.Cell(at.Column, at.Row).SpecialFunction, folder, reader.PathOnDisk());
    }
    CheckSectionsBeyondGrid(board.CellCount());
    return Problems;
  }

private:
  void Problem(const std::string& utf8) { Problems.push_back(utf8); }

  // The player opens a board whose grid size is missing or malformed with one column or row, and a
  // negative size with no cells at all: both are the author's mistake and worth saying.
  void CheckGrid(const ProfileFile& file) {
    for (const char* key : {"Columns", "Rows"}) {
      const std::optional<std::string> text = file.ReadValue("Grid", key);
      const std::string name = std::string("grid: ") + key;
      if (!text) {
        Problem(name + " is missing; the board opens with 1");
      } else if (const std::optional<int32_t> value = ParseProfileInteger(*text); !value) {
        Problem(name + " \"" + Windows1252ToUtf8(text->substr(0, 40)) +
                "\" is not a number; the board opens with 1");
      } else if (*value < 0) {
        Problem(name + " is " + std::to_string(*value) + "; the board shows no cells");
      }
    }
  }

  void CheckCell(int32_t n, const CellRecord& cell, const std::string& folder) {
    const std::string where = "cell " + std::to_string(n) + ": ";
    if (!cell.Picture.empty()) {
      const std::optional<std::string> path = FindBoardPath(folder, cell.Picture);
      if (!path)
        Problem(where + "missing picture " + Windows1252ToUtf8(cell.Picture));
      else if (!LoadPictureFile(*path, cell.Picture, {64, nullptr}))
        Problem(where + "picture cannot be shown " + Windows1252ToUtf8(cell.Picture));
    }
    if (cell.Read.size() >= 4 && UpperAscii(cell.Read.substr(cell.Read.size() - 4)) == ".WAV" &&
        !FindBoardPath(folder, cell.Read))
      Problem(where + "missing sound " + Windows1252ToUtf8(cell.Read));
    // A link may carry up to two "#" marks that are not part of the file name.
    std::string link = cell.Link;
    for (int i = 0; i < 2; ++i)
      if (const size_t hash = link.find('#'); hash != std::string::npos) link.erase(hash, 1);
    if (!link.empty()) {
      const std::optional<std::string> target = FindBoardPath(folder, link);
      std::error_code error;
      if (!target)
        Problem(where + "link to a missing board " + Windows1252ToUtf8(cell.Link));
      else if (!fs::is_regular_file(*target, error) ||
               UpperAscii(fs::path(*target).extension().string()) != ".QDX")
        Problem(where + "link to something that is not a board " + Windows1252ToUtf8(cell.Link));
    }
    if (!cell.SpecialFunction.empty() && !IsKnownCommandToken(cell.SpecialFunction))
      Problem(where + "unknown special function " + Windows1252ToUtf8(cell.SpecialFunction));
  }

  void ListOutside(int32_t n, const std::string& text, const std::string& folderUtf8,
                   const std::string& boardUtf8) {
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
    Outside.push_back("cell " + std::to_string(n) + ": reaches outside: " + what);
  }

  void CheckSectionsBeyondGrid(int32_t cellCount) {
    std::ifstream in(File, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      std::string text = UpperAscii(line);
      text.erase(0, text.find_first_not_of(" \t"));
      if (text.rfind("[CELL ", 0) != 0) continue;
      const long number = std::strtol(text.c_str() + 6, nullptr, 10);
      if (number > cellCount)
        Problem("section [Cell " + std::to_string(number) + "] lies beyond the grid of " +
                std::to_string(cellCount) + " cells");
    }
  }

  fs::path File;
  std::vector<std::string> Problems;
};

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
  size_t outside = 0;
  for (const fs::path& board : boards) {
    BoardChecker checker(board);
    for (const std::string& problem : checker.Run()) {
      std::printf("%s: %s\n", board.string().c_str(), problem.c_str());
      ++problems;
    }
    for (const std::string& command : checker.Outside) {
      std::printf("%s: %s\n", board.string().c_str(), command.c_str());
      ++outside;
    }
  }
  std::printf("%zu boards checked, %zu problems, %zu commands reach outside the player\n", boards.size(),
              problems, outside);
  return problems == 0 ? 0 : 1;
}

} // namespace nq::tool
