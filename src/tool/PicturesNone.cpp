#include "tool/ToolPictures.h"

namespace nq::tool {

std::unique_ptr<exchange::PictureConverter> MakePictureConverter() {
  return nullptr;
}

std::optional<std::string> DrawSymbolPng(const symbols::Symbol&, int) {
  return std::nullopt;
}

} // namespace nq::tool
