#pragma once
// The shared objects every shell component works on, owned by the Player and handed round by
// reference so each component names only what it uses.
#include "boards/Board.h"
#include "boards/BoardFile.h"
#include "boards/CellBoxes.h"
#include "boards/GridLayout.h"
#include "settings/SettingsStore.h"
#include "shell/MenuModel.h"
#include "shell/ShellPorts.h"
#include "shell/ShellState.h"
#include "shell/WindowView.h"

namespace nq {

class Dialogs;

struct ShellContext {
  ShellState& State;
  MenuModel& Menu;
  SettingsStore& Settings;
  Board& TheBoard;
  BoardFile& File;
  CellBoxes& Boxes;
  GridLayout& Layout;
  WindowView& Window;
  Dialogs& Messages;
  // Doors to later parts; null until wired.
  ScanControl* Scan = nullptr;
  SoundDetectorControl* SoundDetectors = nullptr;
  ExternalWindowControl* ExternalWindow = nullptr;

  void StopScanning() {
    if (Scan) Scan->StopScanning();
  }
  void ResetScan() {
    if (Scan) Scan->ResetScan();
  }
  bool BoardOpen() const { return !State.CurrentBoardFile.empty(); }
};

} // namespace nq
