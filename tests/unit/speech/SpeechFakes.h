#pragma once
// Recording fakes for the speech tests: voices, the outside library and sound playback.
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SharedLibrary.h"
#include "platform/SoundPlayer.h"
#include "platform/VoiceEngine.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"

namespace nq::test {

class FakeVoiceEngine : public VoiceEngine {
public:
  explicit FakeVoiceEngine(std::vector<std::string> voices = {}) : Voices(std::move(voices)) {}
  std::vector<std::string> ListVoices() override { return Voices; }
  std::string VoiceLanguage(int index) override {
    return index >= 0 && index < static_cast<int>(Languages.size()) ? Languages[static_cast<size_t>(index)]
                                                                    : std::string();
  }
  bool ChooseVoice(int index) override {
    Chosen.push_back(index);
    return index >= 0 && index < static_cast<int>(Voices.size());
  }
  void SetRate(int rate) override { Rates.push_back(rate); }
  void Speak(const std::string& utf8Text) override {
    Spoken.push_back(utf8Text);
    BusyPolls = PollsPerText;
    if (OnSpeak) OnSpeak();
  }
  bool IsSpeaking() override {
    ++Polls;
    if (BusyPolls <= 0) return false;
    --BusyPolls;
    return true;
  }
  void SpeakPrompt(const std::string& utf8Text) override { Prompts.push_back(utf8Text); }
  void CutPrompt() override { ++Cuts; }
  bool PromptSpeaking() override { return PromptBusy; }

  std::vector<std::string> Voices;
  std::vector<std::string> Languages; // beside Voices; none stated when shorter
  std::vector<int> Chosen;
  std::vector<int> Rates;
  std::vector<std::string> Spoken;
  int PollsPerText = 0; // how many IsSpeaking() calls answer true after each Speak
  int BusyPolls = 0;
  int Polls = 0;
  std::function<void()> OnSpeak;
  std::vector<std::string> Prompts;
  int Cuts = 0;
  bool PromptBusy = false;
};

// What the fake outside library was asked, in order ("Read:bon dia ", "Speed:100", ...).
struct LibraryLog {
  std::vector<std::string> Calls;
  int StatusBusyPolls = 0; // how many upcTVStatus calls answer 1 after each read
  bool StatusStuck = false;
  int StatusCalls = 0;
};

// Plain functions can carry no state, so the fake entry points write to the log of the running test.
inline LibraryLog* CurrentLibraryLog = nullptr;

namespace fakeupctv {
inline void Record(const std::string& call) {
  CurrentLibraryLog->Calls.push_back(call);
}
inline int32_t Read(const char* text) {
  Record(std::string("Read:") + text);
  return 0;
}
inline int32_t Stop() {
  Record("Stop");
  return 0;
}
inline int32_t SetLanguage(int32_t v) {
  Record("Language:" + std::to_string(v));
  return 0;
}
inline int32_t SetSpeed(int32_t v) {
  Record("Speed:" + std::to_string(v));
  return 0;
}
inline int32_t SetSpeaker(int32_t v) {
  Record("Speaker:" + std::to_string(v));
  return 0;
}
inline int32_t Status(int32_t) {
  ++CurrentLibraryLog->StatusCalls;
  if (CurrentLibraryLog->StatusStuck) return 1;
  if (CurrentLibraryLog->StatusBusyPolls <= 0) return 0;
  --CurrentLibraryLog->StatusBusyPolls;
  return 1;
}
} // namespace fakeupctv

class FakeSharedLibrary : public SharedLibrary {
public:
  explicit FakeSharedLibrary(std::map<std::string, void*> symbols) : Symbols(std::move(symbols)) {}
  void* Symbol(const std::string& name) override {
    auto it = Symbols.find(name);
    return it == Symbols.end() ? nullptr : it->second;
  }
  std::map<std::string, void*> Symbols;
};

class FakeLibraryLoader : public SharedLibraryLoader {
public:
  FakeLibraryLoader() {
    Symbols = {{"upcTVRead", reinterpret_cast<void*>(&fakeupctv::Read)},
               {"upcTVStop", reinterpret_cast<void*>(&fakeupctv::Stop)},
               {"upcTVSetLanguage", reinterpret_cast<void*>(&fakeupctv::SetLanguage)},
               {"upcTVSetSpeed", reinterpret_cast<void*>(&fakeupctv::SetSpeed)},
               {"upcTVSetSpeaker", reinterpret_cast<void*>(&fakeupctv::SetSpeaker)},
               {"upcTVStatus", reinterpret_cast<void*>(&fakeupctv::Status)}};
  }
  std::unique_ptr<SharedLibrary> Load(const std::string& fileName) override {
    Loaded.push_back(fileName);
    if (LoadsLeft == 0) return nullptr;
    if (LoadsLeft > 0) --LoadsLeft;
    return std::make_unique<FakeSharedLibrary>(Symbols);
  }
  std::map<std::string, void*> Symbols;
  std::vector<std::string> Loaded;
  int LoadsLeft = -1; // -1: every load succeeds
};

class FakeSoundPlayer : public SoundPlayer {
public:
  void Play(const std::string& path) override { Played.push_back("async:" + path); }
  void PlayAndWait(const std::string& path) override { Played.push_back("wait:" + path); }
  std::vector<std::string> Played;
};

} // namespace nq::test
