#include "symbols/SymbolIndex.h"

#include <algorithm>
#include <limits>

namespace nq::symbols {
namespace {

constexpr uint8_t NoMatch = std::numeric_limits<uint8_t>::max();

MatchKind AsPrefix(MatchKind kind) {
  return kind == MatchKind::NameWord ? MatchKind::NamePrefix : MatchKind::KeywordPrefix;
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
    const auto add = [&](std::string_view text, MatchKind word, MatchKind stem) {
      for (const std::string& lower : SplitWords(text)) {
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

std::vector<SearchResult> SymbolIndex::Search(std::string_view query, Language language, size_t limit) const {
  const LanguageTables& tables = Tables[static_cast<size_t>(language)];
  std::vector<std::string> words;
  for (const std::string& lower : SplitWords(query))
    if (!IsStopWord(FoldWord(lower))) words.push_back(lower);
  if (words.empty() || limit == 0) return {};

  // Per symbol: how many query words it meets, the weakest and the sum of the best matches.
  struct Score {
    uint16_t Words = 0;
    uint8_t Worst = 0;
    uint32_t Sum = 0;
  };
  std::vector<Score> scores(All.size());
  std::vector<uint8_t> best(All.size());
  Stemmers stemmers;
  for (const std::string& lower : words) {
    std::fill(best.begin(), best.end(), NoMatch);
    const auto note = [&](uint32_t number, MatchKind kind) {
      best[number] = std::min(best[number], static_cast<uint8_t>(kind));
    };
    const std::string folded = FoldWord(lower);
    const auto& exactWords = tables.Exact.Words;
    auto at = std::lower_bound(exactWords.begin(), exactWords.end(), folded);
    for (; at != exactWords.end() && at->starts_with(folded); ++at) {
      const bool whole = at->size() == folded.size();
      for (const Hit& hit : tables.Exact.Hits[at - exactWords.begin()])
        note(hit.SymbolNumber, whole ? hit.Kind : AsPrefix(hit.Kind));
    }
    const std::string stem = stemmers.Stem(language, lower);
    const auto& stemWords = tables.Stems.Words;
    const auto range = std::equal_range(stemWords.begin(), stemWords.end(), stem);
    for (auto it = range.first; it != range.second; ++it)
      for (const Hit& hit : tables.Stems.Hits[it - stemWords.begin()])
        note(hit.SymbolNumber, hit.Kind);
    for (size_t number = 0; number < All.size(); ++number) {
      if (best[number] == NoMatch) continue;
      Score& score = scores[number];
      ++score.Words;
      score.Worst = std::max(score.Worst, best[number]);
      score.Sum += best[number];
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
    if (x.Worst != y.Worst) return x.Worst < y.Worst;
    if (x.Sum != y.Sum) return x.Sum < y.Sum;
    // Between two stems of the query ("niñas": "niña", "niño"), the name closer to what was typed.
    const size_t sharedA = SharedPrefix(tables.FoldedNames[a], phrase),
                 sharedB = SharedPrefix(tables.FoldedNames[b], phrase);
    if (sharedA != sharedB) return sharedA > sharedB;
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
