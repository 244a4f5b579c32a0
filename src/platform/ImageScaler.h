#pragma once
#include "platform/Image.h"

namespace nq {

class ImageScaler {
public:
  virtual ~ImageScaler() = default;
  /// Returns a smooth (area-averaging) copy of the image scaled to exactly width x height.
  virtual Image Scale(const Image& source, int width, int height) = 0;
};

} // namespace nq
