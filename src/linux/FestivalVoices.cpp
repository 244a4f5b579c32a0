#include "linux/FestivalVoices.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

#include <festival/festival.h>

#include "linux/PulsePlayback.h"
#include "text/Encoding.h"

namespace nq {

namespace {

constexpr const char* VoiceEntry = "Ona (catal\xC3\xA0)";
constexpr const char* VoiceFile = "voices/catalan/upc_ca_ona_hts/festvox/upc_ca_ona_hts.scm";
constexpr const char* LanguageFile = "languages/language_catalan.scm";
constexpr const char* StartUpFile = "init.scm";
// Festival makes one utterance of all it is given, in time and memory that grow far faster than the
// text (2,800 characters took minutes, and running out of its heap ends the process), so texts go in
// pieces of at most this many characters; the first piece is also heard sooner.
constexpr std::size_t MaxPiece = 120;
// Cells of Festival's interpreter heap: its own default takes over 300 MB; this holds a piece with room.
constexpr int HeapCells = 1000000;
// About 20 ms at the voice's rate: the first chunk is heard at once and stopping waits no longer.
constexpr std::size_t ChunkMs = 20;
// Prompts are said at this fraction of the normal loudness (about 8 dB quieter).
constexpr int PromptLoudnessPercent = 40;

enum class Load { NotStarted, Loading, Ready, Failed };

// Festival's interpreter finds its live objects by scanning the stack of the thread that started
// it, so every call goes through this one thread, which lives until the process ends.
class FestivalThread {
public:
  static FestivalThread& Get() {
    static FestivalThread thread;
    return thread;
  }

  void Post(std::function<void()> task) {
    {
      std::lock_guard<std::mutex> guard(Lock);
      if (!Worker.joinable()) Worker = std::thread([this] { Loop(); });
      Tasks.push_back(std::move(task));
    }
    Wake.notify_one();
  }

  bool Quitting() const { return Quit.load(); }

  std::atomic<Load> State{Load::NotStarted};
  std::mutex LoadLock;
  std::condition_variable Loaded;

private:
  ~FestivalThread() {
    {
      std::lock_guard<std::mutex> guard(Lock);
      Quit = true;
      Tasks.clear();
    }
    Wake.notify_all();
    if (Worker.joinable()) Worker.join();
  }

  void Loop() {
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock<std::mutex> guard(Lock);
        Wake.wait(guard, [this] { return Quit || !Tasks.empty(); });
        if (Quit) return;
        task = std::move(Tasks.front());
        Tasks.pop_front();
      }
      task();
    }
  }

  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<std::function<void()>> Tasks;
  std::atomic<bool> Quit{false};
  std::thread Worker;
};

void FinishLoading(FestivalThread& runtime, Load result) {
  {
    std::lock_guard<std::mutex> guard(runtime.LoadLock);
    runtime.State = result;
  }
  runtime.Loaded.notify_all();
}

// Runs on the Festival thread. The folder is fixed for the process by the first voices created.
void LoadVoice(const std::string& dataFolder) {
  FestivalThread& runtime = FestivalThread::Get();
  if (runtime.State != Load::NotStarted) return;
  runtime.State = Load::Loading;
  static std::string folder; // Festival keeps the pointer
  folder = dataFolder;
  festival_datadir = folder.c_str();
  festival_initialize(1, HeapCells);
  // Festival reports its own errors on stderr and returns false; the fallback voice keeps speaking.
  bool ok = festival_eval_command("(voice_upc_ca_ona_hts)") != 0;
  // The first text pays for the lexicon and the models being read in: paid here instead.
  EST_Wave warmUp;
  ok = ok && festival_text_to_wave("a", warmUp) != 0;
  FinishLoading(runtime, ok ? Load::Ready : Load::Failed);
}

