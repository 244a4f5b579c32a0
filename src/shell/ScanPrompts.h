#pragma once
// Auditory scanning: each scan step says quietly what it highlights, and the next step cuts that short.
// With the stretch, an automatic step that falls due while the prompt is still said waits for it, a
// bounded time, so a voice that never reports its end cannot freeze the scan.
#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "shell/ShellPorts.h"
#include "shell/ShellState.h"

namespace nq {

// However long a prompt lasts, the step after it comes at most this many scan intervals after the
// prompt began.
inline constexpr int32_t MaxStretchIntervals = 3;
// How often a stretched step asks again whether the prompt has ended.
inline constexpr int32_t StretchPollMs = 50;

class ScanPrompts {
public:
  ScanPrompts(const ShellState& state, Clock& clock) : State(state), ClockRef(clock) {}

  void SetSpeech(SpeechOutput* speech) { Speech = speech; }

  /// Cuts the prompt of the step before; called as a step begins.
  void Cut();
  /// Says the prompt of the step just made, with the option on and something to say.
  void Say(const std::string& prompt);
  /// True when the automatic step due now should wait for the prompt: the stretch is on, the prompt is
  /// still said, and it began less than MaxStretchIntervals intervals ago.
  bool HoldStep(int32_t intervalMs);

private:
  const ShellState& State;
  Clock& ClockRef;
  SpeechOutput* Speech = nullptr;
  bool Said = false; // a prompt was given and not cut since
  uint32_t SaidAt = 0;
};

} // namespace nq
