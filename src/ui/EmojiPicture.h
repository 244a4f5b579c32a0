#pragma once
// Draws an emoji with the colour emoji font into a PNG with a transparent background. The font holds
// bitmaps of about 136 px, so the picture is never made larger than the font draws it.
#include <optional>
#include <string>

namespace nq {

/// The PNG bytes of the emoji (UTF-8) at most side pixels wide and high; nothing when no font on this
/// machine draws it. Needs a QGuiApplication.
std::optional<std::string> DrawEmojiPng(const std::string& utf8, int side);

} // namespace nq
