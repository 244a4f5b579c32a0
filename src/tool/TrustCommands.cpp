// trust, untrust, trusted: the folders whose boards may run commands that reach outside the player,
// changed without the player's dialog (an administrator deploying boards to many computers), in the
// same settings file the player reads.
#include <cstdio>
#include <filesystem>

#include "settings/ConfigLocation.h"
#include "settings/SettingsStore.h"
#include "settings/TrustedFolders.h"
#include "tool/ToolCommands.h"
#include "tool/ToolSupport.h"

namespace nq::tool {
namespace {

// The player's settings file as the player finds it from this same program folder; "--settings FILE"
// names another one.
struct SettingsChoice {
  std::string File;
  bool CreateFolder = false;
  std::vector<std::string> Rest;
};

SettingsChoice ChooseSettings(const Arguments& args) {
  SettingsChoice choice;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--settings" && i + 1 < args.size()) {
      choice.File = args[++i];
      continue;
    }
    choice.Rest.push_back(args[i]);
  }
  if (!choice.File.empty()) return choice;
  const std::string program = ProgramFolder();
  const std::string installedData = program + "/../share/nexoquadrix";
  std::error_code error;
  const std::string data =
      std::filesystem::exists(installedData + "/Nexo_quadrix_menu.qdx", error) ? installedData : "";
  const ConfigLocation location = LocateConfigFiles(program, data, SystemConfigEnvironment());
  choice.File = location.SettingsFile;
  choice.CreateFolder = location.CreateSettingsFolder;
  return choice;
}

SettingsStore OpenSettings(const SettingsChoice& choice) {
  return SettingsStore(choice.File, "", choice.CreateFolder);
}

} // namespace

int RunTrust(const Arguments& args) {
  const SettingsChoice choice = ChooseSettings(args);
  if (choice.Rest.size() != 1) return Usage("usage: trust [--settings FILE] FOLDER");
  SettingsStore settings = OpenSettings(choice);
  const std::string folder = CanonicalFolder(choice.Rest[0]);
  switch (AddTrustedFolder(settings, choice.Rest[0])) {
  case TrustChange::Done:
    std::printf("trusted: %s\n", folder.c_str());
    return 0;
  case TrustChange::Unchanged:
    std::printf("already trusted: %s\n", folder.c_str());
    return 0;
  case TrustChange::NotAFolder:
    std::fprintf(stderr, "trust: %s is not a folder\n", choice.Rest[0].c_str());
    return 1;
  case TrustChange::TooLong:
    std::fprintf(stderr, "trust: the path of %s is too long to be stored\n", choice.Rest[0].c_str());
    return 1;
  case TrustChange::TooBroad:
    std::fprintf(stderr,
                 "trust: %s is the root, the home folder or a folder that holds it; trust the folder of the "
                 "boards themselves\n",
                 folder.c_str());
    return 1;
  case TrustChange::NotWritten:
    break;
  }
  std::fprintf(stderr, "trust: could not write %s\n", choice.File.c_str());
  return 1;
}

int RunUntrust(const Arguments& args) {
  const SettingsChoice choice = ChooseSettings(args);
  if (choice.Rest.size() != 1) return Usage("usage: untrust [--settings FILE] FOLDER");
  SettingsStore settings = OpenSettings(choice);
  // Named as it is stored: "." or a relative name says little in a script's log.
  const std::string canonical = CanonicalFolder(choice.Rest[0]);
  const std::string& named = canonical.empty() ? choice.Rest[0] : canonical;
  switch (RemoveTrustedFolder(settings, choice.Rest[0])) {
  case TrustChange::Done:
    std::printf("no longer trusted: %s\n", named.c_str());
    return 0;
  case TrustChange::NotWritten:
    std::fprintf(stderr, "untrust: could not write %s\n", choice.File.c_str());
    return 1;
  default:
    std::fprintf(stderr, "untrust: %s was not trusted\n", named.c_str());
    return 1;
  }
}

std::string TrustingFolder(const std::string& folder) {
  const std::string canonical = CanonicalFolder(folder);
  if (canonical.empty()) return {};
  const SettingsStore settings = OpenSettings(ChooseSettings({}));
  for (const std::string& trusted : ReadTrustedFolders(settings))
    if (FolderWithin(canonical, trusted)) return trusted;
  return {};
}

int RunTrusted(const Arguments& args) {
  const SettingsChoice choice = ChooseSettings(args);
  if (!choice.Rest.empty()) return Usage("usage: trusted [--settings FILE]");
  const SettingsStore settings = OpenSettings(choice);
  for (const std::string& folder : ReadTrustedFolders(settings)) {
    // An entry written by hand that the player ignores must not pass for a trusted folder.
    if (TooBroadToTrust(folder))
      std::printf("%s (ignored: the root, the home folder or a folder that holds it)\n", folder.c_str());
    else
      std::printf("%s\n", folder.c_str());
  }
  return 0;
}

} // namespace nq::tool
