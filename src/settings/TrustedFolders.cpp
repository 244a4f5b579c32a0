#include "settings/TrustedFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"

namespace nq {
namespace {

std::string EntryKey(int number) {
  return "Folder" + std::to_string(number);
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

} // namespace

std::string CanonicalFolder(const std::string& utf8Folder) {
  if (utf8Folder.empty() || utf8Folder.find('\0') != std::string::npos) return {};
  char* real = ::realpath(utf8Folder.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string result(real);
  std::free(real);
  struct stat info {};
  if (::stat(result.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return {};
  return result;
}

bool FolderWithin(std::string_view folder, std::string_view trusted) {
  if (folder.empty() || trusted.empty()) return false;
  if (folder == trusted || trusted == "/") return true;
  return folder.size() > trusted.size() && folder.starts_with(trusted) && folder[trusted.size()] == '/';
}

std::vector<std::string> ReadTrustedFolders(const SettingsStore& settings) {
  std::vector<std::string> folders;
  for (int number = 1; number <= MaxTrustedFolders; ++number) {
    std::string folder =
        WithoutTrailingSlash(settings.ReadSettingText(SectionTrustedFolders, EntryKey(number), ""));
    // Only full paths count: a hand-edited relative entry would mean wherever the player runs.
    if (folder.starts_with('/')) folders.push_back(std::move(folder));
  }
  return folders;
}

bool TooBroadToTrust(std::string_view canonicalFolder) {
  if (canonicalFolder.empty() || canonicalFolder == "/") return true;
  std::vector<std::string> homes;
  if (const char* home = std::getenv("HOME"); home != nullptr) homes.push_back(CanonicalFolder(home));
  if (const passwd* account = ::getpwuid(::geteuid()); account != nullptr && account->pw_dir != nullptr)
    homes.push_back(CanonicalFolder(account->pw_dir));
  for (const std::string& home : homes)
    if (FolderWithin(home, canonicalFolder)) return true;
  return false;
}

TrustChange AddTrustedFolder(SettingsStore& settings, const std::string& utf8Folder) {
  const std::string folder = CanonicalFolder(utf8Folder);
  if (folder.empty()) return TrustChange::NotAFolder;
  if (TooBroadToTrust(folder)) return TrustChange::TooBroad;
  // A longer value would be read back cut, naming another folder.
  // (The writer may add a pair of quotes so blanks at either end survive.)
  if (folder.size() + 2 > MaxProfileText) return TrustChange::TooLong;
  int freePlace = 0;
  for (int number = 1; number <= MaxTrustedFolders; ++number) {
    const std::string stored = settings.ReadSettingText(SectionTrustedFolders, EntryKey(number), "");
    if (stored == folder) return TrustChange::Unchanged;
    if (stored.empty() && freePlace == 0) freePlace = number;
  }
  if (freePlace == 0) return TrustChange::NotWritten;
  return settings.WriteSettingText(SectionTrustedFolders, EntryKey(freePlace), folder)
             ? TrustChange::Done
             : TrustChange::NotWritten;
}

TrustChange RemoveTrustedFolder(SettingsStore& settings, const std::string& utf8Folder) {
  const std::string canonical = CanonicalFolder(utf8Folder);
  const std::string literal = WithoutTrailingSlash(utf8Folder);
  TrustChange result = TrustChange::Unchanged;
  for (int number = 1; number <= MaxTrustedFolders; ++number) {
    const std::string stored = settings.ReadSettingText(SectionTrustedFolders, EntryKey(number), "");
    if (stored.empty() || (stored != canonical && stored != literal)) continue;
    if (!settings.WriteSettingText(SectionTrustedFolders, EntryKey(number), ""))
      return TrustChange::NotWritten;
    result = TrustChange::Done;
  }
  return result;
}

bool IsTrustedByUser(const SettingsStore& settings, std::string_view canonicalFolder) {
  for (const std::string& trusted : ReadTrustedFolders(settings))
    if (!TooBroadToTrust(trusted) && FolderWithin(canonicalFolder, trusted)) return true;
  return false;
}

} // namespace nq
