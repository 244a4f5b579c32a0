#pragma once
// The in-process voices: libespeak-ng synthesises on a worker thread, one text after another, and
// the samples are played through Qt Multimedia on the UI thread. Voices that need MBROLA are left out.
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

#include <QObject>

#include "platform/VoiceEngine.h"

class QAudioSink;
class QIODevice;
class QTimer;

namespace nq {

struct EspeakVoice {
  std::string Identifier; // e.g. "roa/ca"
  std::string Name;       // e.g. "Catalan"
  std::string Language;   // e.g. "ca"
};

class EspeakVoices final : public QObject, public VoiceEngine {
public:
  explicit EspeakVoices(QObject* parent = nullptr);
  ~EspeakVoices() override;

  std::vector<std::string> ListVoices() override;
  bool ChooseVoice(int index) override;
  void SetRate(int rate) override;
  void Speak(const std::string& utf8Text) override;
  bool IsSpeaking() override;

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

  // Measuring hook for the latency benchmark: called on the UI thread when the first samples of a
  // text passed to Speak are written to the sound server, with the queue locked (it must not call back
  // into this object). Empty in the player.
  std::function<void()> FirstSampleWritten;

  // Internal: one text to synthesise; Capture set means "into a buffer, not the speaker".
  struct Job {
    std::string Text;
    std::string Voice;
    int Rate = 0;
    std::shared_ptr<std::promise<std::vector<int16_t>>> Capture;
    std::vector<int16_t> Captured;
    EspeakVoices* Owner = nullptr;
  };
  void AcceptSamples(Job& job, const int16_t* samples, int count);

private:
  void WorkerLoop();
  void Enqueue(Job job);
  void Feed();
  bool OpenSink();
  void DropBrokenSink();
  bool SinkBroken() const;

  int Rate = 22050;
  bool Available = false;
  std::vector<EspeakVoice> VoiceList;
  int ChosenVoice = -1;
  int RateSetting = 0;

  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<Job> Queue;
  bool Busy = false;
  bool Quit = false;
  std::atomic<bool> Stopping{false};
  std::vector<char> Pcm; // synthesised, not yet handed to the sink
  std::thread Worker;

  QAudioSink* Sink = nullptr;
  QIODevice* SinkDevice = nullptr;
  QTimer* FeedTimer = nullptr;
  bool NoAudio = false;
  bool AwaitingFirstWrite = false; // a Speak whose first samples have not reached the sink yet
};

} // namespace nq
