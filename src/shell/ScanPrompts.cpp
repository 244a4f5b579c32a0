#include "shell/ScanPrompts.h"

namespace nq {

void ScanPrompts::Cut() {
  if (!Said) return;
  Said = false;
  if (Speech != nullptr) Speech->CutPrompt();
}

void ScanPrompts::Say(const std::string& prompt) {
  if (!State.ScanPrompts || Speech == nullptr || prompt.empty()) return;
  Speech->SpeakPrompt(prompt);
  Said = true;
  SaidAt = ClockRef.TickCount();
}

bool ScanPrompts::HoldStep(int32_t intervalMs) {
  if (!State.ScanPrompts || !State.ScanPromptsStretch || !Said || Speech == nullptr) return false;
  // Unsigned difference: right across the tick counter's wrap.
  const uint32_t elapsed = ClockRef.TickCount() - SaidAt;
  const int64_t limit = static_cast<int64_t>(MaxStretchIntervals) * intervalMs;
  if (static_cast<int64_t>(elapsed) >= limit) return false;
  return Speech->PromptSpeaking();
}

} // namespace nq
