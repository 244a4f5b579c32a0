#pragma once
// The player's importer: a foreign board file is converted once per file and content into a
// folder of its own under the user's data folder, and opened from there every later time.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "exchange/ObfImport.h"
#include "shell/ForeignBoards.h"

namespace nq {
class Dialogs;
}

namespace nq::exchange {

// Where an import runs: the player's runs it on a worker thread behind a progress box with a
// cancel button, so that the window stays alive however long a set takes.
class ImportRunner {
public:
  virtual ~ImportRunner() = default;
  /// Runs `work` to its end, showing `progress` for the file `fileName` (UTF-8) and setting
  /// progress.Cancel when the user asks to stop; returns once `work` has returned.
  virtual void Run(const std::string& fileName, ImportProgress& progress,
                   const std::function<void()>& work) = 0;
};

class ImportedBoards : public ForeignBoardImporter {
public:
  /// `baseFolderUtf8` holds one folder per imported file; `pictures` may be null; without a
  /// `runner` an import runs at once on the calling thread.
  ImportedBoards(Dialogs& dialogs, PictureConverter* pictures, std::string baseFolderUtf8,
                 ImportRunner* runner = nullptr);

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
  ImportRunner* Runner;
  std::string BaseFolder;
  std::map<std::string, Known> Seen;
};

/// What the player tells the user when a set was not imported (Windows-1252, Spanish like its other
/// messages); nothing when the user cancelled it.
std::string ImportFailureMessage(const std::string& cp1252Path, const ImportResult& result);

/// $XDG_DATA_HOME/nexoquadrix/imported, or ~/.local/share/nexoquadrix/imported without it.
std::string DefaultImportFolder();

} // namespace nq::exchange
