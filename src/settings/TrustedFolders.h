#pragma once
// The folders whose boards the user lets run commands that reach outside the player, kept in the
// program settings file as canonical paths (UTF-8, as the file system spells them), so the player, the
// options box and the command-line tool read and change one list.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

class SettingsStore;

inline constexpr std::string_view SectionTrustedFolders = "Trusted Folders";
// Entries are "Folder1" to "Folder<MaxTrustedFolders>"; an emptied entry is a free place.
inline constexpr int MaxTrustedFolders = 200;

/// The folder with every symbolic link, "." and ".." resolved, without a trailing "/"; empty when it
/// does not exist or is not a folder.
std::string CanonicalFolder(const std::string& utf8Folder);

/// True when folder is trusted itself or lies inside it (both canonical).
bool FolderWithin(std::string_view folder, std::string_view trusted);

/// The stored folders, in the order they were added.
std::vector<std::string> ReadTrustedFolders(const SettingsStore& settings);

enum class TrustChange { Done, Unchanged, NotAFolder, TooLong, TooBroad, NotWritten };

/// True for a canonical folder that holds the user's home folder (or is it, or is the root): trusting
/// it would trust every download and every folder others share with the user. Never trusted, even
/// when the settings file names it.
bool TooBroadToTrust(std::string_view canonicalFolder);

/// Adds the canonical form of the folder; Unchanged when it is already there.
TrustChange AddTrustedFolder(SettingsStore& settings, const std::string& utf8Folder);
/// Removes the folder, named canonically or as stored (a folder deleted since can still be removed).
TrustChange RemoveTrustedFolder(SettingsStore& settings, const std::string& utf8Folder);

/// True when the canonical folder is one the user trusted or lies inside one.
bool IsTrustedByUser(const SettingsStore& settings, std::string_view canonicalFolder);

} // namespace nq
