#pragma once
// A microphone for tests: records how it was opened, and hands blocks to the detector when told. It
// keeps its handlers after a close, so a test can play a notification that was already on its way.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/AudioCapture.h"

namespace nq::test {

class FakeAudioCapture final : public AudioCapture {
public:
  int32_t FailWith = 0; // what Open answers; 0 opens
  int Opens = 0;        // successful openings
  int Attempts = 0;
  int Closes = 0; // closes of an open capture
  bool IsOpen = false;
  AudioFormat Format;
  size_t BlockBytes = 0;
  std::function<void()> OnClose; // runs inside Close, to look at the world at that moment

  int32_t Open(const AudioFormat& format, size_t blockBytes, BlockHandler onBlock,
               LostHandler onLost) override {
    ++Attempts;
    if (FailWith != 0) return FailWith;
    ++Opens;
    IsOpen = true;
    Format = format;
    BlockBytes = blockBytes;
    Block = std::move(onBlock);
    Lost = std::move(onLost);
    return 0;
  }
  void Close() override {
    if (!IsOpen) return;
    IsOpen = false;
    ++Closes;
    if (OnClose) OnClose();
  }
  /// One filled block reaches the detector (also after a close, as a late notification would).
  void Deliver(const std::vector<uint8_t>& block) {
    if (Block) Block(block);
  }
  /// The source goes away.
  void Lose() {
    if (Lost) Lost();
  }

  BlockHandler Block;
  LostHandler Lost;
};

/// An 8-bit mono block of silence (128) with one byte set to peak.
inline std::vector<uint8_t> MonoBlock(int peak, size_t at = 100, size_t bytes = 512) {
  std::vector<uint8_t> block(bytes, 128);
  block[at] = static_cast<uint8_t>(peak);
  return block;
}

/// A 16-bit stereo block of silence with one left sample and one right sample set.
inline std::vector<uint8_t> StereoBlock(int left, int right, size_t frames = 512) {
  std::vector<uint8_t> block(frames * 4, 0);
  auto put = [&block](size_t at, int value) {
    const auto bits = static_cast<uint16_t>(static_cast<int16_t>(value));
    block[at] = static_cast<uint8_t>(bits & 0xFF);
    block[at + 1] = static_cast<uint8_t>(bits >> 8);
  };
  put(10 * 4, left);
  put(20 * 4 + 2, right);
  return block;
}

} // namespace nq::test
