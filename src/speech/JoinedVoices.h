#pragma once
// Several voice engines shown as one group of the voice list: their voices one after another, the
// chosen voice's engine speaking. The desktop speech service's voices and the in-process voices
// that belong beside them (a natural voice of its own) make one group this way.
#include <vector>

#include "platform/VoiceEngine.h"

namespace nq {

class JoinedVoices final : public VoiceEngine {
public:
  explicit JoinedVoices(std::vector<VoiceEngine*> members);

  /// Lists every member in order and remembers where each member's voices start.
  std::vector<std::string> ListVoices() override;
  bool ChooseVoice(int index) override;
  /// Every member gets the rate, so a voice chosen later speaks at it too.
  void SetRate(int rate) override;
  /// Until a voice is chosen, the first member that listed a voice speaks with its own default.
  void Speak(const std::string& utf8Text) override;
  bool IsSpeaking() override;
  void SpeakPrompt(const std::string& utf8Text) override;
  /// Every member: the voice chosen meanwhile may not be the one saying the prompt.
  void CutPrompt() override;
  bool PromptSpeaking() override;

private:
  VoiceEngine* Speaker() const;

  std::vector<VoiceEngine*> Members;
  std::vector<int> Counts; // voices listed by each member, from the last ListVoices
  VoiceEngine* Chosen = nullptr;
};

} // namespace nq
