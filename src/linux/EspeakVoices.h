#pragma once
// The in-process voices: libespeak-ng synthesises on a worker thread, one text after another, and
// the same thread hands the samples to the sound server as they come. Voices that need MBROLA are left out.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "linux/PulsePlayback.h"
#include "platform/VoiceEngine.h"

namespace nq {

struct EspeakVoice {
  std::string Identifier; // e.g. "roa/ca"
  std::string Name;       // e.g. "Catalan"
  std::string Language;   // e.g. "ca"
};

class EspeakVoices final : public VoiceEngine {
public:
  EspeakVoices();
  ~EspeakVoices() override;
  EspeakVoices(const EspeakVoices&) = delete;
  EspeakVoices& operator=(const EspeakVoices&) = delete;

  std::vector<std::string> ListVoices() override;
  std::string VoiceLanguage(int index) override;
  bool ChooseVoice(int index) override;
  void SetRate(int rate) override;
  void Speak(const std::string& utf8Text) override;
  /// True while a text given with Speak (not a prompt) is queued or spoken.
  bool IsSpeaking() override;
  /// A prompt waits behind the texts queued before it and replaces any prompt not yet spoken.
  void SpeakPrompt(const std::string& utf8Text) override;
  void CutPrompt() override;
  bool PromptSpeaking() override;

  /// Synthesises a text with a voice into 16-bit mono samples at SampleRate(), without playing them.
  std::vector<int16_t> SynthesizeToBuffer(const std::string& utf8Text, int voiceIndex, int rate);
  /// The index of the first voice of a language ("ca", "es"), or -1.
  int VoiceForLanguage(const std::string& language) const;
  int SampleRate() const { return Rate; }
  const std::vector<EspeakVoice>& Voices() const { return VoiceList; }
  /// Words per minute for a rate of -10..10: 175 at 0, 87 at -10, 437 at 10.
  static int WordsPerMinute(int rate);
  /// True once the voices are being destroyed (read by the synthesis thread).
  bool StopRequested() const { return Stopping.load(); }

  // Measuring hook for the latency benchmark: called on the synthesis thread when the first samples
  // of a text passed to Speak have been taken by the sound server. Set it while nothing is spoken;
  // empty in the player.
  std::function<void()> FirstSampleWritten;

  // Internal: one text to synthesise; Capture set means "into a buffer, not the speaker".
  struct Job {
    std::string Text;
    std::string Voice;
    int Rate = 0;
    std::shared_ptr<std::promise<std::vector<int16_t>>> Capture;
    std::vector<int16_t> Captured;
    EspeakVoices* Owner = nullptr;
    bool Written = false; // some samples reached the sound server
    bool Prompt = false;  // said quietly, and cut by the next prompt or a text
  };
  /// Called on the synthesis thread; false ends the synthesis of the text.
  bool AcceptSamples(Job& job, const int16_t* samples, int count);

private:
  void WorkerLoop();
  void Enqueue(Job job);
  /// With Lock held: drops the prompts waiting and cuts the one being spoken.
  void CutPromptsLocked();

  int Rate = 22050;
  bool Available = false;
  std::vector<EspeakVoice> VoiceList;
  int ChosenVoice = -1;
  int RateSetting = 0;

  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<Job> Queue;
  bool Busy = false;
  bool CurrentIsPrompt = false;              // with Lock: the job being spoken is a prompt
  std::atomic<bool> CurrentPromptCut{false}; // that prompt is to end now
  bool Quit = false;
  std::atomic<bool> Stopping{false};
  std::unique_ptr<PulsePlayback> Playback; // used by the synthesis thread only
  std::thread Worker;
};

} // namespace nq
