#pragma once
// Shared by the exchange tests: a scratch folder, reading a written board back as the player
// does, and a picture converter that stands in for Qt's.
#include <filesystem>
#include <string>
#include <vector>

#include "actions/OutsideCommands.h"
#include "boards/BoardFile.h"
#include "exchange/ObfImport.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"
#include "text/Encoding.h"

namespace nq::test {

/// The board file at path (UTF-8) as the player reads it; Columns stays 0 when it does not read.
inline Board ReadBoard(const std::string& path) {
  Board board;
  FakeDialogs dialogs;
  BoardFile reader(board, dialogs);
  if (!reader.ReadBoardFile(Utf8ToWindows1252(path))) board.Columns = 0;
  return board;
}

/// Draws any SVG as the same small PNG and refuses everything else, like a converter that only knows SVG.
class SvgOnlyConverter : public exchange::PictureConverter {
public:
  std::optional<std::string> ToPng(const std::string& bytes, const std::string&, int side) override {
    Sides.push_back(side);
    if (bytes.find("<svg") == std::string::npos) return std::nullopt;
    return std::string("\x89PNG\r\n\x1A\nconverted", 17);
  }
  std::vector<int> Sides;
};

/// Names in a folder (not recursive), sorted.
inline std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

/// Cells of every board under the folder, read as the player reads them, whose command reaches
/// outside the player.
inline int OutsideCommandsIn(const std::string& folder) {
  int count = 0;
  for (const auto& file : std::filesystem::recursive_directory_iterator(folder)) {
    if (file.path().extension() != ".qdx") continue;
    const Board board = ReadBoard(file.path().string());
    for (int n = 1; n <= board.CellCount(); ++n) {
      const CellPosition at = CellNumberToPosition(n, board.Columns);
      count += ReachesOutside(board.Cell(at.Column, at.Row).SpecialFunction);
    }
  }
  return count;
}

inline bool AnyNoteHas(const std::vector<std::string>& notes, const std::string& text) {
  for (const std::string& note : notes) {
    if (note.find(text) != std::string::npos) return true;
  }
  return false;
}

} // namespace nq::test
