#pragma once
// Converts a board set of the Open Board Format (an .obz, or a lone .obf) into .qdx boards with
// their pictures and sounds. The boards are found first (each read once and only summarised), then
// converted one at a time into a fresh temporary folder that is renamed into place at the end, so a
// refused or cancelled set leaves nothing behind and memory holds one board at a time.
#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ExchangeLimits.h"
#include "exchange/ObfBoard.h"

namespace nq::exchange {

// Turns pictures the player cannot decode (SVG, GIF, WebP...) into PNG; a back end provides it.
class PictureConverter {
public:
  virtual ~PictureConverter() = default;
  /// PNG bytes of the picture, at most `side` pixels on its longer side; nothing when unreadable.
  virtual std::optional<std::string> ToPng(const std::string& bytes, const std::string& contentType,
                                           int side) = 0;
  /// PNG bytes of an emoji (UTF-8) drawn as a picture, at most `side` pixels; nothing where no symbol
  /// or font draws it.
  virtual std::optional<std::string> EmojiToPng(const std::string& /*utf8*/, int /*side*/) {
    return std::nullopt;
  }
  /// The emoji's name in the language of a board's locale ("ca", "es-ES"), UTF-8, for a cell whose
  /// label was only the emoji to say; empty when unknown.
  virtual std::string EmojiName(const std::string& /*utf8*/, const std::string& /*locale*/) { return {}; }
};

// Written into every imported folder: the root board's file name, and the notes of the import.
inline constexpr std::string_view RootBoardListFile = "root-board.txt";
inline constexpr std::string_view ImportReportFile = "import-report.txt";

// Shared between an import running on a worker thread and whoever shows its progress.
struct ImportProgress {
  std::atomic<int> Done{0};  // steps done: every board is read once, then converted once
  std::atomic<int> Total{0}; // steps known so far; grows while boards are found
  std::atomic<bool> Cancel{false};
};

struct ImportFailure {
  ImportProblem Problem = ImportProblem::None;
  std::string Error; // in English, for the tool and the import report (UTF-8)
  std::string Where; // the file of the set at fault, when one is
};

struct ImportResult {
  bool Ok = false;
  std::string Error; // why nothing was imported (UTF-8)
  ImportProblem Problem = ImportProblem::None;
  std::string Where;              // the file of the set at fault, when one is (UTF-8)
  std::vector<std::string> Notes; // what was converted with a loss or left out (UTF-8)
  std::string RootBoard;          // the root board's file name inside the folder (UTF-8)
  int Boards = 0;
  int DroppedCommands = 0; // commands left out because they reach outside the player
  int KeptCommands = 0;    // such commands kept because the options asked to
};

struct ImportOptions {
  /// Updated as boards are read and converted; a set Cancel stops the import with nothing written.
  ImportProgress* Progress = nullptr;
  /// JSON values the whole set may hold (its boards and its manifest together).
  std::size_t JsonValues = MaxJsonValuesPerSet;
  /// Keeps the commands that reach outside the player (start programs, open documents, send keys to
  /// other programs); they are left out and reported otherwise.
  bool KeepCommands = false;
};

/// Imports the set at `sourceUtf8` into the folder `folderUtf8`, which must not exist yet or be
/// empty. `pictures` may be null: pictures the player cannot decode are then reported. Never throws.
ImportResult ImportBoardSet(const std::string& sourceUtf8, const std::string& folderUtf8,
                            PictureConverter* pictures, const ImportOptions& options = {});

/// Decodes a data: URI ("data:image/png;base64,..." or percent-encoded); nothing when malformed.
std::optional<std::string> DecodeDataUri(const std::string& uri, std::string& mediaType);

/// Which picture format the bytes are, by their first bytes: "png", "jpg", "bmp", or empty.
std::string PlayerPictureFormat(const std::string& bytes);

} // namespace nq::exchange
