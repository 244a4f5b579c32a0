// libupctv.so: the outside speech library's entry points, speaking Catalan and Spanish with espeak-ng.
// Each text is spoken by an espeak-ng process of its own: the player also runs libespeak-ng in
// process for its own voices, and that library keeps one global state that two users would fight
// over. A child process also makes stopping, pausing and the status exact.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "text/Encoding.h"

extern char** environ;

namespace {

constexpr int32_t Catalan = 99;
constexpr int32_t Spanish = 101;
constexpr int NormalWordsPerMinute = 175;
constexpr std::size_t MaxTextBytes = 100000; // one program argument holds at most 128 KiB

struct Speaker {
  pid_t Child = -1;
  bool Paused = false;
  int32_t Language = Catalan;
  int32_t Voice = 0;
  int32_t Speed = 100;
};

// The entry points are plain functions without a handle, so the library's one state lives here.
std::mutex Lock;
Speaker& State() {
  static Speaker speaker;
  return speaker;
}

// Speaker numbers per language: Catalan 0 man, 2 woman; Spanish 1 man, 0 woman.
std::string EspeakVoice(int32_t language, int32_t speaker) {
  if (language == Spanish) {
    static const char* spanish[] = {"es+f2", "es+m3", "es+m1"};
    return spanish[std::clamp(speaker, 0, 2)];
  }
  static const char* catalan[] = {"ca+m3", "ca+m1", "ca+f2"};
  return catalan[std::clamp(speaker, 0, 2)];
}

// espeak-ng speaks no slower than 80 words per minute, so the speeds below normal (10 to 100, one per
// slider position) are spread over 80..175 instead of being cut off there; above normal they scale.
int WordsPerMinute(int32_t speed) {
  constexpr long Slowest = 80;
  const long clamped = std::clamp(speed, 1, 1000);
  const long wpm = clamped >= 100 ? NormalWordsPerMinute * clamped / 100
                                  : Slowest + (NormalWordsPerMinute - Slowest) * (clamped - 10) / 90;
  return static_cast<int>(std::clamp(wpm, Slowest, 450L));
}

bool Running(Speaker& s) {
  if (s.Child <= 0) return false;
  int status = 0;
  const pid_t done = waitpid(s.Child, &status, WNOHANG);
  if (done == 0) return true;
  s.Child = -1; // ended, or reaped by someone else
  s.Paused = false;
  return false;
}

void StopChild(Speaker& s) {
  if (s.Child <= 0) return;
  kill(s.Child, SIGKILL);
  waitpid(s.Child, nullptr, 0);
  s.Child = -1;
  s.Paused = false;
}

// Starts espeak-ng with "-f file" or with the text itself as the last argument.
void Start(Speaker& s, const std::string& utf8Text, bool isFile) {
  StopChild(s);
  std::vector<std::string> args = {"espeak-ng",
                                   "-b",
                                   "1",
                                   "-v",
                                   EspeakVoice(s.Language, s.Voice),
                                   "-s",
                                   std::to_string(WordsPerMinute(s.Speed))};
  // Checks without a sound server ask for the audio in a file instead.
  if (const char* wav = std::getenv("UPCTV_WAV_OUTPUT"); wav && *wav) {
    args.push_back("-w");
    args.push_back(wav);
  }
  if (isFile) {
    args.push_back("-f");
    args.push_back(utf8Text);
  } else {
    args.push_back("--");
    args.push_back(utf8Text.substr(0, MaxTextBytes));
  }
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = -1;
  if (posix_spawnp(&child, "espeak-ng", &actions, nullptr, argv.data(), environ) == 0) s.Child = child;
  posix_spawn_file_actions_destroy(&actions);
}

__attribute__((destructor)) void Unload() {
  std::lock_guard<std::mutex> guard(Lock);
  StopChild(State());
}

} // namespace

#define UPCTV_EXPORT extern "C" __attribute__((visibility("default")))

UPCTV_EXPORT int32_t upcTVAbout() {
  return 0;
}

UPCTV_EXPORT int32_t upcTVRead(const char* text) {
  if (!text) return 0;
  std::lock_guard<std::mutex> guard(Lock);
  Start(State(), nq::Windows1252ToUtf8(text), false);
  return State().Child > 0 ? 1 : 0;
}

UPCTV_EXPORT int32_t upcTVReadFile(const char* path) {
  if (!path) return 0;
  std::lock_guard<std::mutex> guard(Lock);
  Start(State(), nq::Windows1252ToUtf8(path), true);
  return State().Child > 0 ? 1 : 0;
}

UPCTV_EXPORT int32_t upcTVStop() {
  std::lock_guard<std::mutex> guard(Lock);
  StopChild(State());
  return 1;
}

UPCTV_EXPORT int32_t upcTVPause() {
  std::lock_guard<std::mutex> guard(Lock);
  Speaker& s = State();
  if (Running(s) && !s.Paused && kill(s.Child, SIGSTOP) == 0) s.Paused = true;
  return 1;
}

UPCTV_EXPORT int32_t upcTVResume() {
  std::lock_guard<std::mutex> guard(Lock);
  Speaker& s = State();
  if (Running(s) && s.Paused && kill(s.Child, SIGCONT) == 0) s.Paused = false;
  return 1;
}

UPCTV_EXPORT int32_t upcTVSetLanguage(int32_t language) {
  std::lock_guard<std::mutex> guard(Lock);
  State().Language = language == Spanish ? Spanish : Catalan;
  return 1;
}

UPCTV_EXPORT int32_t upcTVSetSpeed(int32_t speed) {
  std::lock_guard<std::mutex> guard(Lock);
  State().Speed = speed;
  return 1;
}

UPCTV_EXPORT int32_t upcTVSetSpeaker(int32_t speaker) {
  std::lock_guard<std::mutex> guard(Lock);
  State().Voice = speaker;
  return 1;
}

UPCTV_EXPORT int32_t upcTVStatus(int32_t) {
  std::lock_guard<std::mutex> guard(Lock);
  return Running(State()) ? 1 : 0;
}
