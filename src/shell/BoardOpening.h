#pragma once
// Opening boards: the one way to change boards (OpenBoard), links, the home board and the one-deep
// history, the menu board, "Abrir...", dropped files and the held menu corner.
#include <string>
#include <vector>

#include "boards/PictureCache.h"
#include "shell/BarOptions.h"
#include "shell/ForeignBoards.h"
#include "shell/ShellContext.h"
#include "shell/WindowPlacement.h"

namespace nq {

class BoardPictureLoader;
class ImageScaler;

// The text that marks the menu board in a path (letter case counts).
inline constexpr std::string_view MenuBoardMarker = "Nexo_quadrix_menu";
inline constexpr std::string_view MenuBoardName = "Nexo_quadrix_menu.qdx";

class BoardOpening {
public:
  BoardOpening(ShellContext& context, WindowPlacement& placement, BarOptions& bars, PictureCache& pictures,
               ImageScaler& scaler);

  /// Opens a board file into the window; a board that does not read keeps the previous one on screen
  /// and gives false.
  bool OpenBoard(const std::string& path);
  /// Opens a board named relative to the folder of the board on screen; false when it did not open.
  bool OpenLinkedBoard(const std::string& name);
  /// A file dropped on the window: a .qdx becomes the home board and empties the history.
  void DroppedFile(const std::string& name);
  /// "Abrir...": the file dialog, then the chosen board becomes the home board.
  void MenuOpenFileClick();
  /// "Menú": the menu board, when the program has one.
  void MenuMenuClick();
  /// The menu corner was held for one period of TimerMenu with the pointer at (x, y).
  void MenuCornerHeld(int32_t x, int32_t y);

  /// The picture of a grid cell of the board on screen at the size a message cell shows it (the grid
  /// holds its pictures only as large as its own cells can get); null when it does not load.
  PictureRef MessagePicture(const TBox& cell);

  /// Where the menu board is: the program folder first, then the data folder; empty when neither has it.
  std::string MenuBoardPath() const;
  /// The folders searched for the program's own files (menu board, start picture), in order.
  std::string DataFolder;
  /// Decoding threads for a board's pictures.
  int PictureWorkers = DefaultPictureWorkers;
  /// Turns .obf and .obz files into boards of ours; null when the program has no importer.
  ForeignBoardImporter* Importer = nullptr;
  /// Loads a board's pictures on worker threads after the board is shown; null loads them before.
  BoardPictureLoader* Background = nullptr;

private:
  void SaveLeftBoardOptions();
  void TransferCells();
  void ShowPicture(int32_t number, const PictureRef& picture);
  void ApplyMenuBoardOverrides(const std::string& path);
  void BringBarsInLine();
  std::string DialogFolder() const;

  ShellContext& Ctx;
  WindowPlacement& Placement;
  BarOptions& Bars;
  PictureCache& Pictures;
  ImageScaler& Scaler;
  std::vector<int32_t> ArrivedCells; // cells whose picture came since the last layout of arrivals
  std::string ImportedSetFolder;     // folder of the last .obf or .obz opened
  std::string ImportedBoardsFolder;  // folder of the board it became
};

/// True when (x, y) lies in the 100 x 100 square at the top-right corner of a window `width` wide.
bool InMenuCorner(int32_t x, int32_t y, int32_t width);
/// True when the path (Windows-1252, as the player holds paths) names a regular file; a folder is not one.
bool FileExists(const std::string& cp1252Path);
/// The folder part of a path (up to and including the last "/" or "\"); empty when it has none.
std::string FolderOf(const std::string& path);
/// The board path made absolute against `workingFolder` (Windows-1252, ending with "/") and lexically
/// normal: "\" and "/" both separate, "." and empty components go, ".." takes the one before it. Windows
/// full paths ("C:\x.qdx", "\x.qdx") stay as written, since only the path resolver knows where they
/// lead now; so does an empty path.
std::string NormalBoardPath(const std::string& path, const std::string& workingFolder);
/// NormalBoardPath against the process's current folder.
std::string NormalBoardPath(const std::string& path);

} // namespace nq
