#pragma once
// Draws pictures the player cannot decode itself (SVG through Qt Svg; GIF, WebP and the other
// formats Qt's image plug-ins read) into PNG for imported boards.
#include <map>
#include <mutex>

#include "exchange/ObfImport.h"
#include "text/CldrAnnotations.h"

namespace nq {

class QtPictureConverter : public exchange::PictureConverter {
public:
  std::optional<std::string> ToPng(const std::string& bytes, const std::string& contentType,
                                   int side) override;
  /// The emoji as the colour emoji font draws it (the player has no symbol library of its own).
  std::optional<std::string> EmojiToPng(const std::string& utf8, int side) override;
  /// The emoji's name from the Unicode CLDR annotations of the locale's language.
  std::string EmojiName(const std::string& utf8, const std::string& locale) override;

private:
  std::mutex Lock;                                               // an import runs on a thread of its own
  std::map<std::string, std::map<std::string, CldrNames>> Names; // by language, read once each
};

} // namespace nq
