#pragma once
#include <string>

namespace nq {

// A font as the core describes it; height follows the platform model (negative = character height in px).
}
#include "platform/FontSpec.h"
namespace nq {

class TextMetrics {
public:
  virtual ~TextMetrics() = default;
  /// Height in pixels of one line of text in the font (the caption label's height).
  virtual int LineHeight(const FontSpec& font) = 0;
  /// Width in pixels of the Windows-1252 text in the font.
  virtual int TextWidth(const FontSpec& font, const std::string& text) = 0;
  /// Screen pixels per inch, used to turn point sizes into heights.
  virtual int PixelsPerInch() = 0;
};

} // namespace nq
