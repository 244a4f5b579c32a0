#pragma once
// The picture converter of imports: Qt's when the tool is built with the front end, none otherwise.
#include <memory>
#include <optional>
#include <string>

#include "exchange/ObfImport.h"
#include "symbols/SymbolIndex.h"

namespace nq::tool {

/// A converter for SVG and the other formats the player cannot decode; null without one.
std::unique_ptr<exchange::PictureConverter> MakePictureConverter();

/// The symbol as a PNG at most side pixels wide and high: pictograms drawn from their SVG, emoji by
/// the colour emoji font (never larger than it draws them), a user's picture converted; nothing
/// without the front end or when it cannot be drawn.
std::optional<std::string> DrawSymbolPng(const symbols::Symbol& symbol, int side);

} // namespace nq::tool
