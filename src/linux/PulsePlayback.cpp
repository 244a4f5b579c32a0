#include "linux/PulsePlayback.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace nq {

namespace {
// Room for two of the synthesiser's chunks, so its first chunk is taken without waiting.
constexpr uint32_t BufferMs = 400;
// Playback starts once this much has arrived, not when the buffer is full: a short word is heard at once.
constexpr uint32_t StartMs = 20;
constexpr pa_usec_t StallUs = PulsePlayback::StallMs * PA_USEC_PER_MSEC;
constexpr pa_usec_t DrainUs = (BufferMs + PulsePlayback::StallMs) * PA_USEC_PER_MSEC;
} // namespace

// One connection with its own libpulse thread. Every call below runs with the loop locked.
struct PulsePlayback::Session {
  pa_threaded_mainloop* Loop = nullptr;
  pa_context* Context = nullptr;
  pa_stream* Stream = nullptr;
  const std::atomic<bool>* Abandoned = nullptr;
  const std::atomic<bool>* Interrupted = nullptr;
  bool TimedOut = false;

  static void Wake(void* data) { pa_threaded_mainloop_signal(static_cast<Session*>(data)->Loop, 0); }
  static void ContextChanged(pa_context*, void* data) { Wake(data); }
  static void StreamChanged(pa_stream*, void* data) { Wake(data); }
  static void Writable(pa_stream*, size_t, void* data) { Wake(data); }
  static void Drained(pa_stream*, int, void* data) { Wake(data); }
  static void Expired(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
    static_cast<Session*>(data)->TimedOut = true;
    Wake(data);
  }

  bool ContextGood() const { return PA_CONTEXT_IS_GOOD(pa_context_get_state(Context)); }
  bool StreamGood() const { return Stream != nullptr && PA_STREAM_IS_GOOD(pa_stream_get_state(Stream)); }

  // Waits until done() holds; false when the deadline passed or the playback was abandoned first.
  template <typename Done> bool WaitFor(Done done, pa_usec_t timeoutUs) {
    TimedOut = false;
    pa_time_event* deadline = pa_context_rttime_new(Context, pa_rtclock_now() + timeoutUs, &Expired, this);
    bool reached = false;
    for (;;) {
      if (done()) {
        reached = true;
        break;
      }
      if (TimedOut || Abandoned->load() || Interrupted->load() || deadline == nullptr) break;
      pa_threaded_mainloop_wait(Loop);
    }
    if (deadline != nullptr) pa_threaded_mainloop_get_api(Loop)->time_free(deadline);
    return reached;
  }

  bool Connect(int rate) {
    Context = pa_context_new(pa_threaded_mainloop_get_api(Loop), "NexoQuadrix");
    if (Context == nullptr) return false;
    pa_context_set_state_callback(Context, &ContextChanged, this);
    if (pa_context_connect(Context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) return false;
    // A server that accepts the connection but never answers (a stopped one does) must not hold us.
    if (!WaitFor([this] { return pa_context_get_state(Context) == PA_CONTEXT_READY || !ContextGood(); },
                 StallUs) ||
        pa_context_get_state(Context) != PA_CONTEXT_READY)
      return false;

    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = static_cast<uint32_t>(rate);
    spec.channels = 1;
    Stream = pa_stream_new(Context, "veu", &spec, nullptr);
    if (Stream == nullptr) return false;
    pa_stream_set_state_callback(Stream, &StreamChanged, this);
    pa_stream_set_write_callback(Stream, &Writable, this);
    const uint32_t bytesPerMs = static_cast<uint32_t>(rate) * 2 / 1000;
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = BufferMs * bytesPerMs;
    attributes.prebuf = StartMs * bytesPerMs;
    attributes.minreq = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(Stream, nullptr, &attributes, flags, nullptr, nullptr) < 0) return false;
    return WaitFor([this] { return pa_stream_get_state(Stream) == PA_STREAM_READY || !StreamGood(); },
                   StallUs) &&
           pa_stream_get_state(Stream) == PA_STREAM_READY;
  }

  bool Write(const uint8_t* bytes, size_t size) {
    while (size > 0) {
      size_t room = 0;
      const bool spaced = WaitFor(
          [this, &room] {
            if (!StreamGood()) return true;
            room = pa_stream_writable_size(Stream);
            return room > 0 && room != static_cast<size_t>(-1);
          },
          StallUs);
      if (!spaced || !StreamGood() || room == 0 || room == static_cast<size_t>(-1)) return false;
      const size_t piece = std::min(room, size);
      if (pa_stream_write(Stream, bytes, piece, nullptr, 0, PA_SEEK_RELATIVE) < 0) return false;
      bytes += piece;
      size -= piece;
    }
    return true;
  }

