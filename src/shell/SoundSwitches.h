#pragma once
// The two sound items of the Control menu and the detectors behind them: which one is on, when the
// access modes open and close them, what their sounds do, and the thresholds from Quadrix.ini.
#include <functional>

#include "actions/SoundInput.h"
#include "shell/AccessModes.h"
#include "shell/ShellContext.h"

namespace nq {

inline constexpr const char* SingleChannelSoundItemName = "MenuClicActivatPerUnSo";
inline constexpr const char* StereoSoundItemName =
    "MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSo";
inline constexpr const char* SoundLevelMeterItemName = "MenuNivellSo";

class SoundSwitches final : public ScanSoundSwitches, public SoundDetectorControl, private SoundClickTarget {
public:
  SoundSwitches(ShellContext& context, AccessModes& modes, AudioCapture& singleChannel, AudioCapture& stereo);

  void SetSingleChannelDetector(bool open) override;
  void SetStereoDetector(bool open) override;
  void StopSoundDetectors() override;

  void MenuClicActivatPerUnSoClick();
  void MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSoClick();
  /// Shows the level meter (the front end's window, when it has one).
  void MenuNivellSoClick();

  /// Reads the thresholds from Quadrix.ini; a missing or out-of-range value keeps the default.
  void LoadThresholds();

  SoundInput& Input() { return Detectors; }
  const SoundInput& Input() const { return Detectors; }
  std::function<void()> ShowLevelMeter;

private:
  bool SingleChannelItemChecked() const override;
  bool StereoItemChecked() const override;
  bool DirectedScanningChecked() const override;
  void ClickAction() override;
  void ScanStep() override;

  ShellContext& Ctx;
  AccessModes& Modes;
  SoundInput Detectors;
};

} // namespace nq
