#include "symbols/SymbolIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/Encoding.h"

namespace nq::symbols {
namespace {

constexpr uint8_t NoMatch = std::numeric_limits<uint8_t>::max();

MatchKind AsPrefix(MatchKind kind) {
  if (kind == MatchKind::Untranslated) return kind;
  return kind == MatchKind::NameWord ? MatchKind::NamePrefix : MatchKind::KeywordPrefix;
}

bool IsNameKind(uint8_t kind) {
  const auto match = static_cast<MatchKind>(kind);
  return match == MatchKind::NameWord || match == MatchKind::NameStem || match == MatchKind::NamePrefix;
}

// Whether an emoji carries a skin tone (U+1F3FB to U+1F3FF): a variant of the same symbol without it.
bool HasSkinTone(std::string_view text) {
  size_t at = 0;
  while (at < text.size()) {
    const char32_t cp = NextCodePoint(text, at);
    if (cp >= 0x1F3FB && cp <= 0x1F3FF) return true;
  }
  return false;
}

// Calls visit(keyword) for each keyword of a "a|b|c" list.
template <typename Visit> void ForEachKeyword(std::string_view list, Visit visit) {
  while (!list.empty()) {
    const size_t bar = list.find('|');
    visit(list.substr(0, bar));
    if (bar == std::string_view::npos) break;
    list.remove_prefix(bar + 1);
  }
}

size_t SharedPrefix(std::string_view a, std::string_view b) {
  const size_t most = std::min(a.size(), b.size());
  size_t n = 0;
  while (n < most && a[n] == b[n])
    ++n;
  return n;
}

} // namespace

std::string FoldedPhrase(std::string_view utf8) {
  std::string phrase;
  for (const std::string& word : SplitWords(utf8)) {
    if (!phrase.empty()) phrase += ' ';
    phrase += FoldWord(word);
  }
  return phrase;
}

SymbolIndex::SymbolIndex(std::vector<Symbol> symbols) : All(std::move(symbols)) {
  Variants.reserve(All.size());
  for (const Symbol& symbol : All)
    Variants.push_back(HasSkinTone(symbol.Text));
  Stemmers stemmers;
  for (Language language : Languages)
    Build(language, stemmers);
}

void SymbolIndex::Finish(std::vector<std::pair<std::string, Hit>>& entries, WordTable& table) {
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.SymbolNumber < b.second.SymbolNumber;
  });
  for (auto& [word, hit] : entries) {
    if (table.Words.empty() || table.Words.back() != word) {
      table.Words.push_back(std::move(word));
      table.Hits.emplace_back();
    }
    table.Hits.back().push_back(hit);
  }
  entries.clear();
}

void SymbolIndex::Build(Language language, Stemmers& stemmers) {
  LanguageTables& tables = Tables[static_cast<size_t>(language)];
  std::vector<std::pair<std::string, Hit>> exact;
  std::vector<std::pair<std::string, Hit>> stems;
  tables.FoldedNames.reserve(All.size());
  for (uint32_t number = 0; number < All.size(); ++number) {
    const Symbol& symbol = All[number];
    // English words are no stems of this language, and come after every word of it.
    const bool untranslated = symbol.Untranslated[static_cast<size_t>(language)];
    const auto add = [&](std::string_view text, MatchKind word, MatchKind stem) {
      for (const std::string& lower : SplitWords(text)) {
        if (untranslated) {
          exact.push_back({FoldWord(lower), Hit{number, MatchKind::Untranslated}});
          continue;
        }
        exact.push_back({FoldWord(lower), Hit{number, word}});
        stems.push_back({stemmers.Stem(language, lower), Hit{number, stem}});
      }
    };
    add(symbol.Name(language), MatchKind::NameWord, MatchKind::NameStem);
    ForEachKeyword(symbol.Keywords[static_cast<size_t>(language)], [&](std::string_view keyword) {
      add(keyword, MatchKind::Keyword, MatchKind::KeywordStem);
    });
    tables.FoldedNames.push_back(FoldedPhrase(symbol.Name(language)));
  }
  Finish(exact, tables.Exact);
  Finish(stems, tables.Stems);
}

void SymbolIndex::Meet(const LanguageTables& tables, Language language, const std::string& lower,
                       Stemmers& stemmers, bool onlyLonger, std::vector<uint8_t>& best,
                       std::vector<uint8_t>& sides) const {
  std::fill(best.begin(), best.end(), NoMatch);
  std::fill(sides.begin(), sides.end(), 0);
  const auto note = [&](uint32_t number, MatchKind kind) {
    best[number] = std::min(best[number], static_cast<uint8_t>(kind));
    if (kind == MatchKind::NameWord || kind == MatchKind::NameStem || kind == MatchKind::NamePrefix)
      sides[number] |= 1;
    else if (kind == MatchKind::Keyword || kind == MatchKind::KeywordStem || kind == MatchKind::KeywordPrefix)
      sides[number] |= 2;
  };
  const std::string folded = FoldWord(lower);
  const auto& exactWords = tables.Exact.Words;
  for (auto at = std::lower_bound(exactWords.begin(), exactWords.end(), folded);
       at != exactWords.end() && at->starts_with(folded); ++at) {
    const bool whole = at->size() == folded.size();
    if (whole && onlyLonger) continue;
    for (const Hit& hit : tables.Exact.Hits[at - exactWords.begin()])
      note(hit.SymbolNumber, whole ? hit.Kind : AsPrefix(hit.Kind));
  }
  if (onlyLonger) return;
  // The same stem, or (for a stem long enough to mean something) a longer word of the same root: an
  // infinitive meets the noun of its doer or its gerund, which the stemmer leaves whole.
  const std::string stem = stemmers.Stem(language, lower);
  const auto& stemWords = tables.Stems.Words;
  constexpr size_t ShortestRoot = 4;
  for (auto at = std::lower_bound(stemWords.begin(), stemWords.end(), stem);
       at != stemWords.end() && at->starts_with(stem); ++at) {
    const bool same = at->size() == stem.size();
    if (!same && stem.size() < ShortestRoot) break;
    for (const Hit& hit : tables.Stems.Hits[at - stemWords.begin()])
      note(hit.SymbolNumber, same ? hit.Kind : MatchKind::StemPrefix);
  }
}

