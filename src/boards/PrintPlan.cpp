#include "boards/PrintPlan.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "boards/Board.h"
#include "boards/BoardFile.h"
#include "boards/PathResolver.h"
#include "platform/Dialogs.h"
#include "text/Encoding.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

bool HasBoardExtension(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".qdx";
}

std::string Absolute(const std::string& pathUtf8) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(fs::absolute(pathUtf8, error), error);
  return error ? fs::absolute(pathUtf8).lexically_normal().string() : canonical.string();
}

// Boards that do not open simply link nowhere when the home board is looked for.
class SilentDialogs : public Dialogs {
public:
  void ShowMessage(const std::string&, MessageIcon, const std::string&) override {}
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

} // namespace

std::string LinkedBoardPath(const std::string& folderUtf8, const std::string& linkCp1252) {
  if (linkCp1252.empty()) return {};
  const std::optional<std::string> found = FindBoardPath(folderUtf8, linkCp1252);
  std::error_code error;
  if (!found || !HasBoardExtension(*found) || !fs::is_regular_file(*found, error)) return {};
  return Absolute(*found);
}

std::optional<PrintedBoardInfo> ReadPrintedBoard(const std::string& pathUtf8, Dialogs& dialogs) {
  const std::string path = Absolute(pathUtf8);
  auto board = std::make_unique<Board>(); // 441 cells: too large for the stack of a worker
  BoardFile file(*board, dialogs);
  if (!file.ReadBoardFile(Utf8ToWindows1252(path))) return std::nullopt;
  PrintedBoardInfo info;
  info.Path = path;
  info.Columns = board->Columns;
  info.Rows = board->Rows;
  info.ShowButtonBar = board->ShowButtonBar;
  info.ShowMessageBar = board->ShowMessageBar;
  info.WriteOnlyLettersOrWords = board->WriteOnlyLettersOrWords;
  const std::string folder = file.FolderOnDisk();
  for (int n = 1; n <= board->CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, board->Columns);
    const CellRecord& cell = board->Cell(at.Column, at.Row);
    if (std::string linked = LinkedBoardPath(folder, cell.Link); !linked.empty())
      info.LinkedBoards.push_back(std::move(linked));
    if (cell.Picture.empty()) continue;
    if (const std::optional<std::string> picture = FindBoardPath(folder, cell.Picture))
      info.Pictures.push_back(*picture);
  }
  return info;
}

std::vector<PrintedBoardInfo> BookBoards(const std::string& homeUtf8,
                                         const std::vector<std::string>& othersUtf8, Dialogs& dialogs,
                                         std::vector<std::string>& refused) {
  std::vector<PrintedBoardInfo> book;
  std::set<std::string> seen;
  std::deque<std::string> queue{Absolute(homeUtf8)};
  seen.insert(queue.front());
  auto visit = [&](const std::string& path) {
    std::optional<PrintedBoardInfo> info = ReadPrintedBoard(path, dialogs);
    if (!info) {
      refused.push_back(path);
      return;
    }
    for (const std::string& linked : info->LinkedBoards)
      if (seen.insert(linked).second) queue.push_back(linked);
    book.push_back(std::move(*info));
  };
  while (!queue.empty()) {
    const std::string path = queue.front();
    queue.pop_front();
    visit(path);
    if (book.empty()) return book; // the home board itself did not open
  }
  for (const std::string& other : othersUtf8) {
    if (!seen.insert(Absolute(other)).second) continue;
    queue.push_back(Absolute(other));
    while (!queue.empty()) {
      const std::string path = queue.front();
      queue.pop_front();
      visit(path);
    }
  }
  return book;
}

std::vector<std::string> FolderBoards(const std::string& folderUtf8) {
  std::vector<std::string> boards;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folderUtf8, error)) {
    if (entry.is_regular_file(error) && HasBoardExtension(entry.path()))
      boards.push_back(Absolute(entry.path()));
  }
  std::sort(boards.begin(), boards.end());
  return boards;
}

