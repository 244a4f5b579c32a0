#include "ui/DataFolder.h"

#include <filesystem>

namespace nq {

std::string FindDataFolder(const std::string& programFolderUtf8) {
  for (const std::string& candidate :
       {programFolderUtf8 + "/data", programFolderUtf8 + "/../share/nexoquadrix",
        std::string(NQ_SOURCE_DATA_DIR)}) {
    std::error_code error;
    if (std::filesystem::exists(candidate + "/Nexo_quadrix_menu.qdx", error))
      return std::filesystem::weakly_canonical(candidate, error).string() + "/";
  }
  return programFolderUtf8 + "/";
}

} // namespace nq
