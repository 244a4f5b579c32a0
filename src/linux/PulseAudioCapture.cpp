#include "linux/PulseAudioCapture.h"

#include <pulse/pulseaudio.h>

#include <QMetaObject>
#include <span>
#include <vector>

namespace nq {

namespace {
// A server that accepts the connection but never answers must not hang the scan start.
constexpr pa_usec_t ConnectTimeoutUs = 3 * PA_USEC_PER_SEC;
constexpr int32_t ErrorTimeout = 1000;
} // namespace

struct PulseAudioCapture::Session {
  PulseAudioCapture* Owner = nullptr;
  uint64_t Generation = 0;
  size_t BlockBytes = 0;
  pa_threaded_mainloop* Loop = nullptr;
  pa_context* Context = nullptr;
  pa_stream* Stream = nullptr;
  pa_time_event* Timeout = nullptr;
  bool TimedOut = false;
  bool Ready = false;    // the stream has run; a failure from now on is a lost source
  bool Reported = false; // the loss was posted once
  std::vector<uint8_t> Pending;

  // Runs on libpulse's thread.
  void Post(std::vector<uint8_t> block) {
    PulseAudioCapture* owner = Owner;
    const uint64_t generation = Generation;
    QMetaObject::invokeMethod(
        &owner->Receiver,
        [owner, generation, block = std::move(block)]() mutable { owner->Deliver(generation, block); },
        Qt::QueuedConnection);
  }
  void PostLost() {
    if (Reported) return;
    Reported = true;
    PulseAudioCapture* owner = Owner;
    const uint64_t generation = Generation;
    QMetaObject::invokeMethod(
        &owner->Receiver, [owner, generation] { owner->Report(generation); }, Qt::QueuedConnection);
  }

  static void ContextState(pa_context* context, void* data) {
    auto* self = static_cast<Session*>(data);
    const pa_context_state_t state = pa_context_get_state(context);
    if (self->Ready && (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)) self->PostLost();
    pa_threaded_mainloop_signal(self->Loop, 0);
  }
  static void StreamState(pa_stream* stream, void* data) {
    auto* self = static_cast<Session*>(data);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (self->Ready && (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)) self->PostLost();
    pa_threaded_mainloop_signal(self->Loop, 0);
  }
  static void Expired(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
    auto* self = static_cast<Session*>(data);
    self->TimedOut = true;
    pa_threaded_mainloop_signal(self->Loop, 0);
  }
  static void Readable(pa_stream* stream, size_t, void* data) {
    auto* self = static_cast<Session*>(data);
    const void* bytes = nullptr;
    size_t length = 0;
    while (pa_stream_readable_size(stream) > 0) {
      if (pa_stream_peek(stream, &bytes, &length) < 0 || length == 0) return;
      // A hole (no data from the source) is skipped: only what was heard makes blocks.
      if (bytes != nullptr) {
        const auto* from = static_cast<const uint8_t*>(bytes);
        self->Pending.insert(self->Pending.end(), from, from + length);
      }
      pa_stream_drop(stream);
      size_t start = 0;
      while (self->Pending.size() - start >= self->BlockBytes) {
        self->Post(std::vector<uint8_t>(self->Pending.begin() + static_cast<std::ptrdiff_t>(start),
                                        self->Pending.begin() +
                                            static_cast<std::ptrdiff_t>(start + self->BlockBytes)));
        start += self->BlockBytes;
      }
      self->Pending.erase(self->Pending.begin(), self->Pending.begin() + static_cast<std::ptrdiff_t>(start));
    }
  }

  // Waits (with the loop locked) until done() holds or the time runs out; false on timeout.
  template <typename Done> bool WaitFor(Done done) {
    while (!done()) {
      if (TimedOut) return false;
      pa_threaded_mainloop_wait(Loop);
    }
    return true;
  }

