#include "boards/PathResolver.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "text/Encoding.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

enum class NameBase { Folder, Root, WindowsFull };

struct ParsedName {
  NameBase Base = NameBase::Folder;
  std::vector<std::string> Components; // Windows-1252, without "." and empty components
};

struct WalkResult {
  std::string Path;
  bool Found = false;
};

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

ParsedName ParseName(std::string_view name) {
  // The file system ends a name at its first NUL byte, so nothing after it can name a file.
  name = name.substr(0, name.find('\0'));
  ParsedName parsed;
  if (name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == ':') {
    parsed.Base = NameBase::WindowsFull;
    name.remove_prefix(2);
  } else if (!name.empty() && name[0] == '\\') {
    parsed.Base = NameBase::WindowsFull;
  } else if (!name.empty() && name[0] == '/') {
    parsed.Base = NameBase::Root;
  }
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view component = name.substr(start, end - start);
    if (!component.empty() && component != ".") parsed.Components.emplace_back(component);
    start = end + 1;
  }
  return parsed;
}

std::string Join(const std::string& base, const std::string& component) {
  if (base.empty()) return component;
  if (base.back() == '/') return base + component;
  return base + "/" + component;
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::path(path), error);
}

// A directory entry's name as Windows-1252 text: UTF-8 names are converted, names that are not
// UTF-8 (copied from old archives) are taken as Windows-1252 bytes already.
std::string EntryNameAsCp1252(const std::string& entry) {
  std::string converted = Utf8ToWindows1252(entry);
  if (Windows1252ToUtf8(converted) == entry) return converted;
  return entry;
}

// The entry of the folder equal to the component without regard to case; the smallest name when
// several differ only in case, so the choice does not depend on the directory's order.
std::optional<std::string> MatchIgnoringCase(const std::string& folder, const std::string& component) {
  const std::string wanted = FoldNameCase(component);
  std::optional<std::string> best;
  std::error_code error;
  fs::directory_iterator it(fs::path(folder.empty() ? "." : folder), error);
  for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
    std::string entry = it->path().filename().string();
    if ((!best || entry < *best) && FoldNameCase(EntryNameAsCp1252(entry)) == wanted) best = std::move(entry);
  }
  return best;
}

// Follows components[first..] from base; once a component is missing the rest is appended as written.
WalkResult Walk(const std::string& base, const std::vector<std::string>& components, std::size_t first) {
  WalkResult result{base, true};
  for (std::size_t i = first; i < components.size(); ++i) {
    const std::string& component = components[i];
    std::string candidate = Join(result.Path, Windows1252ToUtf8(component));
    if (result.Found && !Exists(candidate)) {
      std::optional<std::string> match;
      if (component != "..") match = MatchIgnoringCase(result.Path, component);
      if (match) {
        candidate = Join(result.Path, *match);
      } else {
        result.Found = false;
      }
    }
    result.Path = std::move(candidate);
  }
  return result;
}

WalkResult Resolve(const std::string& folderUtf8, const std::string& nameCp1252) {
  const ParsedName parsed = ParseName(nameCp1252);
  if (parsed.Components.empty()) return {folderUtf8, false};
  if (parsed.Base == NameBase::Root) return Walk("/", parsed.Components, 0);
  if (parsed.Base == NameBase::Folder) return Walk(folderUtf8, parsed.Components, 0);
  for (std::size_t first = 0; first < parsed.Components.size(); ++first) {
    WalkResult result = Walk(folderUtf8, parsed.Components, first);
    if (result.Found) return result;
  }
  return Walk(folderUtf8, parsed.Components, 0);
}

} // namespace

std::optional<std::string> FindBoardPath(const std::string& folderUtf8, const std::string& nameCp1252) {
  WalkResult result = Resolve(folderUtf8, nameCp1252);
  if (!result.Found) return std::nullopt;
  return std::move(result.Path);
}

std::string ResolveBoardPath(const std::string& folderUtf8, const std::string& nameCp1252) {
  return Resolve(folderUtf8, nameCp1252).Path;
}

std::string FoldNameCase(std::string_view cp1252) {
  std::string folded(cp1252);
  for (char& c : folded) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
      c = static_cast<char>(byte + 0x20);
    } else if (byte == 0x8A || byte == 0x8C || byte == 0x8E) { // S, OE and Z with caron or ligature
      c = static_cast<char>(byte + 0x10);
    } else if (byte == 0x9F) { // Y with diaeresis
      c = static_cast<char>(0xFF);
    }
  }
  return folded;
}

} // namespace nq