std::string FolderHomeBoard(const std::string& folderUtf8) {
  const std::vector<std::string> boards = FolderBoards(folderUtf8);
  if (boards.empty()) return {};
  // An imported set names its root board in a file of its own.
  std::ifstream rootList(fs::path(folderUtf8) / "root-board.txt");
  std::string root;
  if (rootList && std::getline(rootList, root)) {
    while (!root.empty() && (root.back() == '\r' || root.back() == ' '))
      root.pop_back();
    const std::string path = Absolute((fs::path(folderUtf8) / root).string());
    if (std::find(boards.begin(), boards.end(), path) != boards.end()) return path;
  }
  std::set<std::string> linkedTo;
  SilentDialogs silent;
  for (const std::string& board : boards) {
    if (std::optional<PrintedBoardInfo> info = ReadPrintedBoard(board, silent)) {
      for (const std::string& linked : info->LinkedBoards)
        if (linked != board) linkedTo.insert(linked);
    }
  }
  for (const std::string& board : boards)
    if (!linkedTo.count(board)) return board;
  // Every board is linked to (the boards link back home): the one named as a home board is.
  for (const std::string& board : boards) {
    std::string stem = fs::path(board).stem().string();
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* name : {"inici", "inicio", "home", "index", "principal", "menu"})
      if (stem == name) return board;
  }
  return boards.front();
}

std::vector<std::pair<std::size_t, std::size_t>> PackRuns(const std::vector<int32_t>& lengths,
                                                          int32_t limit) {
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  std::size_t first = 0;
  int64_t sum = 0;
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    if (i > first && sum + lengths[i] > limit) {
      runs.emplace_back(first, i);
      first = i;
      sum = 0;
    }
    sum += lengths[i];
  }
  if (first < lengths.size()) runs.emplace_back(first, lengths.size());
  return runs;
}

BoardPages PlanBoardPages(int32_t columns, int32_t rows, const PrintBars& bars, const PrintArea& area) {
  BoardPages pages;
  columns = std::max(columns, 1);
  rows = std::max(rows, 1);
  const int32_t barsHeight = bars.Top + bars.Bottom;
  int32_t cellWidth = area.CellSize;
  int32_t cellHeight = area.CellSize;
  if (area.CellSize <= 0) {
    cellWidth = area.Width / columns;
    cellHeight = std::max(area.Height - barsHeight, 0) / rows;
    if (cellWidth >= area.MinCellSize && cellHeight >= area.MinCellSize) {
      // The board fits: laid out exactly as a window of the page's size shows it.
      pages.ClientWidth = area.Width;
      pages.ClientHeight = area.Height;
      pages.TileColumns = pages.TileRows = 1;
      pages.Tiles.push_back({{0, 0, area.Width, area.Height}});
      return pages;
    }
    cellWidth = std::max({cellWidth, area.MinCellSize, 1});
    cellHeight = std::max({cellHeight, area.MinCellSize, 1});
  }
  pages.ClientWidth = columns * cellWidth;
  pages.ClientHeight = barsHeight + rows * cellHeight;

  const std::vector<int32_t> across(static_cast<std::size_t>(columns), cellWidth);
  std::vector<int32_t> down;
  if (bars.Top > 0) down.push_back(bars.Top);
  down.insert(down.end(), static_cast<std::size_t>(rows), cellHeight);
  if (bars.Bottom > 0) down.push_back(bars.Bottom);
  const auto columnRuns = PackRuns(across, area.Width);
  const auto rowRuns = PackRuns(down, area.Height);
  pages.TileColumns = static_cast<int32_t>(columnRuns.size());
  pages.TileRows = static_cast<int32_t>(rowRuns.size());

  std::vector<int32_t> downOffsets{0};
  for (const int32_t length : down)
    downOffsets.push_back(downOffsets.back() + length);
  for (const auto& [top, bottom] : rowRuns) {
    for (const auto& [left, right] : columnRuns) {
      PrintTile tile;
      tile.Area = {static_cast<int32_t>(left) * cellWidth, downOffsets[top],
                   static_cast<int32_t>(right - left) * cellWidth, downOffsets[bottom] - downOffsets[top]};
      tile.CutLeft = left > 0;
      tile.CutRight = right < across.size();
      tile.CutTop = top > 0;
      tile.CutBottom = bottom < down.size();
      pages.Tiles.push_back(tile);
    }
  }
  return pages;
}

} // namespace nq
