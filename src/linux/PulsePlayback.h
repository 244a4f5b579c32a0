#pragma once
// Speech samples played through the sound server directly, from the thread that makes them. The
// stream is kept between texts and opened afresh after the server went away, so speech comes back
// by itself when the server does (the toolkit's sound back end connects once and never again).
#include <cstddef>
#include <cstdint>

struct pa_simple;

namespace nq {

class PulsePlayback {
public:
  explicit PulsePlayback(int sampleRate);
  ~PulsePlayback();
  PulsePlayback(const PulsePlayback&) = delete;
  PulsePlayback& operator=(const PulsePlayback&) = delete;

  /// Hands 16-bit mono samples to the server, blocking only while its buffer is full. A stream that
  /// died since the last text is reopened once; false when there is no server (the samples are lost).
  bool Write(const int16_t* samples, std::size_t count);
  /// Waits until everything written has been played; returns at once when the server went away.
  void Drain();
  /// Closes the stream; the next Write opens a new one.
  void Close();
  bool Open() const { return Stream != nullptr; }

private:
  bool Connect();

  int Rate;
  pa_simple* Stream = nullptr;
};

} // namespace nq
