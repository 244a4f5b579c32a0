#include "authoring/BoardText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "boards/PathResolver.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace nq::authoring {
namespace {

namespace fs = std::filesystem;

std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

std::optional<std::string> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The name as a path below the board's folder ("pictures\\gos.png" -> "pictures/gos.png"), or nothing
// when it would leave the folder.
std::optional<fs::path> RelativeBelow(const std::string& nameCp1252) {
  std::string name = nameCp1252;
  for (char& c : name)
    if (c == '\\') c = '/';
  if (name.empty() || name.front() == '/' || (name.size() > 1 && name[1] == ':')) return std::nullopt;
  const fs::path relative = fs::path(Windows1252ToUtf8(name)).lexically_normal();
  for (const fs::path& part : relative)
    if (part == "..") return std::nullopt;
  if (relative.empty() || relative.filename().empty()) return std::nullopt;
  return relative;
}

bool IsSoundFile(const std::string& text) {
  return text.size() >= 4 && UpperAscii(text.substr(text.size() - 4)) == ".WAV";
}

} // namespace

std::vector<std::string> CopyCellFiles(const Board& board, const std::string& oldFolderUtf8,
                                       const std::string& newFolderUtf8) {
  std::vector<std::string> failed;
  std::error_code error;
  if (oldFolderUtf8.empty() || fs::equivalent(oldFolderUtf8, newFolderUtf8, error)) return failed;
  for (int n = 1; n <= board.CellCount(); ++n) {
    const CellPosition at = CellNumberToPosition(n, board.Columns);
    const CellRecord& cell = board.Cell(at.Column, at.Row);
    for (const std::string* name : {&cell.Picture, &cell.Read}) {
      if (name->empty() || (name == &cell.Read && !IsSoundFile(*name))) continue;
      const std::optional<fs::path> relative = RelativeBelow(*name);
      if (!relative || FindBoardPath(newFolderUtf8, *name)) continue;
      const std::optional<std::string> source = FindBoardPath(oldFolderUtf8, *name);
      if (!source) continue; // missing before: the problems list says so
      const fs::path target = fs::path(newFolderUtf8) / *relative;
      fs::create_directories(target.parent_path(), error);
      if (!fs::copy_file(*source, target, fs::copy_options::skip_existing, error) || error) {
        if (std::find(failed.begin(), failed.end(), *name) == failed.end()) failed.push_back(*name);
      }
    }
  }
  return failed;
}

std::optional<std::string> ToBoardText(std::string_view utf8, std::string* refused) {
  std::string result;
  bool ok = true;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    const std::string_view character = utf8.substr(i, length);
    const std::string converted = Utf8ToWindows1252(character);
    // A character survives when it comes back unchanged; '?' from a failed conversion does not.
    const bool fits = converted.size() == 1 && Windows1252ToUtf8(converted) == character &&
                      character != "\r" && character != "\n";
    if (fits) {
      result += converted;
    } else {
      ok = false;
      if (refused && refused->find(character) == std::string::npos) refused->append(character);
    }
    i += length;
  }
  if (!ok) return std::nullopt;
  return result;
}

std::string FileStemFromCaption(std::string_view captionCp1252) {
  const std::string folded = LowerAscii(FoldAccents(captionCp1252));
  std::string stem;
  bool gap = false;
  for (char c : folded) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!keep) {
      gap = !stem.empty();
      continue;
    }
    if (gap) stem += '_';
    gap = false;
    stem += c;
    if (stem.size() >= 40) break;
  }
  return stem.empty() ? "imatge" : stem;
}

std::optional<std::string> ImportPicture(const std::string& boardFolderUtf8, const std::string& sourceUtf8,
                                         std::string_view captionCp1252) {
  const std::optional<std::string> bytes = ReadAll(sourceUtf8);
  if (!bytes) return std::nullopt;
  std::string extension = LowerAscii(fs::path(sourceUtf8).extension().string());
  if (!ToBoardText(extension)) extension = ".png";
  const fs::path folder = fs::path(boardFolderUtf8) / "pictures";
  std::error_code error;
  fs::create_directories(folder, error);
  const std::string stem = FileStemFromCaption(captionCp1252);
  for (int n = 1; n < 10000; ++n) {
    const std::string name = stem + (n == 1 ? std::string() : "_" + std::to_string(n)) + extension;
    const fs::path target = folder / name;
    if (fs::exists(target, error)) {
      if (ReadAll(target) == bytes) return "pictures\\" + name;
      continue;
    }
    const fs::path temporary = folder / ("." + name + ".part");
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out << *bytes;
      if (!out.flush()) {
        fs::remove(temporary, error);
        return std::nullopt;
      }
    }
    fs::rename(temporary, target, error);
    if (error) {
      fs::remove(temporary, error);
      return std::nullopt;
    }
    return "pictures\\" + name;
  }
  return std::nullopt;
}

} // namespace nq::authoring
