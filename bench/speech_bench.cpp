// Cost of the exceptions dictionary on the way to every spoken text: a full table applied to a
// message-bar sentence, and the parse of a full dictionary file.
#include <benchmark/benchmark.h>

#include <string>

#include "speech/ExceptionsDictionary.h"

namespace {

std::string FullDictionary() {
  std::string text;
  for (int i = 0; i < 1000; ++i)
    text += "paraula" + std::to_string(i) + " substitut" + std::to_string(i) + "\r\n";
  return text;
}

void BM_ParseFullDictionary(benchmark::State& state) {
  const std::string text = FullDictionary();
  for (auto _ : state)
    benchmark::DoNotOptimize(nq::ParseDictionaryText(text));
}
BENCHMARK(BM_ParseFullDictionary);

void BM_ApplyFullTableToSentence(benchmark::State& state) {
  const auto entries = nq::ParseDictionaryText(FullDictionary());
  const std::string sentence =
      "vull anar al pati amb la paraula7 i la paraula999, sr. Pi; paraula500 ara mateix";
  for (auto _ : state) {
    std::string text = sentence;
    for (const nq::DictionaryEntry& entry : entries)
      nq::ReplaceWholeWord(text, entry.Word, entry.Replacement);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_ApplyFullTableToSentence);

} // namespace
