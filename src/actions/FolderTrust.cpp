#include "actions/FolderTrust.h"

#include "platform/Dialogs.h"
#include "settings/SettingsStore.h"
#include "settings/TrustedFolders.h"
#include "text/Encoding.h"

namespace nq {

FolderTrust::FolderTrust(SettingsStore& settings, Dialogs& dialogs) : Settings(settings), Messages(dialogs) {}

void FolderTrust::AddOwnFolder(const std::string& utf8Folder) {
  if (!utf8Folder.empty()) Own.push_back(utf8Folder);
}

bool FolderTrust::Trusted(const std::string& canonicalFolder) const {
  if (canonicalFolder.empty()) return false;
  // Resolved at each question: the user's copy of the demo boards may be made after the start.
  for (const std::string& own : Own)
    if (FolderWithin(canonicalFolder, CanonicalFolder(own))) return true;
  return IsTrustedByUser(Settings, canonicalFolder);
}

bool FolderTrust::MayReachOutside(const std::string& boardFolder, const std::string& whatRuns) {
  const std::string folder = CanonicalFolder(Windows1252ToUtf8(boardFolder));
  if (folder.empty()) return false;
  if (Trusted(folder) || AllowedThisTime.contains(folder)) return true;
  // A second command while the box is up (a sound switch, a timer) is no answer to it.
  if (Refused.contains(folder) || Asking) return false;
  Asking = true;
  if (BeforeAsking) BeforeAsking();
  const TrustAnswer answer = Messages.AskFolderTrust(Utf8ToWindows1252(folder), whatRuns);
  Asking = false;
  switch (answer) {
  case TrustAnswer::Always:
    if (AddTrustedFolder(Settings, folder) != TrustChange::Done && !IsTrustedByUser(Settings, folder))
      AllowedThisTime.insert(folder); // the settings could not be written: it holds until the end
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
  for (const std::string& folder : folders)
    shown.push_back(Utf8ToWindows1252(folder));
  for (const std::string& removed : Messages.ReviewTrustedFolders(shown)) {
    for (size_t i = 0; i < shown.size(); ++i)
      if (shown[i] == removed) RemoveTrustedFolder(Settings, folders[i]);
  }
}

} // namespace nq
