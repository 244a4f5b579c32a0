// Searching the symbol library as a board author types: every prefix of a word, over the built-in
// pictograms (when fetched) plus 20,000 pictures of the user's own, and building the index.
#include <benchmark/benchmark.h>

#include <random>
#include <unistd.h>

#include "symbols/SymbolSetup.h"

namespace {

using nq::symbols::Language;
using nq::symbols::Symbol;
using nq::symbols::SymbolIndex;

// Names made of syllables, in folders of a few hundred, like a downloaded pictogram collection.
std::vector<Symbol> UserPictures(size_t count) {
  static const char* Syllables[] = {"ma", "ne", "ri", "so", "tu", "ca", "pe", "lo", "gra", "vi", "da", "ber"};
  std::mt19937 random(7);
  std::vector<Symbol> pictures;
  for (size_t k = 0; k < count; ++k) {
    std::string name;
    const int words = 1 + static_cast<int>(random() % 3);
    for (int w = 0; w < words; ++w) {
      if (w) name += ' ';
      for (int s = 0, n = 2 + static_cast<int>(random() % 2); s < n; ++s)
        name += Syllables[random() % 12];
    }
    Symbol symbol;
    symbol.Source = nq::symbols::SymbolSource::UserFolder;
    symbol.Picture = "/collection/folder" + std::to_string(k / 300) + "/" + name + ".png";
    symbol.Names.fill(name);
    symbol.Keywords.fill("folder" + std::to_string(k / 300));
    pictures.push_back(std::move(symbol));
  }
  return pictures;
}

std::vector<Symbol> AllSymbols() {
  char self[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string folder = length > 0 ? std::string(self, static_cast<size_t>(length)) : ".";
  folder = folder.substr(0, folder.rfind('/'));
  std::vector<Symbol> symbols =
      nq::symbols::ReadBuiltInSymbols(nq::symbols::DefaultLibraryFiles(folder, {}).BuiltIn);
  std::vector<Symbol> own = UserPictures(20000);
  symbols.insert(symbols.end(), own.begin(), own.end());
  return symbols;
}

const SymbolIndex& Index() {
  static const SymbolIndex index(AllSymbols());
  return index;
}

// One keystroke: the search for what has been typed so far, 20 results.
void BM_SearchKeystroke(benchmark::State& state) {
  const SymbolIndex& index = Index();
  const std::string word = state.range(0) == 0 ? "menjar" : "tengo sed";
  size_t typed = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(index.Search(word.substr(0, typed), Language::Ca, 20));
    typed = typed % word.size() + 1;
  }
  state.counters["symbols"] = static_cast<double>(index.Symbols().size());
}
BENCHMARK(BM_SearchKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildIndex(benchmark::State& state) {
  const std::vector<Symbol> symbols = AllSymbols();
  for (auto _ : state) {
    SymbolIndex index(symbols);
    benchmark::DoNotOptimize(index.Symbols().data());
  }
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
