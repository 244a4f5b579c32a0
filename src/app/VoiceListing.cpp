#include "app/VoiceListing.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "linux/DynamicLibrary.h"
#include "linux/EspeakVoices.h"
#include "linux/QtClock.h"
#include "linux/SpeechDispatcherVoices.h"
#include "speech/SpeechFrontEnd.h"
#include "speech/SpeechLibrary.h"
#include "speech/VoiceList.h"
#include "text/Encoding.h"

namespace nq {

std::optional<int> AnswerVoiceListOption(int argc, char** argv) {
  if (argc != 2 || std::string(argv[1]) != "--list-voices") return std::nullopt;
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  DynamicLibraryLoader loader(error ? std::string(".") : program.parent_path().string());
  QtClock clock; // loading the library waits for nothing
  SpeechLibrary library(loader, clock);
  SpeechDispatcherVoices desktop;
  EspeakVoices inProcess;
  const std::vector<VoiceEntry> voices = ListVoiceEntries(desktop, inProcess, library.LoadSpeechLibrary());
  for (const int index : ShownVoiceOrder(voices, true, -1)) {
    const VoiceEntry& voice = voices[static_cast<std::size_t>(index)];
    std::printf("%s\t%s\t%s\n", voice.Group.c_str(), Windows1252ToUtf8(voice.Name).c_str(),
                voice.Language.c_str());
  }
  library.FreeSpeechLibrary();
  return 0;
}

} // namespace nq
