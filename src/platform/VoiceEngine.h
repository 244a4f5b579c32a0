#pragma once
// One group of voices (the desktop speech service, or the in-process synthesiser).
#include <string>
#include <vector>

namespace nq {

class VoiceEngine {
public:
  virtual ~VoiceEngine() = default;
  /// Descriptions of the voices this engine offers, in a stable order; empty when it is unavailable.
  virtual std::vector<std::string> ListVoices() = 0;
  /// The language tag of voice index ("ca", "es-419"); empty when the engine does not say.
  virtual std::string VoiceLanguage(int index) {
    (void)index;
    return {};
  }
  /// Chooses a voice by its index in ListVoices(); false when the index is out of range.
  virtual bool ChooseVoice(int index) = 0;
  /// Rate from -10 (slowest) to 10 (fastest); 0 is the engine's normal speed.
  virtual void SetRate(int rate) = 0;
  /// Speaks UTF-8 text without waiting; a text given while another is spoken waits its turn.
  virtual void Speak(const std::string& utf8Text) = 0;
  /// True while something queued is still being spoken.
  virtual bool IsSpeaking() = 0;

  // Scan prompts: short texts said more quietly than the rest, which never start over a text given
  // with Speak (they wait behind it, or are dropped) and which the next prompt or CutPrompt ends.
  // An engine that cannot end a text early says none, rather than let them pile up.
  virtual void SpeakPrompt(const std::string& utf8Text) { (void)utf8Text; }
  /// Ends the prompt being said or waiting; a text given with Speak is never cut.
  virtual void CutPrompt() {}
  /// True while a prompt is being said or waits its turn.
  virtual bool PromptSpeaking() { return false; }
};

} // namespace nq
