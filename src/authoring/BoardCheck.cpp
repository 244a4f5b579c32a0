#include "authoring/BoardCheck.h"

#include <filesystem>
#include <fstream>

#include "actions/CommandTokens.h"
#include "boards/BoardFile.h"
#include "boards/PathResolver.h"
#include "boards/PictureLoader.h"
#include "platform/Dialogs.h"
#include "settings/ProfileFile.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace nq::authoring {
namespace {

namespace fs = std::filesystem;

class CollectingDialogs : public Dialogs {
public:
  void ShowMessage(const std::string& text, MessageIcon, const std::string&) override {
    Messages.push_back(text);
  }
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::vector<std::string> Messages; // Windows-1252
};

// The player opens a board whose grid size is missing or malformed with one column or row, and a
// negative size with no cells at all: both are the author's mistake and worth saying.
void CheckGrid(const ProfileFile& file, std::vector<BoardProblem>& problems) {
  for (const char* key : {"Columns", "Rows"}) {
    const std::optional<std::string> text = file.ReadValue("Grid", key);
    if (!text) {
      problems.push_back({ProblemKind::GridKeyMissing, 0, key, {}});
    } else if (const std::optional<int32_t> value = ParseProfileInteger(*text); !value) {
      problems.push_back({ProblemKind::GridKeyNotNumber, 0, key, Windows1252ToUtf8(text->substr(0, 40))});
    } else if (*value < 0) {
      problems.push_back({ProblemKind::GridKeyNegative, 0, key, std::to_string(*value)});
    }
  }
}

void CheckCell(int n, const CellRecord& cell, const std::string& folder,
               std::vector<BoardProblem>& problems) {
  if (!cell.Picture.empty()) {
    const std::optional<std::string> path = FindBoardPath(folder, cell.Picture);
    if (!path)
      problems.push_back({ProblemKind::MissingPicture, n, Windows1252ToUtf8(cell.Picture), {}});
    else if (!LoadPictureFile(*path, cell.Picture, {64, nullptr}))
      problems.push_back({ProblemKind::UnreadablePicture, n, Windows1252ToUtf8(cell.Picture), {}});
  }
  if (cell.Read.size() >= 4 && UpperAscii(cell.Read.substr(cell.Read.size() - 4)) == ".WAV" &&
      !FindBoardPath(folder, cell.Read))
    problems.push_back({ProblemKind::MissingSound, n, Windows1252ToUtf8(cell.Read), {}});
  // A link may carry up to two "#" marks that are not part of the file name.
  std::string link = cell.Link;
  for (int i = 0; i < 2; ++i)
    if (const size_t hash = link.find('#'); hash != std::string::npos) link.erase(hash, 1);
  if (!link.empty()) {
    const std::optional<std::string> target = FindBoardPath(folder, link);
    std::error_code error;
    if (!target)
      problems.push_back({ProblemKind::MissingLink, n, Windows1252ToUtf8(cell.Link), {}});
    else if (!fs::is_regular_file(*target, error) ||
             UpperAscii(fs::path(*target).extension().string()) != ".QDX")
      problems.push_back({ProblemKind::LinkNotBoard, n, Windows1252ToUtf8(cell.Link), {}});
  }
  if (!cell.SpecialFunction.empty() && !IsKnownCommandToken(cell.SpecialFunction))
    problems.push_back({ProblemKind::UnknownCommand, n, Windows1252ToUtf8(cell.SpecialFunction), {}});
}

void CheckSectionsBeyondGrid(const std::string& path, int cellCount, std::vector<BoardProblem>& problems) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    std::string text = UpperAscii(line);
    text.erase(0, text.find_first_not_of(" \t"));
    if (text.rfind("[CELL ", 0) != 0) continue;
    const long number = std::strtol(text.c_str() + 6, nullptr, 10);
    if (number > cellCount)
      problems.push_back(
          {ProblemKind::SectionBeyondGrid, static_cast<int>(number), std::to_string(cellCount), {}});
  }
}

} // namespace

std::vector<BoardProblem> CheckBoardCells(const Board& board, const std::string& folderUtf8) {
  std::vector<BoardProblem> problems;
  for (int n = 1; n <= board.CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, board.Columns);
    CheckCell(n, board.Cell(at.Column, at.Row), folderUtf8, problems);
  }
  return problems;
}

std::vector<BoardProblem> CheckBoardFile(const std::string& pathUtf8) {
  std::vector<BoardProblem> problems;
  CollectingDialogs dialogs;
  Board board;
  BoardFile reader(board, dialogs);
  if (!reader.ReadBoardFile(LocalNameToWindows1252(pathUtf8))) {
    problems.push_back(
        {ProblemKind::Refused,
         0,
         dialogs.Messages.empty() ? std::string() : Windows1252ToUtf8(dialogs.Messages.front()),
         {}});
    return problems;
  }
  CheckGrid(ProfileFile(reader.PathOnDisk()), problems);
  for (BoardProblem& problem : CheckBoardCells(board, reader.FolderOnDisk()))
    problems.push_back(std::move(problem));
  CheckSectionsBeyondGrid(pathUtf8, board.CellCount(), problems);
  return problems;
}

std::string DescribeProblem(const BoardProblem& p) {
  const std::string cell = "cell " + std::to_string(p.Cell) + ": ";
  const std::string grid = "grid: " + p.Detail;
  switch (p.Kind) {
  case ProblemKind::Refused:
    return p.Detail.empty() ? "refused: not a board of this program (its [Quadrix] header is wrong)"
                            : "refused: " + p.Detail;
  case ProblemKind::GridKeyMissing:
    return grid + " is missing; the board opens with 1";
  case ProblemKind::GridKeyNotNumber:
    return grid + " \"" + p.Extra + "\" is not a number; the board opens with 1";
  case ProblemKind::GridKeyNegative:
    return grid + " is " + p.Extra + "; the board shows no cells";
  case ProblemKind::MissingPicture:
    return cell + "missing picture " + p.Detail;
  case ProblemKind::UnreadablePicture:
    return cell + "picture cannot be shown " + p.Detail;
  case ProblemKind::MissingSound:
    return cell + "missing sound " + p.Detail;
  case ProblemKind::MissingLink:
    return cell + "link to a missing board " + p.Detail;
  case ProblemKind::LinkNotBoard:
    return cell + "link to something that is not a board " + p.Detail;
  case ProblemKind::UnknownCommand:
    return cell + "unknown special function " + p.Detail;
  case ProblemKind::SectionBeyondGrid:
    return "section [Cell " + std::to_string(p.Cell) + "] lies beyond the grid of " + p.Detail + " cells";
  case ProblemKind::CaptionTooWide:
    return cell + "caption does not fit its cell " + p.Detail;
  }
  return {};
}

} // namespace nq::authoring
