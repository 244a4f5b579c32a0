#pragma once
// Where the symbol library finds its files on this machine, and the user's folders in the settings.
#include <string>
#include <vector>

#include "symbols/SymbolLibrary.h"

namespace nq {
class ProfileFile;
}

namespace nq::symbols {

/// The library's files for a program in programFolder: the pictograms installed beside it (or named
/// by NEXOQUADRIX_PICTOGRAMS_DIR, or fetched into the source tree of a development build), the CLDR
/// annotations of the system (or NEXOQUADRIX_CLDR_DIR), and the index kept in the user's cache
/// folder. userFolders: the user's picture folders.
LibraryFiles DefaultLibraryFiles(const std::string& programFolder, std::vector<std::string> userFolders);

/// The user's picture folders kept in the program settings (UTF-8 paths, in the order added).
std::vector<std::string> ReadSymbolFolders(const ProfileFile& settings);

/// Keeps the folders in the program settings; false when the file could not be written.
bool WriteSymbolFolders(ProfileFile& settings, const std::vector<std::string>& folders);

} // namespace nq::symbols
