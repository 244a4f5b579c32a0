#include "speech/VoiceList.h"

#include <cctype>

namespace nq {
namespace {

bool HasLanguage(const std::string& tag, const char* language) {
  const std::size_t length = std::char_traits<char>::length(language);
  if (tag.size() < length) return false;
  for (std::size_t i = 0; i < length; ++i)
    if (std::tolower(static_cast<unsigned char>(tag[i])) != language[i]) return false;
  return tag.size() == length || tag[length] == '-' || tag[length] == '_';
}

} // namespace

bool IsHomeLanguage(const std::string& language) {
  return HasLanguage(language, "ca") || HasLanguage(language, "es");
}

std::vector<int> ShownVoiceOrder(const std::vector<VoiceEntry>& voices, bool everyLanguage, int keep) {
  // A voice of no stated language stays with the Catalan and Spanish ones: nothing says it is foreign.
  const auto foreign = [](const VoiceEntry& voice) {
    return !voice.Language.empty() && !IsHomeLanguage(voice.Language);
  };
  std::vector<int> order;
  for (const bool wanted : {false, true})
    for (int i = 0; i < static_cast<int>(voices.size()); ++i)
      if (foreign(voices[static_cast<std::size_t>(i)]) == wanted && (!wanted || everyLanguage || i == keep))
        order.push_back(i);
  return order;
}

std::string VoiceSampleText(const std::string& language) {
  if (HasLanguage(language, "es")) return "Hola, esta es mi voz.";
  return "Hola, aquesta \xE9s la meva veu.";
}

} // namespace nq
