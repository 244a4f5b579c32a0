// Reading a full 21 x 21 board: one parse plus indexed lookups, against re-reading and re-scanning
// the file for every lookup (what a reader without an index does).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ProfileFile.h"

namespace {

constexpr int Cells = 441;

// The keys a board read looks up in each cell section.
constexpr const char* CellKeys[] = {
    "Picture",          "Caption",      "Read",          "Special Function", "Link",
    "Frame cell color", "Font Charset", "Font Color",    "Font Height",      "Font Name",
    "Font Size",        "Font fsBold",  "Font fsItalic", "Font fsUnderline", "Font fsStrikeOut"};

std::string MakeBoard() {
  std::string text =
      "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n\r\n"
      "[Position]\r\nLeft=305\r\nTop=117\r\nWidth=632\r\nHeight=452\r\n\r\n"
      "[Grid]\r\nColumns=21\r\nRows=21\r\nFrame Color=0\r\n\r\n"
      "[Grid Font]\r\nCharset=0\r\nColor=0\r\nHeight=-13\r\nName=Arial\r\nSize=10\r\n\r\n"
      "[Menu Options 2]\r\nCenter Captions=1\r\nShow Button Bar=1\r\nShow Message Bar=1\r\n\r\n";
  for (int n = 1; n <= Cells; ++n) {
    const std::string number = std::to_string(n);
    text += "[Cell " + number + "]\r\n";
    text += "Picture=imatges\\pictograma" + number + ".png\r\n";
    text += "Caption=Paraula " + number + "\r\n";
    text += "Read=Vull dir la paraula n\xFAmero " + number + "\r\n";
    text += "Special Function=\r\n";
    text += "Frame cell color=16777215\r\n";
    text += "Font Charset=0\r\nFont Color=0\r\nFont Height=-16\r\nFont Name=Arial\r\nFont Size=12\r\n";
    text += "Font fsBold=1\r\nFont fsItalic=0\r\nFont fsUnderline=0\r\n\r\n";
  }
  return text;
}

class BoardFile {
public:
  BoardFile() {
    char pattern[] = "/tmp/nq-bench-XXXXXX";
    Folder = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
    Path = Folder + "/board.qdx";
    std::ofstream(Path, std::ios::binary) << MakeBoard();
  }
  ~BoardFile() {
    std::remove(Path.c_str());
    rmdir(Folder.c_str());
  }
  std::string Folder;
  std::string Path;
};

const BoardFile& Board() {
  static const BoardFile board; // one file for every benchmark of this program
  return board;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// The naive reader: open, read and scan the whole file for each single lookup.
std::optional<std::string> NaiveLookup(const std::string& path, std::string_view section,
                                       std::string_view key) {
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  bool inSection = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trimmed(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line.front() == '[') {
      if (inSection) return std::nullopt;
      const std::size_t close = line.find(']');
      inSection =
          close != std::string_view::npos && SameIgnoringCase(Trimmed(line.substr(1, close - 1)), section);
    } else if (inSection) {
      const std::size_t equals = line.find('=');
      if (equals != std::string_view::npos && SameIgnoringCase(Trimmed(line.substr(0, equals)), key))
        return std::string(Trimmed(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

void BM_BoardReadIndexed(benchmark::State& state) {
  const std::string& path = Board().Path;
  for (auto _ : state) {
    nq::ProfileFile file(path);
    file.Refresh();
    int64_t total = file.ReadInteger("Grid", "Columns", 1);
    for (int n = 1; n <= Cells; ++n) {
      const std::string section = "Cell " + std::to_string(n);
      for (const char* key : CellKeys)
        total += static_cast<int64_t>(file.ReadText(section, key, "").size());
    }
    benchmark::DoNotOptimize(total);
  }
  state.counters["lookups"] = Cells * static_cast<double>(std::size(CellKeys));
}
BENCHMARK(BM_BoardReadIndexed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_BoardReadNaive(benchmark::State& state) {
  const std::string& path = Board().Path;
  for (auto _ : state) {
    int64_t total = 0;
    for (int n = 1; n <= Cells; ++n) {
      const std::string section = "Cell " + std::to_string(n);
      for (const char* key : CellKeys) {
        const std::optional<std::string> value = NaiveLookup(path, section, key);
        total += value ? static_cast<int64_t>(value->size()) : 0;
      }
    }
    benchmark::DoNotOptimize(total);
  }
  state.counters["lookups"] = Cells * static_cast<double>(std::size(CellKeys));
}
BENCHMARK(BM_BoardReadNaive)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
