#pragma once
// The portable picture scaler of the core: used to cap pictures as they load, by the tests and by the
// companion tool. The Qt front end may supply a faster one behind the same interface.
#include "platform/ImageScaler.h"

namespace nq {

class AreaScaler final : public ImageScaler {
public:
  /// Returns the image scaled to exactly width x height: each output pixel the alpha-weighted average
  /// of the source area it covers along a shrinking axis, linear interpolation along an enlarging one;
  /// an empty image for an empty source or a size below 1. Holds no state: safe from several threads.
  Image Scale(const Image& source, int width, int height) override;
};

} // namespace nq
