#pragma once
// The voices as the speech window lists them: each with its group and language, the Catalan and
// Spanish ones first and the many others (espeak-ng alone brings more than a hundred languages) only
// when the user asks for every language.
#include <string>
#include <vector>

namespace nq {

class VoiceEngine;

struct VoiceEntry {
  std::string Group;    // "MSP" (desktop speech service), "SAPI" (in process) or "UPCTV" (library)
  std::string Name;     // the list text, Windows-1252
  std::string Language; // a language tag ("ca", "es-419"), empty when the engine does not say
};

/// True for a Catalan or Spanish language tag, in any region ("ca", "ca-valencia", "es_MX").
bool IsHomeLanguage(const std::string& language);

/// List indices in the window's order: Catalan and Spanish voices (and those of no stated language)
/// first, then, with everyLanguage, the others; each part in list order. The entry keep (the chosen
/// voice) is shown in any case.
std::vector<int> ShownVoiceOrder(const std::vector<VoiceEntry>& voices, bool everyLanguage, int keep);

/// The short sentence a voice says when the user selects it (Windows-1252): Spanish for a Spanish
/// voice, Catalan for every other.
std::string VoiceSampleText(const std::string& language);

} // namespace nq
