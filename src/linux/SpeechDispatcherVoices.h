#pragma once
// The desktop speech service (speech-dispatcher): Catalan and Spanish voices, texts queued with
// message priority, the end of each text reported by callbacks. Connecting runs on its own thread
// because starting the service can take seconds; without the service the group is simply empty.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "platform/VoiceEngine.h"

namespace nq {

class SpeechDispatcherVoices final : public VoiceEngine {
public:
  /// Starts connecting at once; ListVoices waits at most connectTimeout for the outcome.
  explicit SpeechDispatcherVoices(std::chrono::milliseconds connectTimeout = std::chrono::milliseconds(3000));
  ~SpeechDispatcherVoices() override;
  SpeechDispatcherVoices(const SpeechDispatcherVoices&) = delete;
  SpeechDispatcherVoices& operator=(const SpeechDispatcherVoices&) = delete;

  std::vector<std::string> ListVoices() override;
  std::string VoiceLanguage(int index) override;
  bool ChooseVoice(int index) override;
  void SetRate(int rate) override;
  void Speak(const std::string& utf8Text) override;
  bool IsSpeaking() override;

  /// The service's rate (-100..100) for a rate of -10..10.
  static int ServiceRate(int rate);
  /// Called from the service's thread when a message ended or was cancelled.
  void MessageFinished();

private:
  struct Voice {
    std::string Name;
    std::string Language;
  };
  struct Connected {
    void* Connection = nullptr; // the service's SPDConnection
    std::vector<Voice> Voices;
  };
  static Connected Connect();
  bool Ready();

  std::chrono::milliseconds ConnectTimeout;
  std::future<Connected> Pending;
  bool Settled = false;
  void* Connection = nullptr; // the service's SPDConnection, an anonymous struct in its header
  std::size_t ClientId = 0;   // the service's id of this connection, once registered
  bool Registered = false;
  std::vector<Voice> Voices;
  std::atomic<int> Unfinished{0};
};

} // namespace nq
