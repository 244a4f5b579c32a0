#pragma once
// The desktop speech service (speech-dispatcher): Catalan and Spanish voices, texts queued with
// message priority, the end of each text reported by callbacks. Connecting runs on its own thread
// because starting the service can take seconds; without the service the group is simply empty.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <future>
#include <mutex>
#include <set>
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
  /// Said with the service's notification priority, which is exactly a prompt's: a newer one replaces
  /// it, a text of message priority cancels it, and it is dropped while such a text is spoken or waits.
  void SpeakPrompt(const std::string& utf8Text) override;
  bool PromptSpeaking() override;

  /// The service's rate (-100..100) for a rate of -10..10.
  static int ServiceRate(int rate);
  /// Called from the service's thread when a message ended or was cancelled.
  void MessageFinished(std::size_t messageId);

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
  /// Notes a message just queued as a text or a prompt, unless it has ended already.
  void Queued(int messageId, bool prompt);

  // The service's ids of the texts not yet ended and of the last prompt until it ends (0: none); an
  // end reported before its message was noted as queued waits in EndedEarly, which keeps the latest few.
  std::mutex IdsLock;
  std::set<std::size_t> TextIds;
  std::size_t PromptId = 0;
  std::set<std::size_t> EndedEarly;
  int NormalVolume = 0; // the service's volume for texts, read once connected
};

} // namespace nq
