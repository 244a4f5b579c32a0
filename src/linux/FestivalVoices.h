#pragma once
// The natural Catalan voice, Ona: Festival's HTS voice spoken in process. Festival keeps one
// interpreter per process that must always be used from the thread that started it, so one
// process-wide synthesis thread loads the voice once, in the background (from the moment it is
// chosen), and speaks every text;
// until the voice is ready (or when its package is missing) the fallback voice speaks instead, so
// the first words never wait for the loading.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/VoiceEngine.h"

namespace nq {

class FestivalVoices final : public VoiceEngine {
public:
  /// dataFolder: Festival's data folder, where its start-up files, the Catalan language and the
  /// voice are looked for. fallback speaks, with its voice fallbackVoice (-1: its own), whatever
  /// comes before the voice is ready.
  explicit FestivalVoices(VoiceEngine* fallback = nullptr, int fallbackVoice = -1,
                          std::string dataFolder = DefaultDataFolder());
  ~FestivalVoices() override;
  FestivalVoices(const FestivalVoices&) = delete;
  FestivalVoices& operator=(const FestivalVoices&) = delete;

  /// The voice's single entry when its packages are installed; nothing otherwise.
  std::vector<std::string> ListVoices() override;
  bool ChooseVoice(int index) override;
  void SetRate(int rate) override;
  void Speak(const std::string& utf8Text) override;
  bool IsSpeaking() override;
  /// Said after the texts queued before it; a later prompt, a text or CutPrompt ends it.
  void SpeakPrompt(const std::string& utf8Text) override;
  void CutPrompt() override;
  bool PromptSpeaking() override;

  static std::string DefaultDataFolder();
  /// True when the voice, the Catalan language and Festival's own start-up files are in dataFolder.
  static bool VoiceInstalled(const std::string& dataFolder);
  /// True once the voice is loaded and speaks texts itself.
  bool Ready() const;
  /// Starts loading the voice, if it has not started yet; ChooseVoice does this.
  void StartLoading();
  /// Starts loading if need be and waits until it has ended, well or not; false when the voice will
  /// not speak.
  bool WaitUntilLoaded();
  /// A text in the pieces it is synthesised in: sentences, and no piece longer than Festival copes with.
  static std::vector<std::string> Pieces(const std::string& text);
  /// Speed factor of the voice for a rate of -10..10: 1 at 0, 0.5 at -10, 2.5 at 10.
  static double SpeedForRate(int rate);

  // Measuring hook for the latency benchmark, as the espeak-ng voices have: called on the synthesis
  // thread when the first samples of a text reach the sound server. Set it while nothing is spoken.
  std::function<void()> FirstSampleWritten;

  struct Shared; // what queued texts need, kept alive by them after these voices are gone

private:
  /// The fallback voice set to this one's voice and rate, for a text said before Ona is ready; null
  /// when there is none.
  VoiceEngine* ReadyFallback();

  bool Installed = false;
  bool LoadingPosted = false;
  std::string DataFolder;
  VoiceEngine* Fallback;
  int FallbackVoice;
  bool FallbackUsed = false;
  int Rate = 0;
  std::shared_ptr<Shared> State;
};

} // namespace nq
