#pragma once
// The Unicode CLDR annotations: a short name and keywords for each emoji, in many languages. The
// symbol library searches them; an imported cell whose label was only an emoji says its name.
#include <map>
#include <string>
#include <string_view>

namespace nq {

struct CldrNames {
  std::string Name;     // the short name ("type=tts")
  std::string Keywords; // "a|b|c"
};

/// The annotations of one CLDR XML file, by emoji text without variation selectors (U+FE0F).
/// Malformed lines are skipped.
std::map<std::string, CldrNames> ReadCldrAnnotations(std::string_view xml);

/// The annotations of a language ("ca", "pt_BR") in a CLDR folder, with the derived ones (skin tones,
/// sequences) where the plain file has none; nothing for a language CLDR does not have.
std::map<std::string, CldrNames> ReadCldrLanguage(const std::string& cldrFolder, std::string_view code);

/// The emoji text without variation selectors, the key by which CLDR and the pictograms meet.
std::string WithoutVariationSelectors(std::string_view utf8);

/// "a | b | c" -> "a|b|c", blanks around each keyword and empty keywords left out.
std::string KeywordList(std::string_view text);

/// The CLDR folder of this machine: NEXOQUADRIX_CLDR_DIR, or where Debian's unicode-cldr-core puts it.
std::string DefaultCldrFolder();

} // namespace nq
