#include "actions/SoundInput.h"

#include <algorithm>

namespace nq {
namespace {

constexpr const char* SingleChannelFailureCaption = "Control del valor m\xE0xim detectat en el micr\xF2"
                                                    "fon";
constexpr const char* SingleChannelFailureText =
    "No \xE9s possible obrir el dispositiu d'entrada de so. O no hi ha tarja de so o hi ha una altre "
    "aplicaci\xF3 que la fa servir. Si \xE9s aix\xED pareu aquesta aplicaci\xF3 i torneu-ho a provar.";
constexpr const char* StereoFailureCaption = "Captura so del micr\xF2"
                                             "fon";
constexpr const char* StereoFailureText = "NO puc obrir els dispositiu d'entrada";

constexpr int32_t StereoBytesPerFrame = 4;

} // namespace

int32_t StereoBlockFrames(int32_t sampleRate) {
  return StereoBaseFrames * std::max(1, sampleRate / SingleChannelFormat.SampleRate);
}

int32_t SingleChannelBlockLevel(std::span<const uint8_t> block) {
  // Samples under the midpoint are the other half of the same wave: only the upper half is measured.
  uint8_t peak = 128;
  for (uint8_t sample : block)
    peak = std::max(peak, sample);
  return peak - 128;
}

StereoLevels StereoBlockLevels(std::span<const uint8_t> block) {
  StereoLevels levels;
  const size_t frames = block.size() / StereoBytesPerFrame;
  for (size_t i = 0; i < frames; ++i) {
    const uint8_t* frame = block.data() + i * StereoBytesPerFrame;
    const auto left = static_cast<int16_t>(static_cast<uint16_t>(frame[0] | (frame[1] << 8)));
    const auto right = static_cast<int16_t>(static_cast<uint16_t>(frame[2] | (frame[3] << 8)));
    levels.Left = std::max<int32_t>(levels.Left, left);
    levels.Right = std::max<int32_t>(levels.Right, right);
  }
  return levels;
}

SoundInput::SoundInput(AudioCapture& singleChannel, AudioCapture& stereo, Dialogs& messages,
                       SoundClickTarget& target)
    : Single(singleChannel), Stereo(stereo), Messages(messages), Target(target) {}

SoundInput::~SoundInput() {
  MeterShown = false;
  CloseDetector(Single);
  CloseDetector(Stereo);
}

int32_t SoundInput::OpenSingleChannelDetector() {
  if (Stereo.MeterOnly) CloseDetector(Stereo);
  return OpenDetector(Single, false);
}

int32_t SoundInput::OpenStereoDetector() {
  if (Single.MeterOnly) CloseDetector(Single);
  return OpenDetector(Stereo, false);
}

int32_t SoundInput::OpenDetector(Detector& detector, bool meterOnly) {
  if (detector.Open) {
    if (!meterOnly) detector.MeterOnly = false;
    return 0;
  }
  const bool stereo = &detector == &Stereo;
  AudioFormat format = SingleChannelFormat;
  size_t blockBytes = SingleChannelBlockBytes;
  if (stereo) {
    format = StereoFormat;
    // Computed afresh at every opening, so a second opening gets the same block length as the first.
    StereoFrames = StereoBlockFrames(format.SampleRate);
    blockBytes = static_cast<size_t>(StereoFrames) * StereoBytesPerFrame;
  }
  const int32_t error = detector.Capture.Open(
      format, blockBytes, [this, &detector](std::span<const uint8_t> block) { Captured(detector, block); },
      [this, &detector] { Lost(detector); });
  if (error != 0) {
    // The box is modal and a switch user cannot dismiss it: once a run is enough to tell.
    if (!meterOnly && !detector.FailureShown) {
      detector.FailureShown = true;
      if (stereo)
        Messages.ShowMessage(StereoFailureText, MessageIcon::Error, StereoFailureCaption);
      else
        Messages.ShowMessage(SingleChannelFailureText, MessageIcon::Warning, SingleChannelFailureCaption);
    }
    return error;
  }
  detector.Open = true;
  detector.Stopped = false;
  detector.MeterOnly = meterOnly;
  detector.Blocks = 0;
  return 0;
}

void SoundInput::CloseSingleChannelDetector() {
  CloseDetector(Single);
  FeedMeter();
}

void SoundInput::CloseStereoDetector() {
  CloseDetector(Stereo);
  FeedMeter();
}

void SoundInput::CloseDetector(Detector& detector) {
  // Stopped first, so a block already on its way is ignored.
  detector.Stopped = true;
  detector.Filled = {};
  if (!detector.Open) return;
  detector.Capture.Close();
  detector.Open = false;
  detector.MeterOnly = false;
}

int32_t SoundInput::ReadSingleChannelLevel() {
  if (Single.Stopped || Single.Filled.empty()) return 0;
  LastLevel = SingleChannelBlockLevel(Single.Filled);
  Single.Filled = {};
  return LastLevel;
}

StereoLevels SoundInput::ReadStereoLevels() {
  if (Stereo.Stopped || Stereo.Filled.empty()) return {};
  LastLevels = StereoBlockLevels(Stereo.Filled);
  Stereo.Filled = {};
  return LastLevels;
}

void SoundInput::Captured(Detector& detector, std::span<const uint8_t> block) {
  if (detector.Stopped) return;
  ++detector.Blocks;
  if (detector.MeterOnly) {
    if (&detector == &Stereo)
      LastLevels = StereoBlockLevels(block);
    else
      LastLevel = SingleChannelBlockLevel(block);
    return;
  }
  detector.Filled = block;
  OnSoundBlock();
  // The block belongs to the capture again once this returns.
  detector.Filled = {};
}

void SoundInput::OnSoundBlock() {
  if (Target.SingleChannelItemChecked()) {
    const int32_t level = ReadSingleChannelLevel();
    const int32_t threshold = Thresholds.SingleChannel;
    if (SingleChannelLatch) {
      if (level <= threshold) SingleChannelLatch = false;
    } else if (level > threshold) {
      SingleChannelLatch = true;
      Target.ClickAction();
    }
    return;
  }
  if (!Target.StereoItemChecked() || !Target.DirectedScanningChecked() || Stereo.Stopped) return;
  const StereoLevels levels = ReadStereoLevels();
  const int32_t threshold = Thresholds.Stereo;
  if (!StereoLatch) {
    // The left channel wins when both cross in the same block.
    if (levels.Left > threshold) {
      StereoLatch = true;
      Target.ClickAction();
    } else if (levels.Right > threshold) {
      StereoLatch = true;
      Target.ScanStep();
    }
  } else if (levels.Left <= threshold && levels.Right <= threshold) {
    StereoLatch = false;
  }
}

void SoundInput::Lost(Detector& detector) {
  // The source went away (unplugged, server restarted): closed like a stop; the next start tries again.
  CloseDetector(detector);
  FeedMeter();
}

void SoundInput::SetMeterListening(bool on) {
  MeterShown = on;
  if (on) {
    FeedMeter();
    return;
  }
  if (Single.MeterOnly) CloseDetector(Single);
  if (Stereo.MeterOnly) CloseDetector(Stereo);
}

void SoundInput::FeedMeter() {
  if (!MeterShown || Single.Open || Stereo.Open) return;
  OpenDetector(Target.StereoItemChecked() ? Stereo : Single, true);
}

SoundMeterReading SoundInput::MeterReading() const {
  SoundMeterReading reading;
  reading.Stereo = Stereo.Open || (!Single.Open && Target.StereoItemChecked());
  const Detector& detector = reading.Stereo ? Stereo : Single;
  reading.Listening = detector.Open;
  reading.Level = LastLevel;
  reading.Levels = LastLevels;
  reading.Threshold = reading.Stereo ? Thresholds.Stereo : Thresholds.SingleChannel;
  reading.FullScale = reading.Stereo ? StereoFullScale : SingleChannelFullScale;
  reading.Blocks = detector.Blocks;
  return reading;
}

} // namespace nq
