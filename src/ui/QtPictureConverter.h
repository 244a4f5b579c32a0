#pragma once
// Draws pictures the player cannot decode itself (SVG through Qt Svg; GIF, WebP and the other
// formats Qt's image plug-ins read) into PNG for imported boards.
#include "exchange/ObfImport.h"

namespace nq {

class QtPictureConverter : public exchange::PictureConverter {
public:
  std::optional<std::string> ToPng(const std::string& bytes, const std::string& contentType,
                                   int side) override;
  /// The emoji as the colour emoji font draws it (the player has no symbol library of its own).
  std::optional<std::string> EmojiToPng(const std::string& utf8, int side) override;
};

} // namespace nq
