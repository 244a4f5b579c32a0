#include "speech/JoinedVoices.h"

namespace nq {

JoinedVoices::JoinedVoices(std::vector<VoiceEngine*> members)
    : Members(std::move(members)), Counts(Members.size(), 0) {}

std::vector<std::string> JoinedVoices::ListVoices() {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < Members.size(); ++i) {
    std::vector<std::string> voices = Members[i]->ListVoices();
    Counts[i] = static_cast<int>(voices.size());
    all.insert(all.end(), voices.begin(), voices.end());
  }
  return all;
}

bool JoinedVoices::ChooseVoice(int index) {
  if (index < 0) return false;
  for (std::size_t i = 0; i < Members.size(); ++i) {
    if (index < Counts[i]) {
      if (!Members[i]->ChooseVoice(index)) return false;
      Chosen = Members[i];
      return true;
    }
    index -= Counts[i];
  }
  return false;
}

void JoinedVoices::SetRate(int rate) {
  for (VoiceEngine* member : Members)
    member->SetRate(rate);
}

VoiceEngine* JoinedVoices::Speaker() const {
  if (Chosen) return Chosen;
  for (std::size_t i = 0; i < Members.size(); ++i)
    if (Counts[i] > 0) return Members[i];
  return Members.empty() ? nullptr : Members.front();
}

void JoinedVoices::Speak(const std::string& utf8Text) {
  if (VoiceEngine* speaker = Speaker()) speaker->Speak(utf8Text);
}

bool JoinedVoices::IsSpeaking() {
  VoiceEngine* speaker = Speaker();
  return speaker && speaker->IsSpeaking();
}

void JoinedVoices::SpeakPrompt(const std::string& utf8Text) {
  if (VoiceEngine* speaker = Speaker()) speaker->SpeakPrompt(utf8Text);
}

void JoinedVoices::CutPrompt() {
  for (VoiceEngine* member : Members)
    member->CutPrompt();
}

bool JoinedVoices::PromptSpeaking() {
  for (VoiceEngine* member : Members)
    if (member->PromptSpeaking()) return true;
  return false;
}

} // namespace nq
