#pragma once
// The program-wide values and flags the shell's components share, in one plain struct. The values
// the grid layout reads (grid size, bars, scan mode, frame sizes...) live in View, once.
#include <cstdint>
#include <string>

#include "boards/GridLayout.h"
#include "platform/FontSpec.h"

namespace nq {

struct ShellState {
  // Board bookkeeping. Paths are Windows-1252 text as the player holds them.
  std::string ProgramFolder; // ends with "/"
  std::string CurrentBoardFile;
  std::string DirectoriActual; // folder of the last board read, ends with the separator
  std::string HomeBoardFile;
  std::string PreviousBoardFile;
  std::string CommandLine;
  std::string ProgramTitle;

  bool SpeechOn = false;
  bool MenuCornerLatch = true;
  int32_t CellCount = 441;

  // Program settings held in memory and written through when they change.
  bool SelectOnPress = false;
  bool LinearScanning = false;
  bool KeepPlace = false;
  bool DwellClick = false;
  bool HiddenAutomaticClick = false;
  bool NoClicks = false;
  bool ExternalWindowMode = false;
  bool NoMenuNoCaptionMode = false;
  bool CellCursorHidden = false;
  bool StayInPlace = false;
  int32_t ScanStepMs = 1500;
  int32_t DwellTickMs = 1000;
  FontSpec MessageFont;

  // What the grid layout reads: grid size, bars, scan mode, rest mode, 3D effect, frame sizes.
  GridViewState View;

  // Auditory scanning: each step says its item quietly; with the stretch, the next automatic step
  // waits for that prompt to end.
  bool ScanPrompts = false;
  bool ScanPromptsStretch = false;
};

} // namespace nq
