#pragma once
// The microphone over PulseAudio: a record stream from the default source in the exact format asked
// (the server converts), run by libpulse's own thread, cut into whole blocks that are posted to the UI
// thread in order. Chosen over Qt's audio source because closing must stop the flow before it returns
// and a source that vanishes must be reported, both of which libpulse states exactly.
#include <QObject>
#include <cstdint>
#include <memory>

#include "platform/AudioCapture.h"

namespace nq {

class PulseAudioCapture final : public AudioCapture {
public:
  /// streamName names the stream in the sound server's lists. Create and use it on the UI thread.
  explicit PulseAudioCapture(const char* streamName);
  ~PulseAudioCapture() override;
  PulseAudioCapture(const PulseAudioCapture&) = delete;
  PulseAudioCapture& operator=(const PulseAudioCapture&) = delete;

  int32_t Open(const AudioFormat& format, size_t blockBytes, BlockHandler onBlock,
               LostHandler onLost) override;
  void Close() override;

  struct Session; // one opening, shared with libpulse's thread

private:
  void Deliver(uint64_t generation, std::vector<uint8_t>& block);
  void Report(uint64_t generation);

  const char* StreamName;
  QObject Receiver; // lives on the UI thread: posted blocks run there, and die with this object
  std::unique_ptr<Session> Current;
  uint64_t Generation = 0;
  BlockHandler OnBlock;
  LostHandler OnLost;
};

} // namespace nq
