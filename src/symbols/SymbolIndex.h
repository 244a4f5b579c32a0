#pragma once
// The searchable list of symbols: built-in pictograms named in Catalan, Spanish and English, and the
// pictures of the user's own folders. Searching is by whole words, stems and prefixes, accents and
// letter case ignored; results come best first.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "symbols/SymbolText.h"

namespace nq::symbols {

enum class SymbolSource : uint8_t {
  OpenMoji,   // a colour pictogram drawn from its SVG file
  EmojiFont,  // an emoji only the colour emoji font has (a bitmap, never drawn large)
  UserFolder, // a picture file of a folder the user added
};

struct Symbol {
  SymbolSource Source = SymbolSource::OpenMoji;
  std::string Text;    // the emoji's characters; empty for a user's picture
  std::string Picture; // the SVG or picture file; empty for a font emoji
  // Name and keywords ("|" between them) in each language; a user's picture has them in all three.
  std::array<std::string, 3> Names;
  std::array<std::string, 3> Keywords;
  // Languages whose name and keywords are only the English ones of the pictograms' data file: they
  // are still found, after every symbol named in the language searched.
  std::array<bool, 3> Untranslated{};

  const std::string& Name(Language language) const { return Names[static_cast<size_t>(language)]; }
  bool operator==(const Symbol&) const = default;
};

/// How a result met the query, best first.
enum class MatchKind : uint8_t {
  WholeName,
  NameWord,
  Keyword,
  NameStem,
  KeywordStem,
  NamePrefix,
  KeywordPrefix,
  StemPrefix, // a longer word of the same root ("cantar": "cantante")
  Untranslated
};

struct SearchResult {
  const Symbol* Item = nullptr;
  MatchKind Match = MatchKind::KeywordPrefix; // the weakest match among the query's words
};

class SymbolIndex {
public:
  explicit SymbolIndex(std::vector<Symbol> symbols);
  SymbolIndex(const SymbolIndex&) = delete;
  SymbolIndex& operator=(const SymbolIndex&) = delete;

  const std::vector<Symbol>& Symbols() const { return All; }

  /// At most limit symbols for the query in the language, best first: more of the query's words met,
  /// then the rarer words met, then the better kind of match, a symbol before its skin-tone variants,
  /// one whose name meets the words as well as its keywords before one met by keywords alone, then
  /// shorter names. Stop words
  /// are left out of a query that has other words.
  std::vector<SearchResult> Search(std::string_view query, Language language, size_t limit) const;

private:
  struct Hit {
    uint32_t SymbolNumber;
    MatchKind Kind; // NameWord or Keyword (for stems: NameStem or KeywordStem)
  };
  // Sorted words with the symbols that carry them, for one language.
  struct WordTable {
    std::vector<std::string> Words;
    std::vector<std::vector<Hit>> Hits;
  };
  struct LanguageTables {
    WordTable Exact;
    WordTable Stems;
    std::vector<std::string> FoldedNames; // a symbol's whole name, folded, for the best rank
  };
  // The search for the query's words (lower case), without its stop words unless it has no others.
  std::vector<SearchResult> Ranked(std::string_view query, const std::vector<std::string>& words,
                                   Language language, size_t limit, bool onlyLonger) const;
  // The symbols met by one word of a query (onlyLonger: by longer words it begins), with the best
  // kind of match of each, and whether the name (bit 1) and the keywords (bit 2) met it.
  void Meet(const LanguageTables& tables, Language language, const std::string& lower, Stemmers& stemmers,
            bool onlyLonger, std::vector<uint8_t>& best, std::vector<uint8_t>& sides) const;

  static void Finish(std::vector<std::pair<std::string, Hit>>& entries, WordTable& table);
  void Build(Language language, Stemmers& stemmers);

  std::vector<Symbol> All;
  std::array<LanguageTables, 3> Tables;
  std::vector<bool> Variants; // a skin-tone variant of another symbol
};

/// The folded words of a name, joined by single blanks: how two names are compared as a whole.
std::string FoldedPhrase(std::string_view utf8);

} // namespace nq::symbols
