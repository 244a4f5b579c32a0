#pragma once
// The speech objects of the running player, built in the order they depend on each other and kept
// for the whole run: library loading, the two voice groups, the outside speech library, the
// exceptions dictionary, the speech front end, sound playback and SoundOrSpeech on top.
//
// The desktop speech service can take seconds to answer, so its voices are listed on a worker
// thread and the front end is created only once they are known: start-up and the first paint never
// wait for it; only opening the speech window before then does.
#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "linux/DynamicLibrary.h"
#include "linux/EspeakVoices.h"
#ifdef NQ_FESTIVAL
#include "linux/FestivalVoices.h"
#endif
#include "linux/QtSoundPlayer.h"
#include "linux/SpeechDispatcherVoices.h"
#include "platform/Clock.h"
#include "platform/VoiceEngine.h"
#include "speech/ExceptionsDictionary.h"
#include "speech/JoinedVoices.h"
#include "speech/SoundOrSpeech.h"
#include "speech/SpeechFrontEnd.h"
#include "speech/SpeechLibrary.h"

namespace nq {

class Dialogs;
class SettingsStore;

// A voice group whose list is fetched once on a worker thread. Every call first waits for that
// fetch, so the group is never used from two threads at once; a group that listed no voice is
// treated as absent afterwards, so a service that never answered cannot stall the window again.
class BackgroundListedVoices final : public VoiceEngine {
public:
  explicit BackgroundListedVoices(std::shared_ptr<VoiceEngine> inner);
  ~BackgroundListedVoices() override;

  /// True once the worker has listed the voices (never blocks).
  bool Listed() const;

  std::vector<std::string> ListVoices() override;
  std::string VoiceLanguage(int index) override;
  bool ChooseVoice(int index) override;
  void SetRate(int rate) override;
  void Speak(const std::string& utf8Text) override;
  bool IsSpeaking() override;
  // Prompts never wait for the list: before it has come, there is no prompt to say or end.
  void SpeakPrompt(const std::string& utf8Text) override;
  void CutPrompt() override;
  bool PromptSpeaking() override;

private:
  bool Settle();

  static constexpr std::chrono::milliseconds CloseWait{500};

  std::shared_ptr<VoiceEngine> Inner;
  std::future<std::vector<std::string>> Pending;
  std::vector<std::string> Voices;
};

struct SpeechPaths {
  std::string ProgramFolder;  // UTF-8, the executable's folder: libupctv.so is looked for there first
  std::string SettingsFolder; // UTF-8, the settings file's folder: "parlartts.ini" lives there
  bool CreateSettingsFolder = false;
};

class SpeechServices {
public:
  SpeechServices(SettingsStore& settings, Dialogs& dialogs, Clock& clock, const SpeechPaths& paths,
                 SoundOrSpeech::BoardFilePath boardFilePath);
  ~SpeechServices();
  SpeechServices(const SpeechServices&) = delete;
  SpeechServices& operator=(const SpeechServices&) = delete;

  /// Start-up: loads the stored dictionary and creates the front end as soon as the voices are known.
  void Start();
  /// Creates the front end now if it is not yet, waiting for the voices while the window keeps working.
  void EnsureCreated();
  bool Created() const { return FrontEndCreated; }

  SpeechFrontEnd& FrontEnd() { return Front; }
  ExceptionsDictionary& Dictionary() { return TheDictionary; }
  /// What cell activation speaks or plays through.
  SoundOrSpeech& Speech() { return Output; }

private:
  void CreateFrontEnd();

  Clock& ClockRef;
  DynamicLibraryLoader Loader;
  BackgroundListedVoices Desktop;
  EspeakVoices InProcess;
#ifdef NQ_FESTIVAL
  FestivalVoices Ona;
#endif
  JoinedVoices FirstGroup; // the desktop service's voices, then Ona
  SpeechLibrary Library;
  ExceptionsDictionary TheDictionary;
  SpeechFrontEnd Front;
  QtSoundPlayer Sounds;
  SoundOrSpeech Output;
  std::unique_ptr<Timer> CreationTimer;
  bool FrontEndCreated = false;
};

} // namespace nq
