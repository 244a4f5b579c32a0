#include "actions/FolderTrust.h"

#include <filesystem>

#include "actions/ExecutarCommand.h"

#include "platform/Dialogs.h"
#include "settings/SettingsStore.h"
#include "settings/TrustedFolders.h"
#include "text/Encoding.h"

namespace nq {

FolderTrust::FolderTrust(SettingsStore& settings, Dialogs& dialogs) : Settings(settings), Messages(dialogs) {}

void FolderTrust::AddOwnFolder(const std::string& utf8Folder) {
  if (!utf8Folder.empty()) Own.push_back(utf8Folder);
}

std::vector<std::string> FolderTrust::TrustingFolders(const std::string& canonicalFolder) const {
  std::vector<std::string> holding;
  if (canonicalFolder.empty()) return holding;
  // Resolved at each question: the user's copy of the demo boards may be made after the start.
  std::vector<std::string> trusted;
  for (const std::string& own : Own)
    trusted.push_back(CanonicalFolder(own));
  for (const std::string& folder : ReadTrustedFolders(Settings))
    if (!TooBroadToTrust(folder)) trusted.push_back(folder);
  for (const std::string& top : trusted)
    if (FolderWithin(canonicalFolder, top)) holding.push_back(top);
  return holding;
}

bool FolderTrust::Trusted(const std::string& canonicalFolder) const {
  for (const std::string& top : TrustingFolders(canonicalFolder))
    if (FoldersClosedToOthers(canonicalFolder, top)) return true;
  return false;
}

bool FolderTrust::MayReachOutside(const std::string& boardFolder, const std::string& boardFile,
                                  const std::string& whatRuns) {
  const std::string folder = CanonicalFolder(Windows1252ToUtf8(boardFolder));
  if (folder.empty()) return false;
  // A board file others may rewrite carries their commands, whatever its folder. (A cell that also
  // links names the linked board, as written, which need not be found: the folder answers then.)
  const std::string file = Windows1252ToUtf8(boardFile);
  std::error_code error;
  const bool fileClosed = file.empty() || !std::filesystem::exists(file, error) || ClosedToOthers(file);
  if ((fileClosed && Trusted(folder)) || AllowedThisTime.contains(folder)) return true;
  // A second command while the box is up (a sound switch, a timer) is no answer to it.
  if (Refused.contains(folder) || Asking) return false;
  Asking = true;
  if (BeforeAsking) BeforeAsking();
  // A trusted folder asking again needs its reason, or the question looks like a fault.
  const std::string question =
      TrustingFolders(folder).empty() ? whatRuns : std::string(OpenToOthersNote) + "\n\n" + whatRuns;
  const TrustAnswer answer = Messages.AskFolderTrust(Utf8ToWindows1252(folder), question);
  Asking = false;
  switch (answer) {
  case TrustAnswer::Always:
    // A folder that others can write, or one too broad to store, is allowed for this run only; so is
    // one whose settings could not be written.
    if (!fileClosed || !FoldersClosedToOthers(folder, folder) ||
        (AddTrustedFolder(Settings, folder) != TrustChange::Done && !IsTrustedByUser(Settings, folder)))
      AllowedThisTime.insert(folder);
    return true;
  case TrustAnswer::ThisTime:
    AllowedThisTime.insert(folder);
    return true;
  case TrustAnswer::No:
    break;
  }
  Refused.insert(folder);
  return false;
}

void FolderTrust::ReviewTrustedFolders() {
  const std::vector<std::string> folders = ReadTrustedFolders(Settings);
  std::vector<std::string> shown;
  // An entry written by hand that is never trusted must not pass for a trusted folder.
  for (const std::string& folder : folders)
    shown.push_back(Utf8ToWindows1252(folder) +
                    (TooBroadToTrust(folder) ? " (no cuenta: es la carpeta personal o la contiene)" : ""));
  for (const std::string& removed : Messages.ReviewTrustedFolders(shown)) {
    for (size_t i = 0; i < shown.size(); ++i)
      if (shown[i] == removed) RemoveTrustedFolder(Settings, folders[i]);
  }
}

} // namespace nq