// The voice reads ISO-8859-15 (Latin-9): Windows-1252 is the same for Catalan and Spanish letters,
// and its few other characters are moved to their Latin-9 places or to plain punctuation.
std::string ToLatin9(const std::string& utf8) {
  std::string text = Utf8ToWindows1252(utf8);
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
    case 0x80:
      out += '\xA4';
      break; // euro sign
    case 0x8A:
      out += '\xA6';
      break;
    case 0x9A:
      out += '\xA8';
      break;
    case 0x8E:
      out += '\xB4';
      break;
    case 0x9E:
      out += '\xB8';
      break;
    case 0x8C:
      out += '\xBC';
      break;
    case 0x9C:
      out += '\xBD';
      break;
    case 0x9F:
      out += '\xBE';
      break;
    case 0x91:
    case 0x92:
    case 0xB4:
      out += '\'';
      break;
    case 0x93:
    case 0x94:
      out += '"';
      break;
    case 0x96:
    case 0x97:
      out += '-';
      break;
    case 0x85:
      out += "...";
      break;
    case 0xA4:
    case 0xA6:
    case 0xA8:
    case 0xB8:
    case 0xBC:
    case 0xBD:
    case 0xBE:
      out += ' ';
      break;
    default:
      out += (c >= 0x80 && c < 0xA0) ? ' ' : ch;
    }
  }
  return out;
}

std::string SpeedParameter(int rate) {
  const int hundredths = static_cast<int>(FestivalVoices::SpeedForRate(rate) * 100 + 0.5);
  char number[32];
  // Written by hand: a Catalan or Spanish locale would print a decimal comma Festival cannot read.
  std::snprintf(number, sizeof number, "%d.%02d", hundredths / 100, hundredths % 100);
  return std::string(
             "(set! hts_engine_params (append upc_ca_ona_hts::hts_engine_params (list (list \"-r\" ") +
         number + "))))";
}

} // namespace

struct FestivalVoices::Shared {
  std::atomic<bool> Gone{false}; // the voices were destroyed: queued texts are dropped
  std::atomic<int> Pending{0};   // texts queued or being spoken
  std::function<void()> FirstSampleWritten;
  std::unique_ptr<PulsePlayback> Playback; // made on the Festival thread, with PromptLock held
  int PlaybackRate = 0;

  // Prompts: each new prompt, text or cut advances the serial, and a prompt whose serial is no longer
  // the current one ends. The Festival thread marks the prompt it says under the lock, so a cut
  // interrupts the playback only while a prompt, never a text, is being played.
  std::mutex PromptLock;
  std::atomic<uint64_t> PromptSerial{0};
  bool PromptPlaying = false; // with PromptLock
  std::atomic<int> PromptsPending{0};

  /// Ends the prompt being said or waiting; returns the serial a prompt given now carries.
  uint64_t CutPrompts() {
    std::lock_guard<std::mutex> guard(PromptLock);
    const uint64_t serial = ++PromptSerial;
    if (PromptPlaying && Playback) Playback->Interrupt();
    return serial;
  }
};

