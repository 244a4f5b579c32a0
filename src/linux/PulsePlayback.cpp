#include "linux/PulsePlayback.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace nq {

namespace {
// Room for two of the synthesiser's chunks, so its first chunk is taken without waiting.
constexpr uint32_t BufferMs = 400;
// Playback starts once this much has arrived, not when the buffer is full: a short word is heard at once.
constexpr uint32_t StartMs = 20;
} // namespace

PulsePlayback::PulsePlayback(int sampleRate) : Rate(sampleRate) {}

PulsePlayback::~PulsePlayback() {
  Close();
}

bool PulsePlayback::Connect() {
  pa_sample_spec spec{};
  spec.format = PA_SAMPLE_S16LE;
  spec.rate = static_cast<uint32_t>(Rate);
  spec.channels = 1;
  const uint32_t bytesPerMs = static_cast<uint32_t>(Rate) * 2 / 1000;
  pa_buffer_attr attributes{};
  attributes.maxlength = static_cast<uint32_t>(-1);
  attributes.tlength = BufferMs * bytesPerMs;
  attributes.prebuf = StartMs * bytesPerMs;
  attributes.minreq = static_cast<uint32_t>(-1);
  attributes.fragsize = static_cast<uint32_t>(-1);
  int error = 0;
  Stream = pa_simple_new(nullptr, "NexoQuadrix", PA_STREAM_PLAYBACK, nullptr, "veu", &spec, nullptr,
                         &attributes, &error);
  return Stream != nullptr;
}

bool PulsePlayback::Write(const int16_t* samples, std::size_t count) {
  if (count == 0) return true;
  // A failed write on a kept stream means the server went away since; one fresh stream is tried.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const bool kept = Stream != nullptr;
    if (!kept && !Connect()) return false;
    int error = 0;
    if (pa_simple_write(Stream, samples, count * sizeof(int16_t), &error) == 0) return true;
    Close();
    if (!kept) return false;
  }
  return false;
}

void PulsePlayback::Drain() {
  int error = 0;
  if (Stream != nullptr && pa_simple_drain(Stream, &error) < 0) Close();
}

void PulsePlayback::Close() {
  if (Stream == nullptr) return;
  pa_simple_free(Stream);
  Stream = nullptr;
}

} // namespace nq
