// Opening a full 21 x 21 board of pictures: 441 PNGs of 500 x 500 capped to 100 px on one and two
// threads, 441 camera-sized JPEGs with the DCT shortcut, and re-opening the same board from the cache.
// The files are written once into a temporary folder on first use.
#include <benchmark/benchmark.h>

#include <memory>

#include "boards/PictureCache.h"
#include "boards/PictureLoader.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

constexpr int BoardPictures = 441;
constexpr int CellCap = 100;

struct BenchFiles {
  test::TempFolder Folder;
  std::vector<PictureRequest> Pngs;
  std::vector<PictureRequest> Jpegs;
};

// A few distinct pictures written under 441 names each, so every load still reads and decodes a file.
const BenchFiles& Files() {
  static const std::unique_ptr<BenchFiles> files = [] {
    auto made = std::make_unique<BenchFiles>();
    constexpr int Variants = 8;
    std::vector<std::vector<uint8_t>> pngs, jpegs;
    for (int v = 0; v < Variants; ++v) {
      pngs.push_back(test::EncodePng(test::PatternImage(500, 500, v)));
      jpegs.push_back(test::EncodeJpeg(test::PatternImage(1600, 1200, v), {85, false, false}));
    }
    for (int i = 0; i < BoardPictures; ++i) {
      const std::string png = "p" + std::to_string(i) + ".png", jpeg = "j" + std::to_string(i) + ".jpg";
      test::WriteBytes(made->Folder.Path(png), pngs[i % Variants]);
      test::WriteBytes(made->Folder.Path(jpeg), jpegs[i % Variants]);
      made->Pngs.push_back({made->Folder.Path(png), png});
      made->Jpegs.push_back({made->Folder.Path(jpeg), jpeg});
    }
    return made;
  }();
  return *files;
}

void CountLoaded(benchmark::State& state, const std::vector<std::optional<LoadedPicture>>& pictures) {
  int loaded = 0;
  for (const auto& picture : pictures)
    loaded += picture.has_value();
  if (loaded != BoardPictures) state.SkipWithError("a picture did not load");
}

void BM_Png441Capped(benchmark::State& state) {
  const auto& requests = Files().Pngs;
  for (auto _ : state) {
    const auto pictures = LoadPictureFiles(requests, {CellCap, nullptr}, static_cast<int>(state.range(0)));
    CountLoaded(state, pictures);
  }
}
BENCHMARK(BM_Png441Capped)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Jpeg441Dct(benchmark::State& state) {
  const auto& requests = Files().Jpegs;
  for (auto _ : state) {
    const auto pictures = LoadPictureFiles(requests, {CellCap, nullptr}, static_cast<int>(state.range(0)));
    CountLoaded(state, pictures);
  }
}
BENCHMARK(BM_Jpeg441Dct)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Png441CacheHit(benchmark::State& state) {
  PictureCache cache;
  const auto& requests = Files().Pngs;
  cache.LoadAll(requests, {CellCap, nullptr});
  for (auto _ : state) {
    const std::vector<PictureRef> pictures = cache.LoadAll(requests, {CellCap, nullptr});
    benchmark::DoNotOptimize(pictures.data());
  }
  if (cache.Counters().PictureLoads != static_cast<std::size_t>(BoardPictures))
    state.SkipWithError("cache missed");
}
BENCHMARK(BM_Png441CacheHit)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace nq