namespace {

bool PlayPiece(FestivalVoices::Shared& state, const std::string& piece, bool& written);

// Runs on the Festival thread.
void SpeakNow(FestivalVoices::Shared& state, const std::string& latin9, int rate) {
  FestivalThread& runtime = FestivalThread::Get();
  if (state.Gone || runtime.Quitting() || runtime.State != Load::Ready) return;
  static int festivalRate = 0;
  if (rate != festivalRate && festival_eval_command(SpeedParameter(rate).c_str())) festivalRate = rate;
  bool written = false;
  for (const std::string& piece : FestivalVoices::Pieces(latin9)) {
    if (state.Gone || runtime.Quitting()) return;
    if (!PlayPiece(state, piece, written)) return;
  }
  // The next text follows without a gap; the last one is played out before speaking counts as over.
  if (written && state.Pending.load() <= 1 && !state.Gone) state.Playback->Drain();
}

// Synthesises one piece and writes it to the sound server; false when the text is to be dropped.
bool PlayPiece(FestivalVoices::Shared& state, const std::string& piece, bool& written) {
  FestivalThread& runtime = FestivalThread::Get();
  EST_Wave wave;
  // A piece Festival cannot say is skipped; the rest of the text is still spoken.
  if (!festival_text_to_wave(piece.c_str(), wave) || wave.num_samples() <= 0) return true;
  const int sampleRate = wave.sample_rate();
  if (!state.Playback || state.PlaybackRate != sampleRate) {
    std::lock_guard<std::mutex> guard(state.PromptLock);
    state.Playback = std::make_unique<PulsePlayback>(sampleRate);
    state.PlaybackRate = sampleRate;
  }
  std::vector<int16_t> samples(static_cast<std::size_t>(wave.num_samples()));
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = wave.a_no_check(static_cast<int>(i));
  const std::size_t chunk = std::max<std::size_t>(1, static_cast<std::size_t>(sampleRate) * ChunkMs / 1000);
  for (std::size_t start = 0; start < samples.size(); start += chunk) {
    if (state.Gone || runtime.Quitting()) return false;
    // Without a sound server the text is dropped at once, so waiting for it ends.
    if (!state.Playback->Write(samples.data() + start, std::min(chunk, samples.size() - start))) return false;
    if (!written) {
      written = true;
      if (state.FirstSampleWritten) state.FirstSampleWritten();
    }
  }
  return true;
}

// Runs on the Festival thread: one prompt, quieter, ending as soon as its serial is not the current one.
void SayPrompt(FestivalVoices::Shared& state, const std::string& latin9, int rate, uint64_t serial) {
  FestivalThread& runtime = FestivalThread::Get();
  if (state.Gone || runtime.Quitting() || runtime.State != Load::Ready) return;
  {
    std::lock_guard<std::mutex> guard(state.PromptLock);
    if (state.PromptSerial != serial) return;
    state.PromptPlaying = true;
  }
  auto current = [&state, &runtime, serial] {
    return state.PromptSerial == serial && !state.Gone && !runtime.Quitting();
  };
  static int festivalRate = 0;
  if (rate != festivalRate && festival_eval_command(SpeedParameter(rate).c_str())) festivalRate = rate;
  bool written = false;
  for (const std::string& piece : FestivalVoices::Pieces(latin9)) {
    EST_Wave wave;
    if (!current()) break;
    if (!festival_text_to_wave(piece.c_str(), wave) || wave.num_samples() <= 0) continue;
    const int sampleRate = wave.sample_rate();
    if (!state.Playback || state.PlaybackRate != sampleRate) {
      std::lock_guard<std::mutex> guard(state.PromptLock);
      state.Playback = std::make_unique<PulsePlayback>(sampleRate);
      state.PlaybackRate = sampleRate;
    }
    std::vector<int16_t> samples(static_cast<std::size_t>(wave.num_samples()));
    for (std::size_t i = 0; i < samples.size(); ++i)
      samples[i] = static_cast<int16_t>(wave.a_no_check(static_cast<int>(i)) * PromptLoudnessPercent / 100);
    const std::size_t chunk = std::max<std::size_t>(1, static_cast<std::size_t>(sampleRate) * ChunkMs / 1000);
    bool ok = true;
    for (std::size_t start = 0; ok && start < samples.size() && current(); start += chunk) {
      ok = state.Playback->Write(samples.data() + start, std::min(chunk, samples.size() - start));
      written = written || ok;
    }
    if (!ok) break;
  }
  // Played out only when nothing else waits; a cut prompt stops at once.
  if (written && current() && state.Pending.load() == 0 && state.PromptsPending.load() <= 1)
    state.Playback->Drain();
  std::lock_guard<std::mutex> guard(state.PromptLock);
  if (state.Playback) {
    if (!current()) state.Playback->Flush();
    // No interruption may outlive the prompt: it would cut the next text.
    state.Playback->ClearInterrupt();
  }
  state.PromptPlaying = false;
}

} // namespace

std::vector<std::string> FestivalVoices::Pieces(const std::string& text) {
  std::vector<std::string> pieces;
  std::string current;
  auto flush = [&pieces](std::string piece) {
    if (piece.find_first_not_of(" \t\r\n") != std::string::npos) pieces.push_back(std::move(piece));
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    current += c;
    const bool atBreak = i + 1 == text.size() || text[i + 1] == ' ' || text[i + 1] == '\n';
    if (std::string_view(".?!;:\n").find(c) != std::string_view::npos && atBreak) {
      flush(std::move(current));
      current.clear();
    } else if (current.size() >= MaxPiece) {
      // Cut after the last comma or space, or in the word itself when it is that long.
      std::size_t cut = current.find_last_of(',');
      if (cut == std::string::npos || cut < MaxPiece / 2) cut = current.find_last_of(' ');
      cut = (cut == std::string::npos || cut == 0) ? current.size() : cut + 1;
      flush(current.substr(0, cut));
      current.erase(0, cut);
    }
  }
  flush(std::move(current));
  return pieces;
}

std::string FestivalVoices::DefaultDataFolder() {
  return festival_datadir ? festival_datadir : "/usr/share/festival";
}

