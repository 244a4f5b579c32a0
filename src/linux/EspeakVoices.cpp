#include "linux/EspeakVoices.h"

#include <algorithm>

#include <espeak-ng/speak_lib.h>

namespace nq {

namespace {

constexpr int NormalWordsPerMinute = 175;
constexpr int BufferMs = 200;
// Prompts are said at this fraction of the normal loudness (about 8 dB quieter).
constexpr int PromptLoudnessPercent = 40;

int SynthCallback(short* samples, int count, espeak_EVENT* events) {
  auto* job = events ? static_cast<EspeakVoices::Job*>(events->user_data) : nullptr;
  if (job && samples && count > 0 && !job->Owner->AcceptSamples(*job, samples, count)) return 1;
  // Returning 1 ends the synthesis of a long text at once when the voices are going away.
  return job && job->Owner->StopRequested() ? 1 : 0;
}

std::vector<EspeakVoice> ReadVoices() {
  std::vector<EspeakVoice> voices;
  const espeak_VOICE** list = espeak_ListVoices(nullptr);
  for (int i = 0; list && list[i]; ++i) {
    const espeak_VOICE* v = list[i];
    const std::string identifier = v->identifier ? v->identifier : "";
    // MBROLA voices need databases that are rarely installed; they would speak nothing.
    if (identifier.rfind("mb/", 0) == 0 || identifier.find("mb-") != std::string::npos) continue;
    // languages: a priority byte, a language name, a NUL, repeated; the first is the main one.
    const std::string language = (v->languages && v->languages[0]) ? std::string(v->languages + 1) : "";
    voices.push_back({identifier, v->name ? v->name : identifier, language});
  }
  // Catalan and Spanish first, in that order: the voices this program's users look for, at the top of
  // a list of more than a hundred.
  auto rank = [](const EspeakVoice& voice) {
    if (voice.Language.rfind("ca", 0) == 0) return 0;
    if (voice.Language.rfind("es", 0) == 0) return 1;
    return 2;
  };
  std::stable_sort(voices.begin(), voices.end(),
                   [&rank](const EspeakVoice& a, const EspeakVoice& b) { return rank(a) < rank(b); });
  return voices;
}

// libespeak-ng keeps one state per process and cannot be initialised again after espeak_Terminate,
// so it is initialised once and left running until the process ends.
int InitializeOnce() {
  static std::once_flag once;
  static int sampleRate = 0;
  std::call_once(once,
                 [] { sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, BufferMs, nullptr, 0); });
  return sampleRate;
}

} // namespace

int EspeakVoices::WordsPerMinute(int rate) {
  rate = std::clamp(rate, -10, 10);
  if (rate >= 0) return NormalWordsPerMinute + NormalWordsPerMinute * 15 * rate / 100;
  return NormalWordsPerMinute + NormalWordsPerMinute * 5 * rate / 100;
}

EspeakVoices::EspeakVoices() {
  const int rate = InitializeOnce();
  if (rate <= 0) return;
  Rate = rate;
  Playback = std::make_unique<PulsePlayback>(Rate);
  Available = true;
  espeak_SetSynthCallback(&SynthCallback);
  VoiceList = ReadVoices();
  // Until the user chooses, speak Catalan: the language of most boards.
  ChosenVoice = VoiceForLanguage("ca");
  if (ChosenVoice < 0 && !VoiceList.empty()) ChosenVoice = 0;
  Worker = std::thread([this] { WorkerLoop(); });
}

EspeakVoices::~EspeakVoices() {
  Stopping = true;
  // A sound server that stopped answering mid-text must not hold the program's end.
  if (Playback) Playback->Abandon();
  {
    std::lock_guard<std::mutex> guard(Lock);
    Quit = true;
    for (Job& job : Queue)
      if (job.Capture) job.Capture->set_value({});
    Queue.clear();
  }
  Wake.notify_all();
  if (Worker.joinable()) Worker.join();
}

std::vector<std::string> EspeakVoices::ListVoices() {
  std::vector<std::string> descriptions;
  for (const EspeakVoice& voice : VoiceList)
    descriptions.push_back(voice.Name + " (" + voice.Language + ")");
  return descriptions;
}

std::string EspeakVoices::VoiceLanguage(int index) {
  if (index < 0 || index >= static_cast<int>(VoiceList.size())) return {};
  return VoiceList[static_cast<std::size_t>(index)].Language;
}

int EspeakVoices::VoiceForLanguage(const std::string& language) const {
  for (std::size_t i = 0; i < VoiceList.size(); ++i)
    if (VoiceList[i].Language == language) return static_cast<int>(i);
  return -1;
}

bool EspeakVoices::ChooseVoice(int index) {
  if (index < 0 || index >= static_cast<int>(VoiceList.size())) return false;
  ChosenVoice = index;
  return true;
}

void EspeakVoices::SetRate(int rate) {
  RateSetting = std::clamp(rate, -10, 10);
}

void EspeakVoices::Speak(const std::string& utf8Text) {
  if (!Available || ChosenVoice < 0 || utf8Text.empty()) return;
  Job job;
  job.Text = utf8Text;
  job.Voice = VoiceList[static_cast<std::size_t>(ChosenVoice)].Identifier;
  job.Rate = RateSetting;
  {
    // A chosen text makes any prompt stale: it is heard now, not after the prompt.
    std::lock_guard<std::mutex> guard(Lock);
    CutPromptsLocked();
  }
  Enqueue(std::move(job));
}