  // With the loop locked: stops the stream and the connection; no callback of ours runs afterwards.
  void Disconnect() {
    if (Timeout != nullptr) {
      pa_mainloop_api* api = pa_threaded_mainloop_get_api(Loop);
      api->time_free(Timeout);
      Timeout = nullptr;
    }
    if (Stream != nullptr) {
      pa_stream_set_read_callback(Stream, nullptr, nullptr);
      pa_stream_set_state_callback(Stream, nullptr, nullptr);
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
  }

  // Stops libpulse's thread and frees everything; called on the UI thread.
  void Destroy() {
    if (Loop == nullptr) return;
    pa_threaded_mainloop_lock(Loop);
    Disconnect();
    pa_threaded_mainloop_unlock(Loop);
    pa_threaded_mainloop_stop(Loop);
    pa_threaded_mainloop_free(Loop);
    Loop = nullptr;
  }

  // A default source that only echoes a sink (no microphone on this machine) would hear the
  // program's own speech as clicks: that is no microphone.
  int32_t RefuseMonitor() {
    struct Answer {
      Session* Self;
      bool Done = false;
      bool Monitor = false;
    } answer{this};
    auto onInfo = [](pa_context*, const pa_source_info* info, int eol, void* data) {
      auto* a = static_cast<Answer*>(data);
      if (eol == 0 && info != nullptr) a->Monitor = info->monitor_of_sink != PA_INVALID_INDEX;
      if (eol != 0) a->Done = true;
      pa_threaded_mainloop_signal(a->Self->Loop, 0);
    };
    pa_operation* operation =
        pa_context_get_source_info_by_index(Context, pa_stream_get_device_index(Stream), onInfo, &answer);
    if (operation == nullptr) return pa_context_errno(Context);
    const bool done = WaitFor([&answer] { return answer.Done; });
    if (!done) pa_operation_cancel(operation);
    pa_operation_unref(operation);
    if (!done) return ErrorTimeout;
    return answer.Monitor ? PA_ERR_NOENTITY : 0;
  }

  int32_t Start(const AudioFormat& format, const char* streamName) {
    Loop = pa_threaded_mainloop_new();
    if (Loop == nullptr) return PA_ERR_INTERNAL;
    if (pa_threaded_mainloop_start(Loop) < 0) {
      pa_threaded_mainloop_free(Loop);
      Loop = nullptr;
      return PA_ERR_INTERNAL;
    }
    pa_threaded_mainloop_lock(Loop);
    const int32_t error = Connect(format, streamName);
    pa_threaded_mainloop_unlock(Loop);
    return error;
  }

  int32_t Connect(const AudioFormat& format, const char* streamName) {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(Loop);
    // Named after the stream, so the server's client list tells which microphone is held.
    Context = pa_context_new(api, streamName);
    if (Context == nullptr) return PA_ERR_INTERNAL;
    pa_context_set_state_callback(Context, &ContextState, this);
    Timeout = pa_context_rttime_new(Context, pa_rtclock_now() + ConnectTimeoutUs, &Expired, this);
    if (pa_context_connect(Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
      return pa_context_errno(Context);
    const bool connected = WaitFor([this] {
      const pa_context_state_t s = pa_context_get_state(Context);
      return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
    });
    if (!connected) return ErrorTimeout;
    if (pa_context_get_state(Context) != PA_CONTEXT_READY) return pa_context_errno(Context);

    pa_sample_spec sample{};
    sample.format = format.BitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    sample.rate = static_cast<uint32_t>(format.SampleRate);
    sample.channels = static_cast<uint8_t>(format.Channels);
    if (!pa_sample_spec_valid(&sample)) return PA_ERR_INVALID;
    Stream = pa_stream_new(Context, streamName, &sample, nullptr);
    if (Stream == nullptr) return pa_context_errno(Context);
    pa_stream_set_state_callback(Stream, &StreamState, this);
    pa_stream_set_read_callback(Stream, &Readable, this);
    // Fragments of one block: the server hands each block over as soon as it is complete.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(BlockBytes);
    attr.tlength = attr.prebuf = attr.minreq = static_cast<uint32_t>(-1);
    // Not moved when its source goes away: the server would carry it to another source, perhaps the
    // speaker's monitor, where the program's own speech would click.
    if (pa_stream_connect_record(
            Stream, nullptr, &attr,
            static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE)) < 0)
      return pa_context_errno(Context);
    const bool started = WaitFor([this] {
      const pa_stream_state_t s = pa_stream_get_state(Stream);
      return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
    });
    if (!started) return ErrorTimeout;
    if (pa_stream_get_state(Stream) != PA_STREAM_READY) return pa_context_errno(Context);
    if (const int32_t error = RefuseMonitor(); error != 0) return error;
    api->time_free(Timeout);
    Timeout = nullptr;
    Ready = true;
    return 0;
  }
};

PulseAudioCapture::PulseAudioCapture(const char* streamName) : StreamName(streamName) {}

PulseAudioCapture::~PulseAudioCapture() {
  Close();
}

int32_t PulseAudioCapture::Open(const AudioFormat& format, size_t blockBytes, BlockHandler onBlock,
                                LostHandler onLost) {
  Close();
  if (blockBytes == 0) return PA_ERR_INVALID;
  auto session = std::make_unique<Session>();
  session->Owner = this;
  session->Generation = ++Generation;
  session->BlockBytes = blockBytes;
  session->Pending.reserve(blockBytes * 4);
  const int32_t error = session->Start(format, StreamName);
  if (error != 0) {
    session->Destroy();
    ++Generation;
    return error;
  }
  OnBlock = std::move(onBlock);
  OnLost = std::move(onLost);
  Current = std::move(session);
  return 0;
}

void PulseAudioCapture::Close() {
  // A new generation first: blocks already posted but not yet run are dropped on arrival.
  ++Generation;
  if (Current) {
    Current->Destroy();
    Current.reset();
  }
}

void PulseAudioCapture::Deliver(uint64_t generation, std::vector<uint8_t>& block) {
  if (generation != Generation || !Current) return;
  // A copy, because the handler may close this capture (and so reset the member) while it runs.
  const BlockHandler handler = OnBlock;
  if (handler) handler(std::span<const uint8_t>(block));
}

void PulseAudioCapture::Report(uint64_t generation) {
  if (generation != Generation || !Current) return;
  const LostHandler handler = OnLost;
  if (handler) handler();
}

} // namespace nq
