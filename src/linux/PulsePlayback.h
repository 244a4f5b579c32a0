#pragma once
// Speech samples played through the sound server directly, from the thread that makes them. The
// stream is kept between texts and opened afresh after the server went away, so speech comes back
// by itself when the server does (the toolkit's sound back end connects once and never again).
//
// Every wait has a deadline: a server that stops answering (stopped, hung, swapping) costs the text
// being spoken, never the synthesis thread, and Abandon() ends any wait at once from another thread,
// so the voices can always be closed.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace nq {

class PulsePlayback {
public:
  explicit PulsePlayback(int sampleRate);
  ~PulsePlayback();
  PulsePlayback(const PulsePlayback&) = delete;
  PulsePlayback& operator=(const PulsePlayback&) = delete;

  /// Hands 16-bit mono samples to the server, waiting only while its buffer is full. A stream that
  /// died since the last text is reopened once; false when there is no server, or when it took
  /// nothing for StallMs (the samples are lost and the stream is closed).
  bool Write(const int16_t* samples, std::size_t count);
  /// Waits until everything written has been played, at most the buffer's length plus StallMs.
  void Drain();
  /// Closes the stream; the next Write opens a new one.
  void Close();
  bool Open() const { return Current != nullptr; }
  /// Any thread: the wait in progress and every later one end at once (the voices are going away).
  void Abandon();
  /// Any thread: the write or drain in progress, and every later one until ClearInterrupt, ends at
  /// once without closing the stream (a prompt is being cut short).
  void Interrupt();
  void ClearInterrupt() { Interrupted = false; }
  bool WasInterrupted() const { return Interrupted.load(); }
  /// Drops what the server holds but has not played yet, so a cut text stops at once.
  void Flush();

  /// How long a server may take nothing (or take to connect) before it counts as gone.
  static constexpr uint32_t StallMs = 2000;

private:
  struct Session;
  bool Connect();

  int Rate;
  std::unique_ptr<Session> Current; // used by the synthesis thread
  std::mutex Publishing;            // Current as Abandon sees it
  std::atomic<bool> Abandoned{false};
  std::atomic<bool> Interrupted{false};
};

} // namespace nq
