#include "settings/ConfigLocation.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "settings/AtomicFile.h"
#include "settings/SettingsKeys.h"

namespace nq {

namespace {

std::string StripTrailingSlashes(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == '/')
    folder.remove_suffix(1);
  return std::string(folder);
}

std::string Join(std::string_view folder, std::string_view name) {
  std::string path = StripTrailingSlashes(folder);
  if (path.empty()) return std::string(name);
  if (path.back() != '/') path.push_back('/');
  path.append(name);
  return path;
}

std::optional<std::string> NonEmpty(const ConfigEnvironment& environment, std::string_view name) {
  if (!environment.Variable) return std::nullopt;
  std::optional<std::string> value = environment.Variable(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

// The per-user configuration folder; nothing when neither variable gives an absolute path.
std::optional<std::string> UserConfigFolder(const ConfigEnvironment& environment) {
  const std::optional<std::string> configHome = NonEmpty(environment, "XDG_CONFIG_HOME");
  // Relative values are invalid by the base-directory convention and are ignored.
  if (configHome && configHome->front() == '/') return Join(*configHome, "nexoquadrix");
  const std::optional<std::string> home = NonEmpty(environment, "HOME");
  if (home && home->front() == '/') return Join(Join(*home, ".config"), "nexoquadrix");
  return std::nullopt;
}

// The per-user data folder, by the same rules as the configuration folder.
std::optional<std::string> UserDataFolder(const ConfigEnvironment& environment) {
  const std::optional<std::string> dataHome = NonEmpty(environment, "XDG_DATA_HOME");
  if (dataHome && dataHome->front() == '/') return Join(*dataHome, "nexoquadrix");
  const std::optional<std::string> home = NonEmpty(environment, "HOME");
  if (home && home->front() == '/') return Join(Join(*home, ".local/share"), "nexoquadrix");
  return std::nullopt;
}

} // namespace

bool IsInstalledLayout(std::string_view executableFolder, std::string_view dataFolder) {
  if (executableFolder.empty() || dataFolder.empty()) return false;
  const std::filesystem::path expected =
      (std::filesystem::path(StripTrailingSlashes(executableFolder)) / ".." / "share" / "nexoquadrix")
          .lexically_normal();
  const std::filesystem::path actual =
      std::filesystem::path(StripTrailingSlashes(dataFolder)).lexically_normal();
  return expected == actual;
}

ConfigLocation LocateConfigFiles(std::string_view executableFolder, std::string_view dataFolder,
                                 const ConfigEnvironment& environment) {
  ConfigLocation location;
  const std::string programFolder = StripTrailingSlashes(executableFolder);
  if (const std::optional<std::string> forced = NonEmpty(environment, ConfigFolderVariable)) {
    location.SettingsFolder = StripTrailingSlashes(*forced);
    location.SettingsFile = Join(location.SettingsFolder, SettingsFileName);
    location.SharedFile = Join(location.SettingsFolder, SharedFileName);
    location.CreateSettingsFolder = true;
    return location;
  }

  const bool portable = !IsInstalledLayout(programFolder, dataFolder) && environment.FolderWritable &&
                        environment.FolderWritable(programFolder);
  const std::optional<std::string> userFolder = portable ? std::nullopt : UserConfigFolder(environment);
  if (userFolder) location.UserDataFolder = UserDataFolder(environment).value_or(std::string());
  // Without a usable home the settings stay beside the program; writes there then fail quietly.
  location.SettingsFolder = userFolder ? *userFolder : programFolder;
  location.CreateSettingsFolder = userFolder.has_value();
  location.SettingsFile = Join(location.SettingsFolder, SettingsFileName);

  const std::string candidates[] = {Join(location.SettingsFolder, SharedFileName),
                                    Join(programFolder, SharedFileName),
                                    dataFolder.empty() ? std::string() : Join(dataFolder, SharedFileName)};
  location.SharedFile = candidates[0];
  for (const std::string& candidate : candidates) {
    if (!candidate.empty() && environment.FileExists && environment.FileExists(candidate)) {
      location.SharedFile = candidate;
      break;
    }
  }
  return location;
}

ConfigEnvironment SystemConfigEnvironment() {
  ConfigEnvironment environment;
  environment.Variable = [](std::string_view name) -> std::optional<std::string> {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
  environment.FolderWritable = [](const std::string& folder) { return IsWritableFolder(folder); };
  environment.FileExists = [](const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  };
  return environment;
}

bool CreateFolderPath(const std::string& folder) {
  const std::string path = StripTrailingSlashes(folder);
  if (path.empty()) return false;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !CreateFolderPath(path.substr(0, slash))) return false;
  // The configuration folder holds only this user's settings.
  return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace nq
