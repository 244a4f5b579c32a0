// symbols QUERY [--lang ca|es|en] [--limit N] [--draw OUT.png]; symbols --folders | --add-folder DIR |
// --remove-folder DIR: searches the symbol library, draws a result, and keeps the user's folders.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "settings/ConfigLocation.h"
#include "settings/ProfileFile.h"
#include "symbols/SymbolSetup.h"
#include "tool/ToolCommands.h"
#include "tool/ToolPictures.h"
#include "tool/ToolSupport.h"

namespace nq::tool {
namespace {

constexpr int DrawnSide = 512;

// The program settings file the player and the editor read.
std::string SettingsFile() {
  const std::string programFolder = ProgramFolder();
  std::string dataFolder;
  for (const std::string& candidate : {programFolder + "/../share/nexoquadrix", programFolder + "/data"}) {
    std::error_code error;
    if (std::filesystem::exists(candidate + "/Nexo_quadrix_menu.qdx", error)) {
      dataFolder = std::filesystem::weakly_canonical(candidate, error).string();
      break;
    }
  }
  return LocateConfigFiles(programFolder, dataFolder, SystemConfigEnvironment()).SettingsFile;
}

symbols::Language DefaultLanguage() {
  const char* locale = std::getenv("LANG");
  symbols::Language language = symbols::Language::Ca;
  if (locale && std::strlen(locale) >= 2) symbols::ParseLanguage(std::string_view(locale, 2), language);
  return language;
}

int ChangeFolders(const std::string& option, const std::string& folder) {
  const std::string path = SettingsFile();
  CreateFolderPath(std::filesystem::path(path).parent_path().string());
  ProfileFile settings(path);
  std::vector<std::string> folders = symbols::ReadSymbolFolders(settings);
  if (option == "--folders") {
    for (const std::string& known : folders)
      std::printf("%s\n", known.c_str());
    return 0;
  }
  std::error_code error;
  const std::string canonical = std::filesystem::weakly_canonical(folder, error).string();
  folders.erase(std::remove(folders.begin(), folders.end(), canonical), folders.end());
  if (option == "--add-folder") {
    if (!std::filesystem::is_directory(canonical, error)) {
      std::fprintf(stderr, "nexoquadrix-tool: not a folder: %s\n", folder.c_str());
      return 1;
    }
    folders.push_back(canonical);
  }
  if (!symbols::WriteSymbolFolders(settings, folders)) {
    std::fprintf(stderr, "nexoquadrix-tool: could not write %s\n", path.c_str());
    return 1;
  }
  return 0;
}

} // namespace

int RunSymbols(const Arguments& args) {
  std::string query;
  std::string drawTo;
  symbols::Language language = DefaultLanguage();
  size_t limit = 20;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--folders") return ChangeFolders(arg, "");
    if ((arg == "--add-folder" || arg == "--remove-folder") && hasValue)
      return ChangeFolders(arg, args[i + 1]);
    if (arg == "--lang" && hasValue) {
      if (!symbols::ParseLanguage(args[++i], language)) return Usage("--lang takes ca, es or en");
    } else if (arg == "--limit" && hasValue) {
      limit = static_cast<size_t>(std::max(1, std::atoi(args[++i].c_str())));
    } else if (arg == "--draw" && hasValue) {
      drawTo = args[++i];
    } else if (arg.rfind("--", 0) == 0) {
      return Usage("symbols: unknown option " + arg);
    } else {
      query += (query.empty() ? "" : " ") + arg;
    }
  }
  if (query.empty()) return Usage("symbols QUERY [--lang ca|es|en] [--limit N] [--draw OUT.png]");

  ProfileFile settings(SettingsFile());
  symbols::SymbolLibrary library(
      symbols::DefaultLibraryFiles(ProgramFolder(), symbols::ReadSymbolFolders(settings)));
  const std::shared_ptr<const symbols::SymbolIndex> index = library.Wait();
  const std::vector<symbols::SearchResult> results = index->Search(query, language, limit);
  for (const symbols::SearchResult& result : results) {
    const symbols::Symbol& symbol = *result.Item;
    const std::string& shown =
        symbol.Source == symbols::SymbolSource::UserFolder ? symbol.Picture : symbol.Text;
    std::printf("%s\t%s\n", shown.c_str(), symbol.Name(language).c_str());
  }
  if (results.empty()) {
    std::fprintf(stderr, "nexoquadrix-tool: no symbol for \"%s\"\n", query.c_str());
    return 1;
  }
  if (!drawTo.empty()) {
    const std::optional<std::string> png = DrawSymbolPng(*results.front().Item, DrawnSide);
    std::ofstream out(drawTo, std::ios::binary | std::ios::trunc);
    if (!png || !(out << *png) || !out.flush()) {
      std::fprintf(stderr, "nexoquadrix-tool: could not draw the symbol into %s\n", drawTo.c_str());
      return 1;
    }
  }
  return 0;
}

} // namespace nq::tool