  bool Drain() {
    if (!StreamGood()) return false;
    pa_operation* operation = pa_stream_drain(Stream, &Drained, this);
    if (operation == nullptr) return false;
    const bool drained = WaitFor(
        [this, operation] {
          return pa_operation_get_state(operation) != PA_OPERATION_RUNNING || !StreamGood();
        },
        DrainUs);
    if (!drained) pa_operation_cancel(operation);
    pa_operation_unref(operation);
    return drained && StreamGood();
  }

  void Flush() {
    if (!StreamGood()) return;
    if (pa_operation* operation = pa_stream_flush(Stream, nullptr, nullptr)) pa_operation_unref(operation);
  }

  // Stops the stream and the connection (neither waits for the server) and then the thread.
  void Destroy() {
    if (Loop == nullptr) return;
    pa_threaded_mainloop_lock(Loop);
    if (Stream != nullptr) {
      pa_stream_set_state_callback(Stream, nullptr, nullptr);
      pa_stream_set_write_callback(Stream, nullptr, nullptr);
      pa_stream_disconnect(Stream);
      pa_stream_unref(Stream);
      Stream = nullptr;
    }
    if (Context != nullptr) {
      pa_context_set_state_callback(Context, nullptr, nullptr);
      pa_context_disconnect(Context);
      pa_context_unref(Context);
      Context = nullptr;
    }
    pa_threaded_mainloop_unlock(Loop);
    pa_threaded_mainloop_stop(Loop);
    pa_threaded_mainloop_free(Loop);
    Loop = nullptr;
  }
};

PulsePlayback::PulsePlayback(int sampleRate) : Rate(sampleRate) {}

PulsePlayback::~PulsePlayback() {
  Close();
}

bool PulsePlayback::Connect() {
  if (Abandoned) return false;
  auto session = std::make_unique<Session>();
  session->Abandoned = &Abandoned;
  session->Interrupted = &Interrupted;
  session->Loop = pa_threaded_mainloop_new();
  if (session->Loop == nullptr) return false;
  if (pa_threaded_mainloop_start(session->Loop) < 0) {
    pa_threaded_mainloop_free(session->Loop);
    return false;
  }
  {
    // Published before connecting, so Abandon can end the wait for a server that does not answer.
    const std::lock_guard<std::mutex> guard(Publishing);
    Current = std::move(session);
  }
  pa_threaded_mainloop_lock(Current->Loop);
  const bool connected = Current->Connect(Rate);
  pa_threaded_mainloop_unlock(Current->Loop);
  if (!connected) Close();
  return connected;
}

bool PulsePlayback::Write(const int16_t* samples, std::size_t count) {
  if (count == 0) return true;
  if (Interrupted) return false;
  // A failed write on a kept stream means the server went away since; one fresh stream is tried.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const bool kept = Current != nullptr;
    if (!kept && !Connect()) return false;
    pa_threaded_mainloop_lock(Current->Loop);
    const bool written = Current->Write(reinterpret_cast<const uint8_t*>(samples), count * sizeof(int16_t));
    const bool stalled = Current->TimedOut;
    pa_threaded_mainloop_unlock(Current->Loop);
    if (written) return true;
    // An interrupted write leaves a good stream: the next text goes on using it.
    if (Interrupted) return false;
    Close();
    // A server that took nothing for so long is not waited for again with this text.
    if (!kept || stalled || Abandoned) return false;
  }
  return false;
}

void PulsePlayback::Drain() {
  if (Current == nullptr) return;
  pa_threaded_mainloop_lock(Current->Loop);
  const bool drained = Interrupted ? false : Current->Drain();
  pa_threaded_mainloop_unlock(Current->Loop);
  if (!drained && !Interrupted) Close();
}

void PulsePlayback::Flush() {
  if (Current == nullptr) return;
  pa_threaded_mainloop_lock(Current->Loop);
  Current->Flush();
  pa_threaded_mainloop_unlock(Current->Loop);
}

void PulsePlayback::Interrupt() {
  Interrupted = true;
  const std::lock_guard<std::mutex> guard(Publishing);
  if (Current == nullptr || Current->Loop == nullptr) return;
  pa_threaded_mainloop_lock(Current->Loop);
  pa_threaded_mainloop_signal(Current->Loop, 0);
  pa_threaded_mainloop_unlock(Current->Loop);
}

void PulsePlayback::Close() {
  std::unique_ptr<Session> session;
  {
    const std::lock_guard<std::mutex> guard(Publishing);
    session = std::move(Current);
  }
  if (session) session->Destroy();
}

void PulsePlayback::Abandon() {
  Abandoned = true;
  const std::lock_guard<std::mutex> guard(Publishing);
  if (Current == nullptr || Current->Loop == nullptr) return;
  // libpulse's thread holds this lock only while it runs a callback, never while it waits.
  pa_threaded_mainloop_lock(Current->Loop);
  pa_threaded_mainloop_signal(Current->Loop, 0);
  pa_threaded_mainloop_unlock(Current->Loop);
}

} // namespace nq
