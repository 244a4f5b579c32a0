#include "symbols/SymbolText.h"

#include <algorithm>

#include <libstemmer.h>

#include "text/Encoding.h"

namespace nq::symbols {
namespace {

bool IsLetterOrDigit(char32_t cp) {
  if (cp < 0x80) return (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9');
  if (cp >= 0xC0 && cp <= 0x24F) return cp != 0xD7 && cp != 0xF7; // Latin-1 and Latin Extended-A/B
  // Other alphabets (Greek, Cyrillic, ...) count as letters; symbols and punctuation do not.
  return (cp >= 0x370 && cp <= 0x1FFF) || (cp >= 0x3040 && cp <= 0x9FFF);
}

bool IsCombiningMark(char32_t cp) {
  return cp >= 0x300 && cp <= 0x36F;
}

char32_t Lower(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  return cp;
}

// The ASCII letters a Latin-1 letter folds to (lower case only; 0xDF folds to "ss").
std::string_view FoldLatin1(char32_t cp) {
  static constexpr std::string_view Table[64] = {
      "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",  // C0-CF
      "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss", // D0-DF
      "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",  // E0-EF
      "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"}; // F0-FF
  return Table[cp - 0xC0];
}

} // namespace

bool ParseLanguage(std::string_view code, Language& language) {
  if (code == "ca")
    language = Language::Ca;
  else if (code == "es")
    language = Language::Es;
  else if (code == "en")
    language = Language::En;
  else
    return false;
  return true;
}

std::vector<std::string> SplitWords(std::string_view utf8) {
  std::vector<std::string> words;
  std::string word;
  size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (IsLetterOrDigit(cp)) {
      AppendUtf8(word, Lower(cp));
      continue;
    }
    // An accent written as a mark of its own after the letter ("n" + U+0303), as file names copied
    // from some systems are: it belongs to the word.
    if (IsCombiningMark(cp) && !word.empty()) {
      AppendUtf8(word, cp);
      continue;
    }
    // "col·legi": the middle dot joins the two l's of one Catalan word.
    if (cp == 0xB7 && !word.empty() && i < utf8.size()) {
      size_t peek = i;
      if (IsLetterOrDigit(NextCodePoint(utf8, peek))) {
        AppendUtf8(word, cp);
        continue;
      }
    }
    if (!word.empty()) words.push_back(std::move(word));
    word.clear();
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

std::string FoldWord(std::string_view lowerUtf8) {
  std::string out;
  out.reserve(lowerUtf8.size());
  size_t i = 0;
  while (i < lowerUtf8.size()) {
    const char32_t cp = NextCodePoint(lowerUtf8, i);
    if (cp >= 0xC0 && cp <= 0xFF)
      out += FoldLatin1(cp);
    else if (cp == 0xB7 || IsCombiningMark(cp))
      continue;
    else if (cp >= 0x100 && cp <= 0x17F) {
      // Latin Extended-A in blocks of letters with the same base: enough for names of places.
      static constexpr std::string_view Bases =
          "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkklllllll"
          "lllnnnnnnnnnoooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
      const size_t index = cp - 0x100;
      if (index < Bases.size()) out += Bases[index];
    } else
      AppendUtf8(out, cp);
  }
  return out;
}

bool IsStopWord(Language language, std::string_view word) {
  // Articles, prepositions and conjunctions; the elided and unstressed pronouns ("m'agrada", "me
  // gusta"); and the few verbs a request begins with ("vull", "tengo", "fa fred"), which name no
  // picture of their own.
  static constexpr std::string_view Catalan[] = {
      "a",   "al", "als",  "amb",  "d",  "de",  "del",  "dels", "el",  "els",  "em",   "en",
      "ens", "es", "et",   "fa",   "ha", "he",  "hi",   "ho",   "i",   "l",    "la",   "les",
      "li",  "m",  "me",   "n",    "o",  "pel", "pels", "per",  "que", "s",    "se",   "soc",
      "t",   "te", "tens", "tinc", "un", "una", "unes", "uns",  "us",  "vols", "vull", "estic"};
  static constexpr std::string_view Spanish[] = {
      "a",    "al",    "con",    "de",   "del", "el",   "en",     "es",      "esta", "estoy",
      "hace", "hay",   "la",     "las",  "le",  "les",  "lo",     "los",     "me",   "mi",
      "mis",  "nos",   "o",      "para", "por", "que",  "quiero", "quieres", "se",   "soy",
      "te",   "tengo", "tienes", "un",   "una", "unas", "uno",    "unos",    "y"};
  static constexpr std::string_view English[] = {"a",  "am", "an",  "and", "for",  "have",
                                                 "i",  "in", "is",  "it",  "me",   "my",
                                                 "of", "on", "the", "to",  "want", "with"};
  const auto has = [word](const auto& words) {
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
  };
  switch (language) {
  case Language::Ca:
    return has(Catalan);
  case Language::Es:
    return has(Spanish);
  case Language::En:
    return has(English);
  }
  return false;
}

Stemmers::Stemmers() {
  Engines[0] = sb_stemmer_new("catalan", "UTF_8");
  Engines[1] = sb_stemmer_new("spanish", "UTF_8");
  Engines[2] = sb_stemmer_new("english", "UTF_8");
}

Stemmers::~Stemmers() {
  for (sb_stemmer* engine : Engines)
    if (engine) sb_stemmer_delete(engine);
}

std::string Stemmers::Stem(Language language, std::string_view lowerUtf8) {
  sb_stemmer* engine = Engines[static_cast<size_t>(language)];
  if (!engine || lowerUtf8.empty()) return FoldWord(lowerUtf8);
  const sb_symbol* stem = sb_stemmer_stem(engine, reinterpret_cast<const sb_symbol*>(lowerUtf8.data()),
                                          static_cast<int>(lowerUtf8.size()));
  if (!stem) return FoldWord(lowerUtf8);
  return FoldWord(std::string_view(reinterpret_cast<const char*>(stem), sb_stemmer_length(engine)));
}

} // namespace nq::symbols
