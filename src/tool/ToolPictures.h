#pragma once
// The picture converter of imports: Qt's when the tool is built with the front end, none otherwise.
#include <memory>

#include "exchange/ObfImport.h"

namespace nq::tool {

/// A converter for SVG and the other formats the player cannot decode; null without one.
std::unique_ptr<exchange::PictureConverter> MakePictureConverter();

} // namespace nq::tool
