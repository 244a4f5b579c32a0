#pragma once
#include "platform/TextMetrics.h"

namespace nq {

class QtTextMetrics : public TextMetrics {
public:
  int LineHeight(const FontSpec& font) override;
  int TextWidth(const FontSpec& font, const std::string& text) override;
  int PixelsPerInch() override;
};

} // namespace nq
