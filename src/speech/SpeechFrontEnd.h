#pragma once
// The speech front end: one list of engines (the desktop speech service's voices, the in-process
// voices marked "SAPI - ", then the four voices of the outside speech library), the rate, and the
// two ways of speaking a text. The speech window shows this component's data and calls its
// handlers; the component never touches a widget.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/ProfileFile.h"
#include "speech/VoiceList.h"

namespace nq {

class Clock;
class Dialogs;
class ExceptionsDictionary;
class SettingsStore;
class SpeechLibrary;
class Timer;
class VoiceEngine;

enum class EngineKind { Desktop, InProcess, Library };

struct EngineChoice {
  EngineKind Kind;
  int Voice; // index within its group
};

inline constexpr int MinSpeechRate = -10;
inline constexpr int MaxSpeechRate = 10;
// An engine that never reports the end of a text must not hold a wait for ever.
inline constexpr int32_t MaxSpeechWaitMs = 10 * 60 * 1000;

// A selection rests this long before its voice says its sample, so running down the list with the
// arrow keys does not queue one sample per voice passed.
inline constexpr int VoiceSampleDelayMs = 400;

/// The library speed for a slider value: 10 at -10 and -9, 100 at 0, 250 at 10.
int32_t LibrarySpeedForRate(int rate);

/// Every voice of the three groups in list order: the desktop service's, the in-process ones and, when
/// the library is loaded, its four.
std::vector<VoiceEntry> ListVoiceEntries(VoiceEngine& desktopVoices, VoiceEngine& inProcessVoices,
                                         bool libraryLoaded);

class SpeechFrontEnd {
public:
  /// speechSettingsPath: the UTF-8 path of "parlartts.ini", in the folder of the settings file.
  SpeechFrontEnd(SettingsStore& settings, std::string speechSettingsPath, VoiceEngine& desktopVoices,
                 VoiceEngine& inProcessVoices, SpeechLibrary& library, ExceptionsDictionary& dictionary,
                 Dialogs& dialogs, Clock& clock);
  ~SpeechFrontEnd();

  /// True when no engine was ever chosen ("Numero sintetitzador" is "-1"): start-up opens the window.
  bool EngineNotChosen() const;

  // Window life.
  /// Builds the engine list, loads the library, restores the chosen entry and the rate.
  void FormCreate();
  /// Shows the dictionary's state in the check box.
  void FormShow();
  /// Stores the chosen entry and the rate.
  void FormClose();
  /// Releases the library at exit.
  void FormDestroy();

  // Handlers the speech window calls.
  /// The user chose list entry index: sets up that voice and applies the rate.
  void ListBoxMotorsDeVeuClick(int index);
  /// The user selected list entry index in the window: chooses it as above, and once the selection has
  /// rested a moment the voice says a short sample at the rate set.
  void SelectVoiceToHear(int index);
  /// The rate was changed in the window: the chosen voice says its sample again at the new rate.
  void HearChosenVoiceSoon();
  /// The slider moved to position (kept within -10..10); applies the rate.
  void tbRateChange(int position);
  /// Pushes the slider value to the selected engine, shows it and stores it.
  void ApplySpeechRate();
  /// Left-button release on the check box, checked being the box's state after the click.
  /// Returns the box's state afterwards (checked only if a dictionary was loaded).
  bool CheckBoxDicExcMouseUp(bool checked);
  /// A keyboard change of the check box changes only the box.
  void CheckBoxDicExcClick(bool checked) { DictionaryBox = checked; }

  // Speaking (texts are Windows-1252).
  /// Speaks the text; returns once a voice has it queued, or when the library has finished it.
  void SpeakText(std::string text);
  /// Speaks the text and returns when the engine has finished, keeping the window responsive.
  void SpeakTextAndWait(std::string text);
  /// Says a scan prompt quietly through the chosen voice, never over a text given above. The outside
  /// library says none: its speaking cuts whatever it was saying and returns only at the end.
  void SpeakPrompt(std::string text);
  /// Ends the chosen voice's prompt; never a text given above.
  void CutPrompt();
  bool PromptSpeaking();

  // What the speech window shows.
  const std::vector<std::string>& Entries() const { return ListEntries; } // Windows-1252
  const std::vector<VoiceEntry>& Voices() const { return VoiceEntries; }
  int SelectedIndex() const { return Selected; }
  int RatePosition() const { return Rate; }
  const std::string& LblRateText() const { return LblRate; }
  bool CheckBoxDicExc() const { return DictionaryBox; }
  int DesktopCount() const { return DesktopVoiceCount; }
  int InProcessCount() const { return InProcessVoiceCount; }
  bool LibraryAvailable() const { return LibraryListed; }
  /// The engine that the list index selects (a negative index falls to the first group).
  EngineChoice EngineFor(int index) const;

private:
  void SpeakSample();
  void RestoreChosenEntry(const std::string& stored);
  /// The list index of the entry with that group ("MSP", "SAPI", "UPCTV") and list text.
  std::optional<int> FindEntry(const std::string& group, const std::string& name) const;
  void RestoreRate();
  void SetUpLibraryVoice(int voice);
  void WaitWhileSpeaking(VoiceEngine& engine);
  void WaitWhileLibrarySpeaks();
  bool AnyEngine() const { return DesktopVoiceCount > 0 || InProcessVoiceCount > 0 || LibraryListed; }
  VoiceEngine* VoiceEngineFor(const EngineChoice& choice);
  void WriteSpeechSetting(const char* key, const std::string& value, bool reportFailure);

  SettingsStore& Settings;
  ProfileFile SpeechSettings;
  VoiceEngine& Desktop;
  VoiceEngine& InProcess;
  SpeechLibrary& Library;
  ExceptionsDictionary& Dictionary;
  Dialogs& DialogsRef;
  Clock& ClockRef;

  std::vector<VoiceEntry> VoiceEntries;
  std::vector<std::string> ListEntries;
  int DesktopVoiceCount = 0;
  int InProcessVoiceCount = 0;
  bool LibraryListed = false;
  int CurrentLibraryVoice = -1;
  int Selected = -1;
  int Rate = 0;
  std::string LblRate = "0";
  bool DictionaryBox = false;
  bool WriteFailureReported = false;
  bool KeepStoredChoice = false; // the stored voice is not listed this run and nobody chose another
  std::unique_ptr<Timer> SampleTimer;
};

} // namespace nq
