#pragma once
// Words of symbol names and queries: split, lower-cased, accents folded, and reduced to their stems
// so that "gats" meets "gat" and "niñas" meets "niño". Texts are UTF-8.
#include <array>
#include <string>
#include <string_view>
#include <vector>

struct sb_stemmer;

namespace nq::symbols {

enum class Language { Ca, Es, En };
inline constexpr std::array<Language, 3> Languages = {Language::Ca, Language::Es, Language::En};

/// "ca", "es" or "en"; nothing for any other text.
bool ParseLanguage(std::string_view code, Language& language);

/// The words of a text, lower case, accents kept ("Niñas d’aigua" -> "niñas", "d", "aigua"). A middle
/// dot between letters stays inside its word ("col·legi").
std::vector<std::string> SplitWords(std::string_view utf8);

/// A lower-case word with its accents folded to ASCII letters ("niñas" -> "ninas", "col·legi" ->
/// "collegi"); letters outside the Latin alphabets are kept as they are.
std::string FoldWord(std::string_view lowerUtf8);

/// A folded word that carries no meaning of its own in a search of several words ("de", "la", "the",
/// "m" of "m'agrada", "tengo" of "tengo sed").
bool IsStopWord(Language language, std::string_view foldedWord);

/// Snowball stemmers for the three languages. One object serves one thread at a time.
class Stemmers {
public:
  Stemmers();
  ~Stemmers();
  Stemmers(const Stemmers&) = delete;
  Stemmers& operator=(const Stemmers&) = delete;

  /// The folded stem of a lower-case word; the folded word itself when no stemmer is available.
  std::string Stem(Language language, std::string_view lowerUtf8);

private:
  std::array<sb_stemmer*, 3> Engines{};
};

} // namespace nq::symbols
