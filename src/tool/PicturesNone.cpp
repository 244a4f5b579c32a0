#include "tool/ToolPictures.h"

namespace nq::tool {

std::unique_ptr<exchange::PictureConverter> MakePictureConverter() {
  return nullptr;
}

} // namespace nq::tool
