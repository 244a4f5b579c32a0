#pragma once
// Writes one of our boards, and every board its links reach (each once), as an .obz set with its
// pictures and sounds. What the format has no field for (special functions, options, fonts, the
// exact texts and file names) travels in ext_nexoquadrix_* fields, so importing the set again gives
// back the same boards.
#include <string>
#include <vector>

namespace nq::exchange {

struct ExportResult {
  bool Ok = false;
  std::string Error;              // UTF-8
  std::vector<std::string> Notes; // links to missing boards, missing pictures...
  int Boards = 0;
};

/// Exports the board at `boardUtf8` into the archive `archiveUtf8`, replacing it only when the
/// whole archive was written. Never throws.
ExportResult ExportBoardSet(const std::string& boardUtf8, const std::string& archiveUtf8);

} // namespace nq::exchange
