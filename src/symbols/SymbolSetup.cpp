#include "symbols/SymbolSetup.h"

#include <cstdlib>
#include <filesystem>

#include "settings/ProfileFile.h"

namespace nq::symbols {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view Section = "Symbols";
// A generous bound: the list is read until the first missing key, and never further than this.
constexpr int MostFolders = 200;

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool HasPictograms(const std::string& folder) {
  std::error_code error;
  return !folder.empty() && fs::is_regular_file(fs::path(folder) / "data" / "openmoji.json", error);
}

} // namespace

LibraryFiles DefaultLibraryFiles(const std::string& programFolder, std::vector<std::string> userFolders) {
  LibraryFiles files;
  for (const std::string& candidate :
       {Variable("NEXOQUADRIX_PICTOGRAMS_DIR"), programFolder + "/../share/nexoquadrix/openmoji",
        programFolder + "/data/openmoji", std::string(NQ_SOURCE_PICTOGRAMS_DIR)}) {
    if (HasPictograms(candidate)) {
      std::error_code error;
      files.BuiltIn.PictogramFolder = fs::weakly_canonical(candidate, error).string();
      break;
    }
  }
  files.BuiltIn.CldrFolder = DefaultCldrFolder();
  std::string cache = Variable("XDG_CACHE_HOME");
  if (cache.empty() && !Variable("HOME").empty()) cache = Variable("HOME") + "/.cache";
  if (!cache.empty()) files.CacheFile = cache + "/nexoquadrix/symbols.index";
  files.UserFolders = std::move(userFolders);
  return files;
}

std::vector<std::string> ReadSymbolFolders(const ProfileFile& settings) {
  std::vector<std::string> folders;
  for (int k = 1; k <= MostFolders; ++k) {
    const std::optional<std::string> value = settings.ReadValue(Section, "Folder" + std::to_string(k));
    if (!value || value->empty()) break;
    folders.push_back(*value);
  }
  return folders;
}

bool WriteSymbolFolders(ProfileFile& settings, const std::vector<std::string>& folders) {
  bool written = true;
  const size_t count = std::min<size_t>(folders.size(), MostFolders);
  for (size_t k = 0; k < count; ++k)
    written = settings.WriteText(Section, "Folder" + std::to_string(k + 1), folders[k]) && written;
  // An empty value ends the list, so a removed folder leaves no gap behind.
  if (count < MostFolders)
    written = settings.WriteText(Section, "Folder" + std::to_string(count + 1), "") && written;
  return written;
}

} // namespace nq::symbols