void EspeakVoices::SpeakPrompt(const std::string& utf8Text) {
  if (!Available || ChosenVoice < 0 || utf8Text.empty()) return;
  Job job;
  job.Text = utf8Text;
  job.Voice = VoiceList[static_cast<std::size_t>(ChosenVoice)].Identifier;
  job.Rate = RateSetting;
  job.Prompt = true;
  {
    std::lock_guard<std::mutex> guard(Lock);
    CutPromptsLocked();
    Queue.push_back(std::move(job));
  }
  Wake.notify_one();
}

void EspeakVoices::CutPrompt() {
  std::lock_guard<std::mutex> guard(Lock);
  CutPromptsLocked();
}

void EspeakVoices::CutPromptsLocked() {
  std::erase_if(Queue, [](const Job& job) { return job.Prompt; });
  // Only while the job being spoken is a prompt: the synthesis thread clears the interruption under
  // this lock before it starts the next job, so a text is never cut by it.
  if (Busy && CurrentIsPrompt && !CurrentPromptCut) {
    CurrentPromptCut = true;
    if (Playback) Playback->Interrupt();
  }
}

bool EspeakVoices::PromptSpeaking() {
  std::lock_guard<std::mutex> guard(Lock);
  if (Busy && CurrentIsPrompt && !CurrentPromptCut) return true;
  return std::any_of(Queue.begin(), Queue.end(), [](const Job& job) { return job.Prompt; });
}

std::vector<int16_t> EspeakVoices::SynthesizeToBuffer(const std::string& utf8Text, int voiceIndex, int rate) {
  if (!Available || voiceIndex < 0 || voiceIndex >= static_cast<int>(VoiceList.size())) return {};
  Job job;
  job.Text = utf8Text;
  job.Voice = VoiceList[static_cast<std::size_t>(voiceIndex)].Identifier;
  job.Rate = rate;
  job.Capture = std::make_shared<std::promise<std::vector<int16_t>>>();
  std::future<std::vector<int16_t>> result = job.Capture->get_future();
  Enqueue(std::move(job));
  return result.get();
}

void EspeakVoices::Enqueue(Job job) {
  {
    std::lock_guard<std::mutex> guard(Lock);
    Queue.push_back(std::move(job));
  }
  Wake.notify_one();
}

bool EspeakVoices::IsSpeaking() {
  // The synthesis thread stays busy until the server has played the text out.
  std::lock_guard<std::mutex> guard(Lock);
  if (Busy && !CurrentIsPrompt) return true;
  return std::any_of(Queue.begin(), Queue.end(), [](const Job& job) { return !job.Prompt; });
}

bool EspeakVoices::AcceptSamples(Job& job, const int16_t* samples, int count) {
  if (job.Capture) {
    job.Captured.insert(job.Captured.end(), samples, samples + count);
    return true;
  }
  if (job.Prompt) {
    if (CurrentPromptCut) return false;
    std::vector<int16_t> quieter(samples, samples + count);
    for (int16_t& sample : quieter)
      sample = static_cast<int16_t>(sample * PromptLoudnessPercent / 100);
    if (!Playback->Write(quieter.data(), quieter.size())) return false;
    job.Written = true;
    return true;
  }
  // Each chunk goes to the sound server as soon as it is made; without a server the text is dropped
  // at once, so waiting for it ends.
  if (!Playback->Write(samples, static_cast<std::size_t>(count))) return false;
  if (!job.Written) {
    job.Written = true;
    if (FirstSampleWritten) FirstSampleWritten();
  }
  return true;
}

void EspeakVoices::WorkerLoop() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> guard(Lock);
      Wake.wait(guard, [this] { return Quit || !Queue.empty(); });
      if (Quit) return;
      job = std::move(Queue.front());
      Queue.pop_front();
      Busy = true;
      CurrentIsPrompt = job.Prompt;
      CurrentPromptCut = false;
      if (Playback) Playback->ClearInterrupt();
    }
    job.Owner = this;
    if (espeak_SetVoiceByName(job.Voice.c_str()) != EE_OK) {
      espeak_VOICE wanted{};
      wanted.languages = job.Voice.c_str();
      espeak_SetVoiceByProperties(&wanted);
    }
    espeak_SetParameter(espeakRATE, WordsPerMinute(job.Rate), 0);
    espeak_Synth(job.Text.c_str(), job.Text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &job);
    if (job.Capture) job.Capture->set_value(std::move(job.Captured));
    bool more = false;
    {
      std::lock_guard<std::mutex> guard(Lock);
      // A prompt waiting is no reason to skip playing a text out: cutting that prompt must not drop
      // the end of the text still in the server's buffer.
      for (const Job& waiting : Queue)
        more = more || (!waiting.Capture && !waiting.Prompt);
    }
    // The next text follows without a gap; the last one is played out before speaking counts as over.
    if (!job.Capture && job.Written && !more && !Stopping && !CurrentPromptCut) Playback->Drain();
    // A cut prompt stops at once: what the server still holds of it is dropped.
    if (job.Prompt && CurrentPromptCut) Playback->Flush();
    std::lock_guard<std::mutex> guard(Lock);
    Busy = false;
    CurrentIsPrompt = false;
  }
}

} // namespace nq
