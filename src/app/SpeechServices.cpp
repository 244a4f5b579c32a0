#include "app/SpeechServices.h"

#include <system_error>
#include <thread>

#include "settings/ConfigLocation.h"
#include "settings/SettingsStore.h"
#include "text/Encoding.h"

namespace nq {
namespace {

constexpr int CreationPollMs = 50;
constexpr int WaitSliceMs = 20;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

} // namespace

BackgroundListedVoices::BackgroundListedVoices(std::shared_ptr<VoiceEngine> inner) : Inner(std::move(inner)) {
  std::promise<std::vector<std::string>> listed;
  Pending = listed.get_future();
  // The worker shares the group, so a close that does not wait for it leaves it nothing freed to use.
  try {
    std::thread([group = Inner, listed = std::move(listed)]() mutable {
      try {
        listed.set_value(group->ListVoices());
      } catch (...) {
        listed.set_exception(std::current_exception());
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to list on: the promise is gone with it, and the group is taken as having no voices.
  }
}

BackgroundListedVoices::~BackgroundListedVoices() {
  // Closing never waits long for a service that is slow to answer; the worker ends on its own.
  if (Pending.valid()) Pending.wait_for(CloseWait);
}

bool BackgroundListedVoices::Listed() const {
  return !Pending.valid() || Pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool BackgroundListedVoices::Settle() {
  if (Pending.valid()) {
    try {
      Voices = Pending.get();
    } catch (...) {
      Voices.clear(); // a service that failed to list is a group without voices
    }
  }
  return !Voices.empty();
}

std::vector<std::string> BackgroundListedVoices::ListVoices() {
  Settle();
  return Voices;
}

std::string BackgroundListedVoices::VoiceLanguage(int index) {
  return Settle() ? Inner->VoiceLanguage(index) : std::string();
}

bool BackgroundListedVoices::ChooseVoice(int index) {
  return Settle() && Inner->ChooseVoice(index);
}

void BackgroundListedVoices::SetRate(int rate) {
  if (Settle()) Inner->SetRate(rate);
}

void BackgroundListedVoices::Speak(const std::string& utf8Text) {
  if (Settle()) Inner->Speak(utf8Text);
}

bool BackgroundListedVoices::IsSpeaking() {
  return Settle() && Inner->IsSpeaking();
}

void BackgroundListedVoices::SpeakPrompt(const std::string& utf8Text) {
  if (Listed() && Settle()) Inner->SpeakPrompt(utf8Text);
}

void BackgroundListedVoices::CutPrompt() {
  if (Listed() && Settle()) Inner->CutPrompt();
}

bool BackgroundListedVoices::PromptSpeaking() {
  return Listed() && Settle() && Inner->PromptSpeaking();
}

SpeechServices::SpeechServices(SettingsStore& settings, Dialogs& dialogs, Clock& clock,
                               const SpeechPaths& paths, SoundOrSpeech::BoardFilePath boardFilePath)
    : ClockRef(clock), Loader(paths.ProgramFolder), Desktop(std::make_shared<SpeechDispatcherVoices>()),
#ifdef NQ_FESTIVAL
      // Until Ona is loaded, the in-process Catalan voice speaks for her.
      Ona(&InProcess, InProcess.VoiceForLanguage("ca")), FirstGroup({&Desktop, &Ona}),
#else
      FirstGroup({&Desktop}),
#endif
      Library(Loader, clock),
      TheDictionary(settings, dialogs, WithSlash(Utf8ToWindows1252(paths.ProgramFolder))),
      Front(settings, WithSlash(paths.SettingsFolder) + "parlartts.ini", FirstGroup, InProcess, Library,
            TheDictionary, dialogs, clock),
      Output(Front, Sounds, std::move(boardFilePath)), CreationTimer(clock.CreateTimer(CreationPollMs)) {
  // "parlartts.ini" is written from the first rate applied on, so its folder must exist by then.
  if (paths.CreateSettingsFolder) CreateFolderPath(paths.SettingsFolder);
  CreationTimer->SetHandler([this] {
    if (Desktop.Listed()) CreateFrontEnd();
  });
  // A cell chosen in the first moments after start must wait for the chosen voice, not go to another.
  Output.BeforeSpeaking = [this] {
    if (!FrontEndCreated) EnsureCreated();
  };
  // A scan prompt is dropped rather than wait for the voices.
  Output.VoicesReady = [this] { return FrontEndCreated; };
}

SpeechServices::~SpeechServices() {
  CreationTimer->SetEnabled(false);
  if (FrontEndCreated) Front.FormDestroy();
}

void SpeechServices::Start() {
  TheDictionary.FormCreate();
  CreationTimer->SetEnabled(true);
}

void SpeechServices::EnsureCreated() {
  // The window keeps painting while the desktop service answers; its wait is bounded by the service's
  // own connection timeout.
  while (!FrontEndCreated && !Desktop.Listed())
    ClockRef.WaitWithMessages(WaitSliceMs);
  CreateFrontEnd();
}

void SpeechServices::CreateFrontEnd() {
  CreationTimer->SetEnabled(false);
  if (FrontEndCreated) return;
  // Set first: the front end may show a message box, whose event loop can come back here.
  FrontEndCreated = true;
  Front.FormCreate();
}

} // namespace nq
