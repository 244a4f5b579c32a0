#include "speech/SoundOrSpeech.h"

#include "platform/SoundPlayer.h"
#include "speech/SpeechFrontEnd.h"
#include "text/TextUtilities.h"

namespace nq {

SoundOrSpeech::SoundOrSpeech(SpeechFrontEnd& speech, SoundPlayer& player, BoardFilePath boardFilePath)
    : Speech(speech), Player(player), FilePath(std::move(boardFilePath)) {}

void SoundOrSpeech::SpeakOrPlay(const std::string& text) {
  Run(text, false);
}

void SoundOrSpeech::SpeakOrPlayAndWait(const std::string& text) {
  Run(text, true);
}

void SoundOrSpeech::SpeakPrompt(const std::string& text) {
  if (text.empty() || (VoicesReady && !VoicesReady())) return;
  const std::string tail = UpperAscii(text.size() > 4 ? text.substr(text.size() - 4) : text);
  if (tail == ".WAV" || tail == ".MP3") return;
  Speech.SpeakPrompt(LowerAscii(JoinLines(text)));
}

void SoundOrSpeech::CutPrompt() {
  if (VoicesReady && !VoicesReady()) return;
  Speech.CutPrompt();
}

bool SoundOrSpeech::PromptSpeaking() {
  return (!VoicesReady || VoicesReady()) && Speech.PromptSpeaking();
}

void SoundOrSpeech::Run(const std::string& text, bool wait) {
  if (text.empty()) return;
  const std::string tail = UpperAscii(text.size() > 4 ? text.substr(text.size() - 4) : text);
  if (tail == ".WAV") {
    const std::string path = FilePath ? FilePath(text) : std::string();
    if (path.empty()) return;
    if (wait)
      Player.PlayAndWait(path);
    else
      Player.Play(path);
    return;
  }
  if (tail == ".MP3") return;
  if (BeforeSpeaking) BeforeSpeaking();
  std::string spoken = LowerAscii(JoinLines(text));
  if (wait)
    Speech.SpeakTextAndWait(std::move(spoken));
  else
    Speech.SpeakText(std::move(spoken));
}

} // namespace nq
