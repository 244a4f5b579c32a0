#pragma once
// The microphone: a stream of fixed-size blocks of one PCM format, delivered whole and in order on the
// UI thread, so the detectors can measure each block without locks.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace nq {

struct AudioFormat {
  int32_t SampleRate = 0;
  int32_t Channels = 0;
  int32_t BitsPerSample = 0; // 8 is unsigned, 16 is signed little-endian
};

class AudioCapture {
public:
  using BlockHandler = std::function<void(std::span<const uint8_t> block)>;
  using LostHandler = std::function<void()>;

  virtual ~AudioCapture() = default;
  /// Starts capturing from the default source in this exact format; every blockBytes captured reach
  /// onBlock on the UI thread, in order; onLost runs there once if the source goes away. 0 on success,
  /// else an error code (nothing runs then).
  virtual int32_t Open(const AudioFormat& format, size_t blockBytes, BlockHandler onBlock,
                       LostHandler onLost) = 0;
  /// Stops the flow; when it returns no handler of this opening runs any more. Harmless when closed.
  virtual void Close() = 0;
};

} // namespace nq
