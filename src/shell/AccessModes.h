#pragma once
// The access modes: what the mouse buttons, the pointer resting on an item and the scanning switches
// do. Mouse events of the window arrive here (the mouse hook swallows the buttons); a click, a dwell or
// a selection ends as one item handed to the button-bar actions or to cell activation.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "shell/DwellProgress.h"
#include "shell/ScanEngine.h"
#include "shell/ScanPrompts.h"
#include "shell/ShellContext.h"

namespace nq {

enum class PointerEventKind { Move, LeftPress, LeftRelease, RightPress, RightRelease };

// Scanning modes (ShellState::View.ScanMode).
inline constexpr int32_t NoScanning = 0;
inline constexpr int32_t AutomaticScanning = 1;
inline constexpr int32_t DirectedScanning = 2;
inline constexpr int32_t HeldButtonScanning = 3;

class ScanSoundSwitches {
public:
  virtual ~ScanSoundSwitches() = default;
  /// Opens or closes the single-channel detector whose sound clicks in automatic scanning.
  virtual void SetSingleChannelDetector(bool open) = 0;
  /// Opens or closes the stereo detector (left channel clicks, right channel steps) of directed scanning.
  virtual void SetStereoDetector(bool open) = 0;
};

class AccessModes final : public ScanControl {
public:
  /// menuTimer is the player's TimerMenu, started by a press in the menu corner and stopped by any
  /// later mouse event; actions run what a selected item does.
  AccessModes(ShellContext& context, Clock& clock, Timer& menuTimer, ItemActions& actions);

  void SetPointerMover(PointerMover* mover) { Engine.SetPointerMover(mover); }
  void SetSoundSwitches(ScanSoundSwitches* switches) { Sound = switches; }
  /// The speech that says the scan prompts (auditory scanning); none says nothing.
  void SetPromptSpeech(SpeechOutput* speech) { Prompts.SetSpeech(speech); }

  /// A mouse event over the window, in client coordinates.
  void HandleMouseEvent(PointerEventKind kind, int32_t x, int32_t y);
  /// One click (or sound trigger) in the current mode, with the pointer where the window says it is.
  void ClickAction();
  /// Moves the scan highlight one step, cutting the prompt before and saying the new one.
  void ScanStep();
  /// Acts on what the scan highlights: chooses the row, or runs the item.
  void SelectScannedItem();
  /// Runs item k: a button-bar action (k < 0) or a cell with something in it (k > 0).
  void ActivateItem(int32_t k);

  void SetDwellClick(bool on) override;
  void ResetScan() override;
  void StopScanning() override;
  /// Stops the scan and dwell timers without leaving the mode (the program is closing).
  void StopTimers();

  void MenuEscaneigAutomaticClick();
  void MenuEscaneigDirigitClick();
  void MenuEscaneigAutomaticActivatAmbClicDretPremutClick();

  void TimerEscaneigTimer();
  void TimerClicAutomaticTimer();

  // State for the view and the tests.
  ScanEngine& Scan() { return Engine; }
  const ScanEngine& Scan() const { return Engine; }
  const Timer& TimerEscaneig() const { return *ScanTimer; }
  const Timer& TimerClicAutomatic() const { return *DwellTimer; }
  DwellProgress& Progress() { return TheProgress; }
  const DwellProgress& Progress() const { return TheProgress; }
  int32_t LastDwellItem = NoItem;

  // A choice made while an item ran: the item and the board it was chosen on.
  struct KeptChoice {
    int32_t Item = NoItem;
    std::string Board;
  };
  /// The choice waiting for the running item to end, if any.
  const std::optional<KeptChoice>& KeptUntilDone() const { return Kept; }

private:
  void ClickActionAt(int32_t x, int32_t y);
  void LeftPress(int32_t x, int32_t y, int32_t width);
  void LeftRelease(int32_t x, int32_t y);
  void RightButton(bool press);
  void StartScanning(int32_t mode);
  void StartScanTimer();
  void RunItem(int32_t k);
  void RunOneItem(int32_t k);
  void RunItemNow(int32_t k);
  void KeepChoice(int32_t x, int32_t y);
  void LightStartedSwitchScan();
  int32_t HoveredAtPointer();

  ShellContext& Ctx;
  Timer& MenuTimer;
  ItemActions& Actions;
  ScanEngine Engine;
  ScanPrompts Prompts;
  ScanSoundSwitches* Sound = nullptr;
  std::unique_ptr<Timer> ScanTimer;
  std::unique_ptr<Timer> DwellTimer;
  DwellProgress TheProgress;
  std::optional<KeptChoice> Kept;
  int32_t RunningItem = NoItem;
};

} // namespace nq
