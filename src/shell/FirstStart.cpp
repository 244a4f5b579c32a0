#include "shell/FirstStart.h"

#include <filesystem>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "text/Encoding.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

// One file: kept when the user has it (even as a dangling link), else copied beside and renamed, so
// a start cut short never leaves half a board behind.
bool CopyOneFile(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (fs::symlink_status(to, error).type() != fs::file_type::not_found) return !error;
  fs::create_directories(to.parent_path(), error);
  if (error) return false;
  fs::path partial = to;
  partial += ".part";
  if (!fs::copy_file(from, partial, fs::copy_options::overwrite_existing, error)) return false;
  // The copy belongs to the user, who must be able to write into it whatever the bundled modes are.
  fs::permissions(partial, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
  if (!error) fs::rename(partial, to, error);
  if (error) fs::remove(partial, error);
  return !error && fs::exists(to, error);
}

bool CopyTree(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (!fs::is_directory(from, error)) return false;
  bool ok = true;
  for (fs::recursive_directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (!it->is_regular_file(kind)) continue;
    ok = CopyOneFile(it->path(), to / it->path().lexically_relative(from)) && ok;
  }
  return ok && !error;
}

} // namespace

std::string DemoHomeBoard(std::string_view locale) {
  if (locale.starts_with("es")) return "boards/es/inicio.qdx";
  return "boards/ca/inici.qdx";
}

bool CopyDemoBoards(const std::string& dataFolder, const std::string& userFolder) {
  const fs::path data(dataFolder);
  const fs::path user(userFolder);
  const bool boards = CopyTree(data / "boards", user / "boards");
  // The boards name their pictures as ..\..\pictures, so the pictures travel with them.
  const bool pictures = CopyTree(data / "pictures", user / "pictures");
  return boards && pictures;
}

std::optional<std::string> OfferDemoBoards(SettingsStore& settings, const FirstStartFacts& facts) {
  if (facts.BoardOnCommandLine || facts.UserFolder.empty() || facts.DataFolder.empty()) return std::nullopt;
  if (!settings.ReadSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, "").empty()) return std::nullopt;
  CopyDemoBoards(facts.DataFolder, facts.UserFolder);
  std::string home = facts.UserFolder;
  if (home.back() != '/') home += '/';
  home += DemoHomeBoard(facts.Locale);
  std::error_code error;
  if (!fs::is_regular_file(home, error)) return std::nullopt;
  // Settings hold Windows-1252; a home folder whose name it cannot spell would name a missing board.
  const std::string stored = Utf8ToWindows1252(home);
  if (Windows1252ToUtf8(stored) != home) return std::nullopt;
  if (!settings.WriteSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, stored)) return std::nullopt;
  return home;
}

} // namespace nq
