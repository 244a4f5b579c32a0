#pragma once
// Finds the files that boards name (pictures, sounds, linked boards, the board itself) on a Linux
// file system although the boards were written on Windows: names use "\" or "/" as separator, are
// Windows-1252 text, and may differ in letter case from the files on disk.
//
// Resolution walks the name one component at a time from its base folder. Each component is tried
// exactly as written (converted to UTF-8) first; only when that does not exist is the folder listed
// for an entry equal to it without regard to letter case (ASCII and the accented Windows-1252
// letters). "." is skipped, ".." and empty components are kept as the file system sees them.
//
// The base folder is:
//  - the root for a name starting with "/" (a full Linux path, as the player composes them);
//  - the given folder (the current directory when it is empty) for a relative name;
//  - for a Windows full path ("C:\taulers\x.qdx", "C:x.qdx", "\taulers\x.qdx", "\\server\share\x.qdx")
//    there is no drive to go to, so its trailing components are tried against the given folder,
//    longest first ("taulers/x.qdx", then "x.qdx"): a folder of boards copied from Windows keeps
//    its own layout, so the board's own folder is where such a link most likely points now.
#include <optional>
#include <string>
#include <string_view>

namespace nq {

/// The existing UTF-8 path that the Windows-1252 name denotes relative to the UTF-8 folder, or
/// nothing when no file or folder matches.
std::optional<std::string> FindBoardPath(const std::string& folderUtf8, const std::string& nameCp1252);

/// The existing UTF-8 path for the name, or when nothing matches the closest literal path ("/"
/// separators, as far as it matched on disk, the rest as written) for messages and later retries.
std::string ResolveBoardPath(const std::string& folderUtf8, const std::string& nameCp1252);

/// The name with letter case folded the way Windows compares file names (Windows-1252 text).
std::string FoldNameCase(std::string_view cp1252);

} // namespace nq
