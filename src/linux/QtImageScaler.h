#pragma once
#include "platform/ImageScaler.h"

namespace nq {

// Smooth scaling through QImage, several times faster than a portable scaler on large boards.
class QtImageScaler : public ImageScaler {
public:
  Image Scale(const Image& source, int width, int height) override;
};

} // namespace nq