bool FestivalVoices::VoiceInstalled(const std::string& dataFolder) {
  std::error_code error;
  for (const char* file : {VoiceFile, LanguageFile, StartUpFile})
    if (!std::filesystem::is_regular_file(std::filesystem::path(dataFolder) / file, error)) return false;
  return true;
}

double FestivalVoices::SpeedForRate(int rate) {
  rate = std::clamp(rate, -10, 10);
  return rate >= 0 ? 1.0 + 0.15 * rate : 1.0 + 0.05 * rate;
}

FestivalVoices::FestivalVoices(VoiceEngine* fallback, int fallbackVoice, std::string dataFolder)
    : Fallback(fallback), FallbackVoice(fallbackVoice), State(std::make_shared<Shared>()) {
  // A missing package leaves the voice out quietly: most machines will never have it.
  Installed = VoiceInstalled(dataFolder);
  DataFolder = std::move(dataFolder);
}

void FestivalVoices::StartLoading() {
  // The loaded voice takes some 40 MB, so it is loaded only for someone who chose it: at start-up
  // when it is the stored choice, otherwise when it is chosen in the speech window.
  if (!Installed || LoadingPosted) return;
  LoadingPosted = true;
  FestivalThread::Get().Post([folder = DataFolder] { LoadVoice(folder); });
}

FestivalVoices::~FestivalVoices() {
  State->Gone = true;
}

std::vector<std::string> FestivalVoices::ListVoices() {
  if (!Installed) return {};
  return {VoiceEntry};
}

bool FestivalVoices::ChooseVoice(int index) {
  if (!Installed || index != 0) return false;
  StartLoading();
  return true;
}

void FestivalVoices::SetRate(int rate) {
  Rate = std::clamp(rate, -10, 10);
}

bool FestivalVoices::Ready() const {
  return Installed && FestivalThread::Get().State == Load::Ready;
}

bool FestivalVoices::WaitUntilLoaded() {
  if (!Installed) return false;
  StartLoading();
  FestivalThread& runtime = FestivalThread::Get();
  std::unique_lock<std::mutex> guard(runtime.LoadLock);
  runtime.Loaded.wait(guard, [&runtime] {
    const Load state = runtime.State;
    return state == Load::Ready || state == Load::Failed;
  });
  return runtime.State == Load::Ready;
}

VoiceEngine* FestivalVoices::ReadyFallback() {
  if (!Fallback) return nullptr;
  if (FallbackVoice >= 0) Fallback->ChooseVoice(FallbackVoice);
  Fallback->SetRate(Rate);
  FallbackUsed = true;
  return Fallback;
}

void FestivalVoices::Speak(const std::string& utf8Text) {
  if (utf8Text.empty()) return;
  if (!Ready()) {
    if (VoiceEngine* fallback = ReadyFallback()) fallback->Speak(utf8Text);
    return;
  }
  // A chosen text makes any prompt stale: it is heard now, not after the prompt.
  CutPrompt();
  // The synthesis thread reads the hook only while a text is spoken.
  if (State->Pending.load() == 0) State->FirstSampleWritten = FirstSampleWritten;
  ++State->Pending;
  FestivalThread::Get().Post([state = State, text = ToLatin9(utf8Text), rate = Rate] {
    SpeakNow(*state, text, rate);
    --state->Pending;
  });
}

bool FestivalVoices::IsSpeaking() {
  if (State->Pending.load() > 0) return true;
  return FallbackUsed && Fallback && Fallback->IsSpeaking();
}

void FestivalVoices::SpeakPrompt(const std::string& utf8Text) {
  if (utf8Text.empty()) return;
  if (!Ready()) {
    if (VoiceEngine* fallback = ReadyFallback()) fallback->SpeakPrompt(utf8Text);
    return;
  }
  const uint64_t serial = State->CutPrompts();
  ++State->PromptsPending;
  FestivalThread::Get().Post([state = State, text = ToLatin9(utf8Text), rate = Rate, serial] {
    SayPrompt(*state, text, rate, serial);
    --state->PromptsPending;
  });
}

void FestivalVoices::CutPrompt() {
  State->CutPrompts();
  if (FallbackUsed && Fallback) Fallback->CutPrompt();
}

bool FestivalVoices::PromptSpeaking() {
  if (State->PromptsPending.load() > 0) return true;
  return FallbackUsed && Fallback && Fallback->PromptSpeaking();
}

} // namespace nq
