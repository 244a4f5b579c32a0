#pragma once
// The program-wide values and flags the shell's components share, in one plain struct.
#include <cstdint>
#include <string>

#include "platform/FontSpec.h"

namespace nq {

struct ShellState {
  // Board bookkeeping. Paths are Windows-1252 text as the player holds them; folders end with "/".
  std::string ProgramFolder;
  std::string CurrentBoardFile;
  std::string DirectoriActual;
  std::string HomeBoardFile;
  std::string PreviousBoardFile;
  std::string CommandLine;
  std::string ProgramTitle;

  bool SpeechOn = false;
  bool MenuCornerLatch = true;

  // Grid size of the board on screen (21 x 21 while the window is created, then 1 x 1).
  int32_t Columns = 21;
  int32_t Rows = 21;
  int32_t CellCount = 441;

  // Program settings held in memory and written through when they change.
  bool SelectOnPress = false;
  int32_t ScanMode = 0;
  bool LinearScanning = false;
  bool KeepPlace = false;
  bool DwellClick = false;
  bool HiddenAutomaticClick = false;
  bool NoClicks = false;
  bool ExternalWindowMode = false;
  bool NoMenuNoCaptionMode = false;
  bool BarsSwapped = false;
  bool CaptionsBelow = false;
  bool Effect3D = true;
  bool CellCursorHidden = false;
  bool WriteLettersOrWordsMode = false;
  bool RestMode = false;
  bool StayInPlace = false;

  int32_t MessageBarHeight = 135;
  int32_t ScanStepTenths = 15;
  int32_t VisibleMessageCells = 6;
  int32_t DwellTickMs = 1000;
  int32_t FrameThickness = 2;
  int32_t CellSeparation = 2;
  FontSpec MessageFont;
  int32_t MessageCellCount = 0;
};

} // namespace nq