std::vector<SearchResult> SymbolIndex::Search(std::string_view query, Language language, size_t limit) const {
  std::vector<std::string> words = SplitWords(query);
  if (words.empty() || limit == 0) return {};
  // Stop words are dropped from a query that has other words.
  std::vector<std::string> meaningful;
  for (const std::string& lower : words)
    if (!IsStopWord(language, FoldWord(lower))) meaningful.push_back(lower);
  if (!meaningful.empty()) return Ranked(query, meaningful, language, limit, false);
  // Alone, they are first the beginning of a word being typed ("a" of "aigua", "para" of "parada"),
  // not the little word inside names ("home a la sauna"); the word itself when nothing begins so.
  std::vector<SearchResult> results = Ranked(query, words, language, limit, true);
  return results.empty() ? Ranked(query, words, language, limit, false) : results;
}

std::vector<SearchResult> SymbolIndex::Ranked(std::string_view query, const std::vector<std::string>& words,
                                              Language language, size_t limit, bool onlyLonger) const {
  const LanguageTables& tables = Tables[static_cast<size_t>(language)];

  // Per symbol: how many query words it meets, how rare they are, the weakest and the sum of the best
  // matches.
  struct Score {
    uint16_t Words = 0;
    uint16_t Twice = 0; // words met by the name and by the keywords
    uint8_t Worst = 0;
    uint32_t Sum = 0;
    double Rarity = 0;
  };
  std::vector<Score> scores(All.size());
  std::vector<uint8_t> best(All.size());
  std::vector<uint8_t> sides(All.size());
  std::vector<uint32_t> met;
  Stemmers stemmers;
  for (const std::string& lower : words) {
    Meet(tables, language, lower, stemmers, onlyLonger, best, sides);
    met.clear();
    for (uint32_t number = 0; number < All.size(); ++number)
      if (best[number] != NoMatch) met.push_back(number);
    // A word that meets few symbols says more of what is meant than one that meets many ("lavarse las
    // manos": the soap before every pair of hands).
    const double rarity = met.empty() ? 0 : std::log(static_cast<double>(All.size() + 1) / met.size());
    for (uint32_t number : met) {
      Score& score = scores[number];
      ++score.Words;
      score.Worst = std::max(score.Worst, best[number]);
      score.Sum += best[number];
      if (sides[number] == 3) ++score.Twice;
      score.Rarity += rarity;
    }
  }

  const std::string phrase = FoldedPhrase(query);
  std::vector<uint32_t> found;
  for (uint32_t number = 0; number < All.size(); ++number) {
    if (scores[number].Words == 0) continue;
    if (tables.FoldedNames[number] == phrase)
      scores[number].Worst = static_cast<uint8_t>(MatchKind::WholeName);
    found.push_back(number);
  }
  const auto better = [&](uint32_t a, uint32_t b) {
    const Score& x = scores[a];
    const Score& y = scores[b];
    if (x.Words != y.Words) return x.Words > y.Words;
    if (x.Rarity != y.Rarity) return x.Rarity > y.Rarity;
    if (x.Worst != y.Worst) return x.Worst < y.Worst;
    // Five skin tones of one person come after the other symbols the word meets as well.
    if (Variants[a] != Variants[b]) return !Variants[a];
    if (x.Sum != y.Sum) return x.Sum < y.Sum;
    // Met by keywords ("música"): the musical note, whose name says it too in another form, before
    // the banjo, whose keywords only do. A name that holds the word itself needs no such help.
    if (!IsNameKind(x.Worst) && !IsNameKind(y.Worst) && x.Twice != y.Twice) return x.Twice > y.Twice;
    // Between two stems of the query in names ("niñas": "niña", "niño"), the name closer to what was
    // typed; a name that only its keywords tie to the query says nothing by its first letters.
    if (IsNameKind(x.Worst) && IsNameKind(y.Worst)) {
      const size_t sharedA = SharedPrefix(tables.FoldedNames[a], phrase),
                   sharedB = SharedPrefix(tables.FoldedNames[b], phrase);
      if (sharedA != sharedB) return sharedA > sharedB;
    }
    const size_t lengthA = tables.FoldedNames[a].size(), lengthB = tables.FoldedNames[b].size();
    if (lengthA != lengthB) return lengthA < lengthB;
    return a < b;
  };
  const size_t count = std::min(limit, found.size());
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count), found.end(), better);
  std::vector<SearchResult> results;
  results.reserve(count);
  for (size_t k = 0; k < count; ++k)
    results.push_back({&All[found[k]], static_cast<MatchKind>(scores[found[k]].Worst)});
  return results;
}

} // namespace nq::symbols
