#pragma once
// Speaking a cell's or the message bar's text, or playing it when it names a ".wav" file.
#include <functional>
#include <string>

namespace nq {

class SoundPlayer;
class SpeechFrontEnd;

class SoundOrSpeech {
public:
  /// Turns a sound name as a board writes it (Windows-1252, relative to the board's folder, "\"
  /// separators) into the UTF-8 path of the file to play.
  using BoardFilePath = std::function<std::string(const std::string& windowsName)>;

  SoundOrSpeech(SpeechFrontEnd& speech, SoundPlayer& player, BoardFilePath boardFilePath);

  /// Plays a ".wav" text without waiting, ignores ".mp3", speaks any other text without waiting.
  void SpeakOrPlay(const std::string& text);
  /// The same, returning only when the sound or the speech has ended.
  void SpeakOrPlayAndWait(const std::string& text);

  /// Says a scan prompt quietly without waiting; a sound file's name is not said. Nothing is said
  /// until the voices are ready (a prompt never waits for them).
  void SpeakPrompt(const std::string& text);
  /// Ends the prompt being said or waiting, never another text.
  void CutPrompt();
  bool PromptSpeaking();

  /// True once the voices can take a prompt; unset means always.
  std::function<bool()> VoicesReady;

  /// Runs before any text is spoken, so the voices can be made ready first (may wait while events run).
  std::function<void()> BeforeSpeaking;

private:
  void Run(const std::string& text, bool wait);

  SpeechFrontEnd& Speech;
  SoundPlayer& Player;
  BoardFilePath FilePath;
};

} // namespace nq
