#include "linux/SpeechDispatcherVoices.h"

#include <thread>

#include <algorithm>
#include <cstdlib>
#include <map>

#include <libspeechd.h>

namespace nq {

namespace {

// The service's callbacks carry no user pointer, only the client id; this table leads back to the
// engine that owns the connection.
std::mutex RegistryLock;
std::map<std::size_t, SpeechDispatcherVoices*>& Registry() {
  static std::map<std::size_t, SpeechDispatcherVoices*> registry;
  return registry;
}

void OnMessageFinished(std::size_t messageId, std::size_t clientId, SPDNotificationType) {
  std::lock_guard<std::mutex> guard(RegistryLock);
  auto it = Registry().find(clientId);
  if (it != Registry().end()) it->second->MessageFinished(messageId);
}

// Prompts at this fraction of the texts' loudness: the service's volume of -100..100 goes from
// silence to full loudness in a straight line.
constexpr int PromptLoudnessPercent = 40;
constexpr std::size_t MaxEndedEarly = 32;

SPDConnection* Spd(void* connection) {
  return static_cast<SPDConnection*>(connection);
}

bool WantedLanguage(const std::string& language) {
  return language.rfind("ca", 0) == 0 || language.rfind("es", 0) == 0;
}

} // namespace

int SpeechDispatcherVoices::ServiceRate(int rate) {
  return std::clamp(rate, -10, 10) * 7;
}

SpeechDispatcherVoices::SpeechDispatcherVoices(std::chrono::milliseconds connectTimeout)
    : ConnectTimeout(connectTimeout) {
  // A detached thread and a promise, not std::async: the future of std::async would block the
  // destructor until a service that never answers had answered, keeping the program alive.
  auto promise = std::make_shared<std::promise<Connected>>();
  Pending = promise->get_future();
  std::thread([promise] { promise->set_value(Connect()); }).detach();
}

SpeechDispatcherVoices::~SpeechDispatcherVoices() {
  if (!Settled && Pending.valid()) {
    // A connection still on its way is abandoned; it ends with the process.
    if (Pending.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) return;
    Connected late = Pending.get();
    Connection = late.Connection;
  }
  if (!Connection) return;
  // The id noted when registering, not asked again: asking a service that died crashes inside libspeechd.
  if (Registered) {
    std::lock_guard<std::mutex> guard(RegistryLock);
    Registry().erase(ClientId);
  }
  spd_close(Spd(Connection));
}

SpeechDispatcherVoices::Connected SpeechDispatcherVoices::Connect() {
  Connected result;
  char* error = nullptr;
  SPDConnection* connection =
      spd_open2("nexoquadrix", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
  std::free(error);
  result.Connection = connection;
  if (!connection) return result;
  // Listing every voice of every module takes seconds; only Catalan and Spanish are wanted.
  if (SPDVoice** voices = spd_list_synthesis_voices(connection)) {
    for (int i = 0; voices[i]; ++i) {
      const std::string language = voices[i]->language ? voices[i]->language : "";
      if (voices[i]->name && WantedLanguage(language)) result.Voices.push_back({voices[i]->name, language});
    }
    free_spd_voices(voices);
  }
  return result;
}

bool SpeechDispatcherVoices::Ready() {
  if (!Settled) {
    if (Pending.wait_for(ConnectTimeout) != std::future_status::ready) return false;
    Settled = true;
    Connected connected = Pending.get();
    Connection = connected.Connection;
    Voices = std::move(connected.Voices);
    if (Connection) {
      {
        std::lock_guard<std::mutex> guard(RegistryLock);
        ClientId = static_cast<std::size_t>(spd_get_client_id(Spd(Connection)));
        Registry()[ClientId] = this;
        Registered = true;
      }
      Spd(Connection)->callback_end = &OnMessageFinished;
      Spd(Connection)->callback_cancel = &OnMessageFinished;
      spd_set_notification_on(Spd(Connection), SPD_END);
      spd_set_notification_on(Spd(Connection), SPD_CANCEL);
      NormalVolume = std::clamp(spd_get_volume(Spd(Connection)), -100, 100);
    }
  }
  return Connection != nullptr;
}

std::vector<std::string> SpeechDispatcherVoices::ListVoices() {
  std::vector<std::string> descriptions;
  if (!Ready()) return descriptions;
  for (const Voice& voice : Voices)
    descriptions.push_back(voice.Name + " (" + voice.Language + ")");
  return descriptions;
}

std::string SpeechDispatcherVoices::VoiceLanguage(int index) {
  if (!Ready() || index < 0 || index >= static_cast<int>(Voices.size())) return {};
  return Voices[static_cast<std::size_t>(index)].Language;
}

bool SpeechDispatcherVoices::ChooseVoice(int index) {
  if (!Ready() || index < 0 || index >= static_cast<int>(Voices.size())) return false;
  const Voice& voice = Voices[static_cast<std::size_t>(index)];
  spd_set_language(Spd(Connection), voice.Language.c_str());
  return spd_set_synthesis_voice(Spd(Connection), voice.Name.c_str()) == 0;
}

void SpeechDispatcherVoices::SetRate(int rate) {
  if (Ready()) spd_set_voice_rate(Spd(Connection), ServiceRate(rate));
}

void SpeechDispatcherVoices::Speak(const std::string& utf8Text) {
  if (utf8Text.empty() || !Ready()) return;
  // Message priority queues a text behind the one being spoken instead of cutting it off.
  Queued(spd_say(Spd(Connection), SPD_MESSAGE, utf8Text.c_str()), false);
}

void SpeechDispatcherVoices::SpeakPrompt(const std::string& utf8Text) {
  if (utf8Text.empty() || !Ready()) return;
  SPDConnection* connection = Spd(Connection);
  // The volume belongs to the connection and goes with each text as it is queued.
  spd_set_volume(connection, (NormalVolume + 100) * PromptLoudnessPercent / 100 - 100);
  const int id = spd_say(connection, SPD_NOTIFICATION, utf8Text.c_str());
  spd_set_volume(connection, NormalVolume);
  Queued(id, true);
}

void SpeechDispatcherVoices::Queued(int messageId, bool prompt) {
  if (messageId <= 0) return;
  const auto id = static_cast<std::size_t>(messageId);
  std::lock_guard<std::mutex> guard(IdsLock);
  // Only the last prompt counts: the one before was replaced, whether or not its end is reported.
  if (prompt) PromptId = 0;
  if (EndedEarly.erase(id) > 0) return;
  if (prompt)
    PromptId = id;
  else
    TextIds.insert(id);
}

bool SpeechDispatcherVoices::IsSpeaking() {
  std::lock_guard<std::mutex> guard(IdsLock);
  return !TextIds.empty();
}

bool SpeechDispatcherVoices::PromptSpeaking() {
  std::lock_guard<std::mutex> guard(IdsLock);
  return PromptId != 0;
}

void SpeechDispatcherVoices::MessageFinished(std::size_t messageId) {
  // Called on the service's reader thread, which spd_say waits on: nothing here may call the service.
  std::lock_guard<std::mutex> guard(IdsLock);
  if (messageId != 0 && messageId == PromptId) {
    PromptId = 0;
  } else if (TextIds.erase(messageId) == 0) {
    // Ends of replaced prompts land here too, so only the latest few are kept.
    EndedEarly.insert(messageId);
    if (EndedEarly.size() > MaxEndedEarly) EndedEarly.erase(EndedEarly.begin());
  }
}

} // namespace nq
