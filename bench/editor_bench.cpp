// The board editor on a 21 x 21 board of 441 pictures (500 x 500 PNG): opening and showing it with a
// warm picture cache (the disk cache a run before filled, and the memory of an editor that showed it
// already), one edit shown again, and a save. The real Qt painter, scaler and text metrics run on
// the offscreen platform. Targets: open and show under 300 ms, an edit under 16 ms, a save under 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "authoring/BoardDocument.h"
#include "boards/PictureDiskCache.h"
#include "editor/BoardCanvas.h"
#include "support/PictureTestFiles.h"

namespace nq {
namespace {

constexpr int Side = 21;

QApplication& Application() {
  static int argc = 1;
  static char name[] = "bench_editor";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication application(argc, argv);
  return application;
}

std::string Folder() {
  if (const char* chosen = std::getenv("NQ_BENCH_DIR"); chosen != nullptr && *chosen != '\0')
    return std::string(chosen) + "/editor";
  return (std::filesystem::temp_directory_path() / "nq-editor-bench-v1").string();
}

// The board file, written once with its pictures; a copy is edited and saved by the benchmarks.
const std::string& BoardPath() {
  static const std::string path = [] {
    const std::string folder = Folder();
    const std::string board = folder + "/taulell.qdx";
    if (std::filesystem::exists(folder + "/complete")) return board;
    std::filesystem::create_directories(folder + "/pictures");
    std::vector<std::vector<uint8_t>> variants;
    for (int v = 0; v < 8; ++v)
      variants.push_back(test::EncodePng(test::PatternImage(500, 500, v), true));
    std::ofstream out(board, std::ios::binary | std::ios::trunc);
    out << "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Position]\r\nLeft=0\r\nTop=0\r\nWidth=1600\r\n"
           "Height=1000\r\n[Grid]\r\nColumns=21\r\nRows=21\r\n[Menu Options 2]\r\nShow Button Bar=1\r\n"
           "Show Message Bar=1\r\n";
    for (int k = 1; k <= Side * Side; ++k) {
      const std::string name = "pictures/p" + std::to_string(k) + ".png";
      test::WriteBytes(folder + "/" + name, variants[static_cast<std::size_t>(k) % variants.size()]);
      out << "[Cell " << k << "]\r\nCaption=casella " << k << "\r\nPicture=pictures\\p" << k << ".png\r\n";
    }
    out.close();
    std::ofstream(folder + "/complete") << "ok\n";
    return board;
  }();
  return path;
}

PictureDiskCache& Disk() {
  static PictureDiskCache disk(Folder() + "/cache");
  return disk;
}

authoring::BoardDocument Open() {
  std::string refusal;
  return *authoring::BoardDocument::Open(BoardPath(), refusal);
}

// A new editor window's canvas each time, its pictures from the disk cache of an earlier run.
void BM_OpenAndShowWarmDisk(benchmark::State& state) {
  Application();
  { // fill the disk cache once
    BoardCanvas canvas(&Disk());
    const authoring::BoardDocument document = Open();
    canvas.ShowBoard(document.Model(), document.Folder());
  }
  for (auto _ : state) {
    BoardCanvas canvas(&Disk());
    const authoring::BoardDocument document = Open();
    canvas.ShowBoard(document.Model(), document.Folder());
    benchmark::DoNotOptimize(canvas.Render());
  }
}
BENCHMARK(BM_OpenAndShowWarmDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

// The board opened again in the same editor: the pictures are in memory.
void BM_OpenAndShowWarmMemory(benchmark::State& state) {
  Application();
  BoardCanvas canvas(&Disk());
  for (auto _ : state) {
    const authoring::BoardDocument document = Open();
    canvas.ShowBoard(document.Model(), document.Folder());
    benchmark::DoNotOptimize(canvas.Render());
  }
}
BENCHMARK(BM_OpenAndShowWarmMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// One caption changed: the change recorded, the cell placed again and the window repainted where it
// changed, on a canvas as large as the board's client area.
void BM_SingleEditRepaint(benchmark::State& state) {
  Application();
  BoardCanvas canvas(&Disk());
  canvas.resize(1600, 1000);
  canvas.show();
  authoring::BoardDocument document = Open();
  canvas.ShowBoard(document.Model(), document.Folder());
  canvas.repaint();
  int n = 0;
  for (auto _ : state) {
    document.Change("caption", [&](Board& b) { b.Cell(11, 11).Caption = "edit " + std::to_string(++n); });
    canvas.repaint(canvas.ShowBoard(document.Model(), document.Folder()));
  }
}
BENCHMARK(BM_SingleEditRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// A save after one edit: the minimal bytes made and the file replaced atomically.
void BM_Save(benchmark::State& state) {
  const std::string copy = Folder() + "/copy.qdx";
  std::filesystem::copy_file(BoardPath(), copy, std::filesystem::copy_options::overwrite_existing);
  std::string refusal;
  authoring::BoardDocument document = *authoring::BoardDocument::Open(copy, refusal);
  int n = 0;
  for (auto _ : state) {
    document.Change("caption", [&](Board& b) { b.Cell(3, 4).Caption = "desat " + std::to_string(++n); });
    if (document.Save() != authoring::SaveStatus::Saved) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace nq
