#pragma once
// The binding to the outside speech library: loaded at run time, entry points resolved by name, four
// fixed voices (Catalan and Spanish, man and woman). A library that lacks some entry points works
// with those it has; a missing status entry point counts as idle.
#include <cstdint>
#include <memory>
#include <string>

namespace nq {

class Clock;
class SharedLibrary;
class SharedLibraryLoader;

inline constexpr const char* SpeechLibraryFileName = "libupctv.so";
inline constexpr int32_t LibraryNormalSpeed = 100;
inline constexpr int32_t LibraryCatalan = 99;
inline constexpr int32_t LibrarySpanish = 101;
// A library whose status never returns to idle must not hold a wait for ever.
inline constexpr int32_t MaxLibraryWaitMs = 10 * 60 * 1000;

class SpeechLibrary {
public:
  SpeechLibrary(SharedLibraryLoader& loader, Clock& clock, std::string fileName = SpeechLibraryFileName);
  ~SpeechLibrary();
  SpeechLibrary(const SpeechLibrary&) = delete;
  SpeechLibrary& operator=(const SpeechLibrary&) = delete;

  /// Loads the library, resolves its entry points and sets the normal speed; false when it is absent.
  bool LoadSpeechLibrary();
  /// Releases and loads the library again; does nothing unless it is loaded.
  void ReloadSpeechLibrary();
  /// Releases the library if it is loaded.
  void FreeSpeechLibrary();
  bool IsLoaded() const { return Library != nullptr; }

  /// "catala" (exactly) selects Catalan, any other text Spanish; restarts the library first.
  void SelectLibraryMaleVoice(const std::string& language);
  void SelectLibraryFemaleVoice(const std::string& language);
  /// Stops what is being said, speaks the text and returns when the library is idle again.
  void LibrarySpeak(const std::string& text);
  /// Speed 100 is normal; the front end sends 10 to 250.
  void LibrarySetSpeed(int32_t speed);
  /// The library's status: non-zero while speaking; 0 when idle, not loaded or without the entry point.
  int32_t LibraryStatus();

private:
  using NoArgument = int32_t (*)();
  using IntegerArgument = int32_t (*)(int32_t);
  using TextArgument = int32_t (*)(const char*);

  void Resolve();
  void ClearEntryPoints();
  void SelectVoice(const std::string& language, int32_t catalanSpeaker, int32_t spanishSpeaker);
  void Stop();

  SharedLibraryLoader& Loader;
  Clock& ClockRef;
  std::string FileName;
  std::unique_ptr<SharedLibrary> Library;

  TextArgument Read = nullptr;
  NoArgument StopEntry = nullptr;
  IntegerArgument SetLanguage = nullptr;
  IntegerArgument SetSpeed = nullptr;
  IntegerArgument SetSpeaker = nullptr;
  IntegerArgument Status = nullptr;
};

} // namespace nq
