#pragma once
#include <string>

namespace nq {

/// The bundled data folder (UTF-8, ending with "/"): beside a portable install, in the installed
/// share folder, or in the source tree of a development build; the program folder when none has it.
std::string FindDataFolder(const std::string& programFolderUtf8);

} // namespace nq
