#pragma once
// Narrow doors from the shell to the parts that come later (scanning, sound detectors, the
// external-window mode). The player calls them where the start-up and board opening must; until a
// part is wired, its door is empty and the call does nothing.
namespace nq {

class ScanControl {
public:
  virtual ~ScanControl() = default;
  /// Starts or stops the dwell click's timer (the option itself is already flipped and stored).
  virtual void SetDwellClick(bool on) = 0;
  /// Puts the scan back at its start for the board on screen.
  virtual void ResetScan() = 0;
  /// Stops any scanning mode and clears its highlights.
  virtual void StopScanning() = 0;
};

class SoundDetectorControl {
public:
  virtual ~SoundDetectorControl() = default;
  /// Stops both microphone detectors and releases their buffers (may wait while events run).
  virtual void StopSoundDetectors() = 0;
};

class ExternalWindowControl {
public:
  virtual ~ExternalWindowControl() = default;
  /// Switches the mode in which the window never takes the focus and types into other windows.
  virtual void SetExternalWindowMode(bool on) = 0;
};

} // namespace nq
