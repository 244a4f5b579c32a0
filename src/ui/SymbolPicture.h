#pragma once
// A symbol of the library as a PNG file's bytes: a picture file (SVG drawn at the size asked, other
// formats converted and never enlarged) or, without a file, an emoji drawn by the colour emoji font.
// Shared by the editor and the command line so both make the same pictures. Needs a QGuiApplication.
#include <optional>
#include <string>

namespace nq {

/// The PNG bytes, at most side pixels wide and high, on a transparent background; nothing when the
/// file cannot be read or drawn (or, for an emoji, when no font here draws it).
std::optional<std::string> DrawSymbolPicture(const std::string& pictureFileUtf8, const std::string& emojiUtf8,
                                             int side);

} // namespace nq
