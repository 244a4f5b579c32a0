#pragma once
// The editor's own words in Catalan, Spanish and English. Texts are looked up by their English form,
// so the code reads in one language and a missing translation shows English rather than nothing.
#include <QString>

#include "authoring/CommandCatalogue.h"

namespace nq {

class EditorTexts {
public:
  explicit EditorTexts(authoring::Language language) : Current(language) {}

  authoring::Language Language() const { return Current; }
  void SetLanguage(authoring::Language language) { Current = language; }

  /// The text in the current language.
  QString operator()(const char* english) const;

  /// The language of a locale name ("ca_ES.UTF-8" -> Catalan); English for anything else.
  static authoring::Language FromLocale(const QString& localeName);

private:
  authoring::Language Current;
};

} // namespace nq
