#pragma once
// The 441 grid boxes and 21 message boxes, created once with the window and reused for every board,
// and the operations that place a box (ShowCell) or hide it (HideCell).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "boards/Board.h"
#include "boards/CellMarks.h"
#include "boards/HighlightStyle.h"
#include "boards/TBox.h"

namespace nq {

class ImageScaler;
class ScaledPictureSource;
class TextMetrics;

inline constexpr int32_t GridBoxCount = MaxGridCells;
inline constexpr int32_t MessageBoxCount = 21;
// The rest cell: the only cell that still highlights while the rest mode is on.
inline constexpr std::string_view RestToken = "<NEXO_REPOSAR>";

// The option and hover values ShowCell reads.
struct CellShowOptions {
  int32_t CellSeparation = 2; // gap between the cell rectangle and its frame
  int32_t FrameThickness = 2; // frame pen width of grid cells, also used in the geometry of every cell
  bool CaptionsBelow = false;
  int32_t ScanMode = 0;
  int32_t HoveredItem = NoItem;
  bool RestMode = false;
  HighlightStyle Highlight;
};

class CellBoxes {
public:
  CellBoxes(TextMetrics& metrics, ImageScaler& scaler, CellMarkSettings& settings);

  /// Grid box of cell number 1..441, or null for any other number.
  TBox* GridBox(int32_t number);
  const TBox* GridBox(int32_t number) const;
  /// Message box at position 1..21, or null for any other position.
  TBox* MessageBox(int32_t position);
  const TBox* MessageBox(int32_t position) const;

  /// Where boxes take their shrunk copies from (kept, for example, by a picture cache);
  /// nullptr makes every box scale its own copies.
  void SetScaledSource(ScaledPictureSource* source) { Source = source; }

  /// Hides the frame, caption and picture of the box.
  static void HideCell(TBox& box);
  /// Hides every grid box (before a new board fills them).
  void HideAllGridCells();
  /// Places the box from its cell rectangle: frame, caption, picture rectangle and scaling path, colours.
  void ShowCell(TBox& box, const CellShowOptions& options);

  /// Fills grid box `number` from a board's cell record; the picture is released (the caller loads the
  /// new one into the box with SetPicture, or DropPicture when loading fails).
  void AssignCellRecord(int32_t number, const CellRecord& record, bool centreCaptions);

  /// The caption as shown, with the "V - " mark of menu-option cells that are on.
  std::string MarkedCaption(const std::string& caption, const std::string& specialFunction);

private:
  static bool HasContent(const TBox& box);
  static void ChoosePenColour(TBox& box, const CellShowOptions& options);
  void PlacePicture(TBox& box, const GridRect& area);

  TextMetrics& Metrics;
  ImageScaler& Scaler;
  CellMarkSettings& Settings;
  ScaledPictureSource* Source = nullptr;
  std::array<TBox, GridBoxCount> GridBoxes;
  std::array<TBox, MessageBoxCount> MessageBoxes;
};

} // namespace nq
