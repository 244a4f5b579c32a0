#pragma once
// The microphone as a switch. Two detectors measure the peak of every captured block: the
// single-channel one clicks in automatic scanning, the stereo one clicks with its left channel and
// steps the scan with its right one. A sound above the threshold gives one click, then the latch
// holds until the level falls back to the threshold or below, so one sound is never two clicks.
#include <cstdint>
#include <span>

#include "platform/AudioCapture.h"
#include "platform/Dialogs.h"

namespace nq {

// 512 samples of 8-bit mono at 11 025 Hz: about 46 ms a block.
inline constexpr AudioFormat SingleChannelFormat{11025, 1, 8};
inline constexpr size_t SingleChannelBlockBytes = 512;
// Stereo block length comes from 256 frames at 11 025 Hz, scaled to the capture rate.
inline constexpr AudioFormat StereoFormat{22050, 2, 16};
inline constexpr int32_t StereoBaseFrames = 256;

inline constexpr int32_t SingleChannelFullScale = 127;
inline constexpr int32_t StereoFullScale = 32767;
inline constexpr int32_t DefaultSingleChannelThreshold = 30;
// The same share of full scale as the single channel's 30 of 127; a smaller one lets hiss click.
inline constexpr int32_t DefaultStereoThreshold =
    DefaultSingleChannelThreshold * StereoFullScale / SingleChannelFullScale;

/// Frames in one stereo block at the given rate (512 at 22 050 Hz).
int32_t StereoBlockFrames(int32_t sampleRate);
/// The level of one 8-bit block: its largest byte above the 128 midpoint (0..127).
int32_t SingleChannelBlockLevel(std::span<const uint8_t> block);

struct StereoLevels {
  int32_t Left = 0;
  int32_t Right = 0;
};
/// The levels of one 16-bit stereo block: the largest positive sample of each channel.
StereoLevels StereoBlockLevels(std::span<const uint8_t> block);

// What a sound reaches, and which items are on; the shell implements it.
class SoundClickTarget {
public:
  virtual ~SoundClickTarget() = default;
  /// "En barrido automático el clic se activa mediante un sonido" is checked.
  virtual bool SingleChannelItemChecked() const = 0;
  /// The stereo item of directed scanning is checked.
  virtual bool StereoItemChecked() const = 0;
  /// "Barrido dirigido. Clic derecho" is checked.
  virtual bool DirectedScanningChecked() const = 0;
  /// One click in the current access mode.
  virtual void ClickAction() = 0;
  /// One step of the scan.
  virtual void ScanStep() = 0;
};

struct SoundThresholds {
  int32_t SingleChannel = DefaultSingleChannelThreshold;
  int32_t Stereo = DefaultStereoThreshold;
};

// What the level meter shows: the last block's levels and the thresholds they are compared with.
struct SoundMeterReading {
  bool Listening = false;
  bool Stereo = false;
  int32_t Level = 0; // single channel, 0..127
  StereoLevels Levels;
  int32_t Threshold = 0;
  int32_t FullScale = 0;
  uint64_t Blocks = 0;
};

class SoundInput {
public:
  SoundInput(AudioCapture& singleChannel, AudioCapture& stereo, Dialogs& messages, SoundClickTarget& target);
  ~SoundInput();
  SoundInput(const SoundInput&) = delete;
  SoundInput& operator=(const SoundInput&) = delete;

  /// Starts the single-channel capture; 0 on success (or when already open), else the error code after
  /// the warning box, which shows once per run.
  int32_t OpenSingleChannelDetector();
  /// The level (0..127) of the block just filled; 0 when stopped or when no block is waiting.
  int32_t ReadSingleChannelLevel();
  void CloseSingleChannelDetector();
  /// Starts the stereo capture; as OpenSingleChannelDetector, with the error box.
  int32_t OpenStereoDetector();
  /// The left and right levels of the block just filled; both 0 when stopped or with no block waiting.
  StereoLevels ReadStereoLevels();
  void CloseStereoDetector();
  /// A block was filled: turns crossings of the thresholds into clicks and steps.
  void OnSoundBlock();

  /// While the level meter is shown, the microphone is heard even without scanning (no clicks then).
  void SetMeterListening(bool on);
  SoundMeterReading MeterReading() const;

  SoundThresholds Thresholds;
  bool SingleChannelLatch = false;
  bool StereoLatch = false;

  bool SingleChannelOpen() const { return Single.Open; }
  bool SingleChannelStopped() const { return Single.Stopped; }
  bool StereoOpen() const { return Stereo.Open; }
  bool StereoStopped() const { return Stereo.Stopped; }
  int32_t StereoFramesPerBlock() const { return StereoFrames; }

private:
  struct Detector {
    explicit Detector(AudioCapture& capture) : Capture(capture) {}
    AudioCapture& Capture;
    bool Open = false;
    bool Stopped = true;
    bool FailureShown = false;
    bool MeterOnly = false; // opened for the meter alone: measures, never clicks
    std::span<const uint8_t> Filled;
    uint64_t Blocks = 0;
  };

  int32_t OpenDetector(Detector& detector, bool meterOnly);
  void CloseDetector(Detector& detector);
  void Captured(Detector& detector, std::span<const uint8_t> block);
  void Lost(Detector& detector);
  void FeedMeter();

  Detector Single;
  Detector Stereo;
  Dialogs& Messages;
  SoundClickTarget& Target;
  int32_t StereoFrames = 0;
  bool MeterShown = false;
  int32_t LastLevel = 0;
  StereoLevels LastLevels;
};

} // namespace nq
