#pragma once
// Texts typed by an author on their way into a board: boards are Windows-1252, so a character that
// has no place there is refused by name instead of being saved as "?"; and the files an author adds
// (pictures) are copied beside the board under a name made from the cell's caption.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "boards/Board.h"

namespace nq::authoring {

/// The UTF-8 text as Windows-1252, or nothing when it holds a character Windows-1252 lacks; those
/// characters (UTF-8, each once, in order) go to `refused`. Line breaks are refused too: a value
/// of a board file is one line.
std::optional<std::string> ToBoardText(std::string_view utf8, std::string* refused = nullptr);

/// A file name stem from a caption (Windows-1252): accents folded, lower case, letters and digits
/// with "_" between words, at most 40 characters; "imatge" when nothing is left.
std::string FileStemFromCaption(std::string_view captionCp1252);

/// Copies the file at sourceUtf8 into the "pictures" folder of boardFolderUtf8 (made when missing),
/// named from the caption with the source's extension; a file already there with the same bytes is
/// reused, another gets a number. Returns the name as the board stores it ("pictures\\gos.png",
/// Windows-1252), or nothing when the copy failed.
std::optional<std::string> ImportPicture(const std::string& boardFolderUtf8, const std::string& sourceUtf8,
                                         std::string_view captionCp1252);

/// Copies the pictures and ".wav" sounds the board's cells name from oldFolderUtf8 into the same
/// relative places under newFolderUtf8, so a board saved into another folder still finds them.
/// Names that leave the folder ("..", full paths) and files already there are left alone. Returns
/// the names that could not be copied.
std::vector<std::string> CopyCellFiles(const Board& board, const std::string& oldFolderUtf8,
                                       const std::string& newFolderUtf8);

} // namespace nq::authoring
