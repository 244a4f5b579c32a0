#include "speech/SpeechLibrary.h"

#include "platform/Clock.h"
#include "platform/SharedLibrary.h"
#include "text/TextUtilities.h"

namespace nq {

namespace {

constexpr int32_t StatusPollMs = 200;

template <typename Function> Function Entry(SharedLibrary& library, const char* name) {
  return reinterpret_cast<Function>(library.Symbol(name));
}

} // namespace

SpeechLibrary::SpeechLibrary(SharedLibraryLoader& loader, Clock& clock, std::string fileName)
    : Loader(loader), ClockRef(clock), FileName(std::move(fileName)) {}

SpeechLibrary::~SpeechLibrary() {
  FreeSpeechLibrary();
}

bool SpeechLibrary::LoadSpeechLibrary() {
  ClearEntryPoints();
  Library = Loader.Load(FileName);
  if (!Library) return false;
  Resolve();
  LibrarySetSpeed(LibraryNormalSpeed);
  return true;
}

void SpeechLibrary::ReloadSpeechLibrary() {
  if (!Library) return;
  ClearEntryPoints();
  Library.reset();
  LoadSpeechLibrary();
}

void SpeechLibrary::FreeSpeechLibrary() {
  ClearEntryPoints();
  Library.reset();
}

void SpeechLibrary::SelectLibraryMaleVoice(const std::string& language) {
  SelectVoice(language, 0, 1);
}

void SpeechLibrary::SelectLibraryFemaleVoice(const std::string& language) {
  SelectVoice(language, 2, 0);
}

void SpeechLibrary::SelectVoice(const std::string& language, int32_t catalanSpeaker, int32_t spanishSpeaker) {
  if (!Library) return;
  Stop();
  ReloadSpeechLibrary();
  if (!Library) return;
  const bool catalan = language == "catala";
  if (SetLanguage) SetLanguage(catalan ? LibraryCatalan : LibrarySpanish);
  if (SetSpeaker) SetSpeaker(catalan ? catalanSpeaker : spanishSpeaker);
}

void SpeechLibrary::LibrarySpeak(const std::string& text) {
  if (!Library) return;
  Stop();
  const std::string spoken = LowerAscii(text) + " ";
  if (Read) Read(spoken.c_str());
  // The wait dispatches messages: a nested request may stop this text or even reload the library,
  // so the status is asked afresh each time.
  for (int32_t waited = 0; LibraryStatus() != 0 && waited < MaxLibraryWaitMs; waited += StatusPollMs)
    ClockRef.WaitWithMessages(StatusPollMs);
}

void SpeechLibrary::LibrarySetSpeed(int32_t speed) {
  if (Library && SetSpeed) SetSpeed(speed);
}

int32_t SpeechLibrary::LibraryStatus() {
  return (Library && Status) ? Status(0) : 0;
}

void SpeechLibrary::Stop() {
  if (StopEntry) StopEntry();
}

void SpeechLibrary::Resolve() {
  // The other four entry points (about, read file, pause, resume) are never called.
  Read = Entry<TextArgument>(*Library, "upcTVRead");
  StopEntry = Entry<NoArgument>(*Library, "upcTVStop");
  SetLanguage = Entry<IntegerArgument>(*Library, "upcTVSetLanguage");
  SetSpeed = Entry<IntegerArgument>(*Library, "upcTVSetSpeed");
  SetSpeaker = Entry<IntegerArgument>(*Library, "upcTVSetSpeaker");
  Status = Entry<IntegerArgument>(*Library, "upcTVStatus");
}

void SpeechLibrary::ClearEntryPoints() {
  Read = nullptr;
  StopEntry = nullptr;
  SetLanguage = nullptr;
  SetSpeed = nullptr;
  SetSpeaker = nullptr;
  Status = nullptr;
}

} // namespace nq
