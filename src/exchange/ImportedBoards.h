#pragma once
// The player's importer: a foreign board file is converted once per file and content into a
// folder of its own under the user's data folder, and opened from there every later time.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "exchange/ObfImport.h"
#include "shell/ForeignBoards.h"

namespace nq {
class Dialogs;
}

namespace nq::exchange {

class ImportedBoards : public ForeignBoardImporter {
public:
  /// `baseFolderUtf8` holds one folder per imported file; `pictures` may be null.
  ImportedBoards(Dialogs& dialogs, PictureConverter* pictures, std::string baseFolderUtf8);

  std::optional<std::string> ImportedRootBoard(const std::string& cp1252Path) override;

  /// The folder an import of this file goes to: its name and a hash of its content; empty when unreadable.
  std::string FolderFor(const std::string& fileUtf8) const;

private:
  // What a file on disk became, so that the home board of an imported set opens without reading
  // the whole file again; a change of size or time reads it again.
  struct Known {
    uintmax_t Size = 0;
    std::filesystem::file_time_type Time;
    std::string Root;
  };
  std::optional<std::string> Import(const std::string& cp1252Path, const std::string& file);

  Dialogs& Messages;
  PictureConverter* Pictures;
  std::string BaseFolder;
  std::map<std::string, Known> Seen;
};

/// $XDG_DATA_HOME/nexoquadrix/imported, or ~/.local/share/nexoquadrix/imported without it.
std::string DefaultImportFolder();

} // namespace nq::exchange
