#pragma once
// Whether the board on screen may run a command that reaches outside the player. The player's own
// folders and the folders the user trusted say yes; any other folder is asked about once, in a box
// that names it and shows what would run: "always" is stored, "only this time" and "no" hold until the
// program ends. Every such command of the dispatcher passes here.
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

class Dialogs;
class SettingsStore;

class OutsideCommandGate {
public:
  virtual ~OutsideCommandGate() = default;
  /// True when the board boardFile in boardFolder (both Windows-1252) may run what is described
  /// (Windows-1252).
  virtual bool MayReachOutside(const std::string& boardFolder, const std::string& boardFile,
                               const std::string& whatRuns) = 0;
};

// Shown above what would run when a trusted folder is asked about after all.
inline constexpr std::string_view OpenToOthersNote =
    "Esta carpeta es de confianza, pero otros usuarios pueden cambiar este tablero o alguna de sus "
    "carpetas.";

class FolderTrust final : public OutsideCommandGate {
public:
  FolderTrust(SettingsStore& settings, Dialogs& dialogs);

  /// A folder of the player's own (UTF-8, need not exist yet): trusted with everything inside it, never
  /// stored.
  void AddOwnFolder(const std::string& utf8Folder);
  /// True when the canonical folder is the player's own or trusted by the user (no question), and it and
  /// every folder up to the trusted one are closed to others: a board someone else could put there is
  /// not one the user trusted.
  bool Trusted(const std::string& canonicalFolder) const;

  bool MayReachOutside(const std::string& boardFolder, const std::string& boardFile,
                       const std::string& whatRuns) override;

  /// The user's trusted folders for the options box: shows them and removes the ones chosen.
  void ReviewTrustedFolders();

  /// Called before the question is shown (scanning stops: the box needs the person, not the switch).
  std::function<void()> BeforeAsking;

private:
  // The player's own and the user's trusted folders that hold the canonical folder.
  std::vector<std::string> TrustingFolders(const std::string& canonicalFolder) const;

  SettingsStore& Settings;
  Dialogs& Messages;
  std::vector<std::string> Own;
  // Answers that hold until the program ends, by canonical folder.
  std::set<std::string> AllowedThisTime;
  std::set<std::string> Refused;
  bool Asking = false;
};

} // namespace nq
