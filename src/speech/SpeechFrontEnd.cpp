#include "speech/SpeechFrontEnd.h"

#include <algorithm>
#include <optional>

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/VoiceEngine.h"
#include "settings/SettingsStore.h"
#include "speech/ExceptionsDictionary.h"
#include "speech/SpeechLibrary.h"
#include "text/Encoding.h"

namespace nq {

namespace {

constexpr const char* TtsSection = "tts";
constexpr const char* EngineNumberKey = "Numero sintetitzador";
// The chosen voice's group and list text beside its number: the number alone names another voice when
// a group above it is listed empty (the desktop service answering late).
constexpr const char* EngineGroupKey = "Grup sintetitzador";
constexpr const char* EngineNameKey = "Nom sintetitzador";
constexpr const char* RateKey = "velocitat";
constexpr const char* ReadingKey = "ESTIC LLEGINT";
constexpr const char* ToWavSection = "tts to Wav";
constexpr const char* EngineTypeKey = "Tipus de sintetitzador";
constexpr const char* VoiceNumberKey = "Sintetitzador";
constexpr const char* SpeedKey = "SPEED";
constexpr int VoiceWaitPollMs = 50;
constexpr int LibraryWaitPollMs = 100;

struct LibraryVoice {
  const char* ListText;
  const char* Language;
  bool Male;
};

constexpr LibraryVoice LibraryVoices[] = {
    {"UPCTV - Home - Catal\xE0", "catala", true},
    {"UPCTV - Dona - Catal\xE0", "catala", false},
    {"UPCTV - Hombre - Espa\xF1ol", "castella", true},
    {"UPCTV - Mujer - Espa\xF1ol", "castella", false},
};
constexpr int LibraryVoiceCount = 4;

const char* EngineTypeName(EngineKind kind) {
  switch (kind) {
  case EngineKind::Desktop:
    return "MSP";
  case EngineKind::InProcess:
    return "SAPI";
  case EngineKind::Library:
    return "UPCTV";
  }
  return "";
}

void AppendGroup(std::vector<VoiceEntry>& entries, VoiceEngine& engine, const char* group,
                 const std::string& prefix) {
  const std::vector<std::string> voices = engine.ListVoices();
  for (int i = 0; i < static_cast<int>(voices.size()); ++i)
    entries.push_back(
        {group, prefix + Utf8ToWindows1252(voices[static_cast<std::size_t>(i)]), engine.VoiceLanguage(i)});
}

} // namespace

std::vector<VoiceEntry> ListVoiceEntries(VoiceEngine& desktopVoices, VoiceEngine& inProcessVoices,
                                         bool libraryLoaded) {
  std::vector<VoiceEntry> entries;
  AppendGroup(entries, desktopVoices, EngineTypeName(EngineKind::Desktop), "");
  AppendGroup(entries, inProcessVoices, EngineTypeName(EngineKind::InProcess), "SAPI - ");
  if (libraryLoaded)
    for (const LibraryVoice& voice : LibraryVoices)
      entries.push_back({EngineTypeName(EngineKind::Library), voice.ListText,
                         std::string(voice.Language) == "catala" ? "ca" : "es"});
  return entries;
}

int32_t LibrarySpeedForRate(int rate) {
  if (rate > 0) return 100 + 15 * rate;
  return 10 * (std::max(rate, -9) + 10);
}

SpeechFrontEnd::SpeechFrontEnd(SettingsStore& settings, std::string speechSettingsPath,
                               VoiceEngine& desktopVoices, VoiceEngine& inProcessVoices,
                               SpeechLibrary& library, ExceptionsDictionary& dictionary, Dialogs& dialogs,
                               Clock& clock)
    : Settings(settings), SpeechSettings(std::move(speechSettingsPath)), Desktop(desktopVoices),
      InProcess(inProcessVoices), Library(library), Dictionary(dictionary), DialogsRef(dialogs),
      ClockRef(clock), SampleTimer(clock.CreateTimer(VoiceSampleDelayMs)) {
  SampleTimer->SetHandler([this] { SpeakSample(); });
}

SpeechFrontEnd::~SpeechFrontEnd() = default;

bool SpeechFrontEnd::EngineNotChosen() const {
  return Settings.ReadSettingText(TtsSection, EngineNumberKey, "-1") == "-1";
}

EngineChoice SpeechFrontEnd::EngineFor(int index) const {
  if (index < DesktopVoiceCount) return {EngineKind::Desktop, index};
  if (index < DesktopVoiceCount + InProcessVoiceCount)
    return {EngineKind::InProcess, index - DesktopVoiceCount};
  return {EngineKind::Library, index - DesktopVoiceCount - InProcessVoiceCount};
}

VoiceEngine* SpeechFrontEnd::VoiceEngineFor(const EngineChoice& choice) {
  if (choice.Kind == EngineKind::Desktop) return &Desktop;
  if (choice.Kind == EngineKind::InProcess) return &InProcess;
  return nullptr;
}

void SpeechFrontEnd::FormCreate() {
  const std::string stored = Settings.ReadSettingText(TtsSection, EngineNumberKey, "-1");
  // Our own library puts up no window, so there is nothing to dismiss after loading it.
  LibraryListed = Library.LoadSpeechLibrary();
  VoiceEntries = ListVoiceEntries(Desktop, InProcess, LibraryListed);
  ListEntries.clear();
  DesktopVoiceCount = InProcessVoiceCount = 0;
  for (const VoiceEntry& voice : VoiceEntries) {
    ListEntries.push_back(voice.Name);
    DesktopVoiceCount += voice.Group == EngineTypeName(EngineKind::Desktop);
    InProcessVoiceCount += voice.Group == EngineTypeName(EngineKind::InProcess);
  }
  if (AnyEngine()) RestoreChosenEntry(stored);
  RestoreRate();
}

void SpeechFrontEnd::RestoreChosenEntry(const std::string& stored) {
  const std::optional<int32_t> number = ParseProfileInteger(stored);
  if (!number) return; // an unreadable number leaves nothing selected, without a message
  if (*number < 0) {
    // First run: the engines keep their default voices until the user chooses one.
    Selected = 0;
    return;
  }
  const std::string group = Settings.ReadSettingText(TtsSection, EngineGroupKey, "");
  const std::string name = Settings.ReadSettingText(TtsSection, EngineNameKey, "");
  if (!group.empty() && !name.empty()) {
    if (const std::optional<int> found = FindEntry(group, name)) {
      ListBoxMotorsDeVeuClick(*found);
      return;
    }
  }
  ListBoxMotorsDeVeuClick(*number < static_cast<int32_t>(ListEntries.size()) ? *number : -1);
  // A stored voice not listed this time: the number speaks meanwhile, and the stored choice is kept so
  // that the voice comes back once its group is listed again.
  KeepStoredChoice = !group.empty() && !name.empty();
}

std::optional<int> SpeechFrontEnd::FindEntry(const std::string& group, const std::string& name) const {
  for (int index = 0; index < static_cast<int>(ListEntries.size()); ++index)
    if (ListEntries[static_cast<size_t>(index)] == name && group == EngineTypeName(EngineFor(index).Kind))
      return index;
  return std::nullopt;
}

void SpeechFrontEnd::RestoreRate() {
  const std::string stored = Settings.ReadSettingText(TtsSection, RateKey, "0");
  LblRate = stored;
  std::optional<int32_t> rate = ParseProfileInteger(stored);
  if (!rate) {
    // A damaged value must not leave the engine and the list half set up: say so once and start at 0.
    DialogsRef.ShowMessage("'" + stored + "' is not a valid integer value", MessageIcon::Error);
    rate = 0;
  }
  Rate = std::clamp<int32_t>(*rate, MinSpeechRate, MaxSpeechRate);
  ApplySpeechRate();
}

void SpeechFrontEnd::FormShow() {
  DictionaryBox = Dictionary.IsOn();
}

void SpeechFrontEnd::FormClose() {
  if (AnyEngine() && !KeepStoredChoice) {
    Settings.WriteSettingText(TtsSection, EngineNumberKey, std::to_string(Selected));
    const EngineChoice choice = EngineFor(Selected);
    const bool listed = Selected >= 0 && Selected < static_cast<int>(ListEntries.size());
    Settings.WriteSettingText(TtsSection, EngineGroupKey, listed ? EngineTypeName(choice.Kind) : "");
    Settings.WriteSettingText(TtsSection, EngineNameKey,
                              listed ? ListEntries[static_cast<size_t>(Selected)] : "");
    if (choice.Kind != EngineKind::Library || LibraryListed)
      WriteSpeechSetting(EngineTypeKey, EngineTypeName(choice.Kind), true);
  }
  Settings.WriteSettingText(TtsSection, RateKey, LblRate);
}

void SpeechFrontEnd::FormDestroy() {
  Library.FreeSpeechLibrary();
}

void SpeechFrontEnd::ListBoxMotorsDeVeuClick(int index) {
  KeepStoredChoice = false;
  Selected = index;
  const EngineChoice choice = EngineFor(index);
  if (VoiceEngine* engine = VoiceEngineFor(choice)) {
    WriteSpeechSetting(EngineTypeKey, EngineTypeName(choice.Kind), false);
    WriteSpeechSetting(VoiceNumberKey, std::to_string(choice.Voice), false);
    engine->ChooseVoice(choice.Voice);
  } else if (LibraryListed) {
    WriteSpeechSetting(EngineTypeKey, EngineTypeName(choice.Kind), true);
    // Setting a library voice restarts the library, so choosing the same one again does nothing.
    if (choice.Voice != CurrentLibraryVoice) SetUpLibraryVoice(choice.Voice);
  }
  ApplySpeechRate();
}

void SpeechFrontEnd::SelectVoiceToHear(int index) {
  ListBoxMotorsDeVeuClick(index);
  HearChosenVoiceSoon();
}

void SpeechFrontEnd::HearChosenVoiceSoon() {
  SampleTimer->SetEnabled(true); // a running wait starts again
}

void SpeechFrontEnd::SpeakSample() {
  SampleTimer->SetEnabled(false);
  if (Selected < 0 || Selected >= static_cast<int>(VoiceEntries.size())) return;
  SpeakText(VoiceSampleText(VoiceEntries[static_cast<std::size_t>(Selected)].Language));
}

void SpeechFrontEnd::SetUpLibraryVoice(int voice) {
  if (voice < 0 || voice >= LibraryVoiceCount) return;
  const LibraryVoice& chosen = LibraryVoices[voice];
  if (chosen.Male)
    Library.SelectLibraryMaleVoice(chosen.Language);
  else
    Library.SelectLibraryFemaleVoice(chosen.Language);
  CurrentLibraryVoice = voice;
}

void SpeechFrontEnd::tbRateChange(int position) {
  Rate = std::clamp(position, MinSpeechRate, MaxSpeechRate);
  ApplySpeechRate();
}

void SpeechFrontEnd::ApplySpeechRate() {
  const EngineChoice choice = EngineFor(Selected);
  if (VoiceEngine* engine = VoiceEngineFor(choice))
    engine->SetRate(Rate);
  else
    Library.LibrarySetSpeed(LibrarySpeedForRate(Rate));
  LblRate = std::to_string(Rate);
  WriteSpeechSetting(SpeedKey, LblRate, true);
}

bool SpeechFrontEnd::CheckBoxDicExcMouseUp(bool checked) {
  Dictionary.SwitchOff();
  DictionaryBox = checked;
  if (checked) DictionaryBox = Dictionary.ChooseExceptionsDictionary();
  return DictionaryBox;
}

void SpeechFrontEnd::SpeakText(std::string text) {
  Dictionary.ApplyExceptionsDictionary(text);
  const EngineChoice choice = EngineFor(Selected);
  if (VoiceEngine* engine = VoiceEngineFor(choice))
    engine->Speak(Windows1252ToUtf8(text));
  else
    Library.LibrarySpeak(text);
}

void SpeechFrontEnd::SpeakTextAndWait(std::string text) {
  Settings.WriteSettingText(TtsSection, ReadingKey, "1");
  Dictionary.ApplyExceptionsDictionary(text);
  const EngineChoice choice = EngineFor(Selected);
  if (VoiceEngine* engine = VoiceEngineFor(choice)) {
    engine->Speak(Windows1252ToUtf8(text));
    WaitWhileSpeaking(*engine);
  } else {
    Library.LibrarySpeak(text);
    WaitWhileLibrarySpeaks();
  }
  Settings.WriteSettingText(TtsSection, ReadingKey, "0");
}

void SpeechFrontEnd::SpeakPrompt(std::string text) {
  VoiceEngine* engine = VoiceEngineFor(EngineFor(Selected));
  if (engine == nullptr) return;
  Dictionary.ApplyExceptionsDictionary(text);
  engine->SpeakPrompt(Windows1252ToUtf8(text));
}

void SpeechFrontEnd::CutPrompt() {
  // Every group: the voice chosen meanwhile may not be the one that was saying the prompt.
  Desktop.CutPrompt();
  InProcess.CutPrompt();
}

bool SpeechFrontEnd::PromptSpeaking() {
  return Desktop.PromptSpeaking() || InProcess.PromptSpeaking();
}

void SpeechFrontEnd::WaitWhileSpeaking(VoiceEngine& engine) {
  for (int32_t waited = 0; engine.IsSpeaking() && waited < MaxSpeechWaitMs; waited += VoiceWaitPollMs)
    ClockRef.WaitWithMessages(VoiceWaitPollMs);
}

void SpeechFrontEnd::WaitWhileLibrarySpeaks() {
  for (int32_t waited = 0; Library.LibraryStatus() != 0 && waited < MaxSpeechWaitMs;
       waited += LibraryWaitPollMs)
    ClockRef.WaitWithMessages(LibraryWaitPollMs);
}

void SpeechFrontEnd::WriteSpeechSetting(const char* key, const std::string& value, bool reportFailure) {
  if (SpeechSettings.WriteText(ToWavSection, key, value) || !reportFailure || WriteFailureReported) return;
  // Nothing reads this file back, so a failed write is said once and never stops the operation.
  WriteFailureReported = true;
  DialogsRef.ShowMessage("Unable to write to " + Utf8ToWindows1252(SpeechSettings.Path()),
                         MessageIcon::Error);
}

} // namespace nq
