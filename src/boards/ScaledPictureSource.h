#pragma once
// Where a cell box gets the shrunk copy of its held picture, so that copies made for one board can be
// kept and handed out again when the board is opened again.
#include <cstdint>
#include <memory>

#include "platform/Image.h"

namespace nq {

class ImageScaler;

class ScaledPictureSource {
public:
  virtual ~ScaledPictureSource() = default;
  /// held scaled to exactly width x height (made with scaler when no kept copy fits); nullptr when none.
  virtual std::shared_ptr<const Image> ScaledCopy(const std::shared_ptr<const Image>& held, int32_t width,
                                                  int32_t height, ImageScaler& scaler) = 0;
};

} // namespace nq
