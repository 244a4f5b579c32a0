#pragma once
// Fitting the outside world's values into a board file: Unicode text into Windows-1252 (with a
// near form for what it lacks), CSS-style colours into the board's red-in-the-low-byte integers,
// and file names that stay inside the folder they are written to.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace nq::exchange {

/// UTF-8 text as Windows-1252 for a board value: line breaks and controls become blanks (a value
/// is one line of the board file), characters without a Windows-1252 form become a near one
/// ("ł" -> "l", "−" -> "-") or "?" and are added to `missing` (UTF-8), and the result is cut at
/// the board file's 1023 characters.
std::string FitText(std::string_view utf8, std::set<std::string>& missing);

/// "rgb(r, g, b)", "rgba(r, g, b, a)" (mixed with white by its alpha), "#rrggbb", "#rgb" and a few
/// colour names, as red + 256 green + 65536 blue; nothing for anything else.
std::optional<int32_t> ParseColour(std::string_view text);

/// The colour as "rgb(r, g, b)".
std::string ColourText(int32_t colour);

/// A path inside a set, cleaned: "\" read as "/", "." and empty parts dropped; nothing when it is
/// absolute, names a drive, climbs out with ".." or holds a control character.
std::optional<std::string> CleanSetPath(std::string_view path);

/// A file name made of ASCII letters, digits, "-" and "_" only (others become "_"), never empty.
std::string SafeFileStem(std::string_view text);

} // namespace nq::exchange
