#pragma once
// Where the program settings file and Quadrix.ini live. A portable install keeps both beside the
// executable; an installed program that may not write there keeps its settings in the user's
// configuration folder. The choice is a pure function of its inputs so every case is testable.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nq {

/// The outside facts the choice depends on, injected so tests can describe any machine.
struct ConfigEnvironment {
  std::function<std::optional<std::string>(std::string_view name)> Variable; // getenv
  std::function<bool(const std::string& folder)> FolderWritable;
  std::function<bool(const std::string& path)> FileExists;
};

struct ConfigLocation {
  std::string SettingsFolder;        // without a trailing separator
  std::string SettingsFile;          // SettingsFolder + "/nexoquadrix.ini"
  std::string SharedFile;            // the Quadrix.ini to read (may not exist: it then reads as defaults)
  bool CreateSettingsFolder = false; // the folder is made on demand by the first write
  // The user's own data folder ($XDG_DATA_HOME/nexoquadrix), where an installed program keeps the
  // copies of the demo boards it may write into; empty for a portable install or a forced folder.
  std::string UserDataFolder;
};

/// The environment variable that points both files at one folder of the caller's choosing.
inline constexpr std::string_view ConfigFolderVariable = "NEXOQUADRIX_CONFIG_DIR";

/// Chooses the files. executableFolder: the program's folder; dataFolder: the installed data folder
/// (may be empty). Quadrix.ini is looked up in the settings folder, beside the executable, then in
/// dataFolder; when none exists the settings folder's path is returned. A program whose data lies in
/// ../share/nexoquadrix is an installed one and is never portable, even when its folder is writable
/// (root may write into /usr/bin, and settings do not belong there).
ConfigLocation LocateConfigFiles(std::string_view executableFolder, std::string_view dataFolder,
                                 const ConfigEnvironment& environment);

/// True when dataFolder is executableFolder/../share/nexoquadrix (the layout of `cmake --install`).
bool IsInstalledLayout(std::string_view executableFolder, std::string_view dataFolder);

/// The real environment: getenv, IsWritableFolder, stat.
ConfigEnvironment SystemConfigEnvironment();

/// Creates the folder and its missing parents; true when it exists afterwards.
bool CreateFolderPath(const std::string& folder);

} // namespace nq
