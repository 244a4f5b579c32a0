#pragma once
// How the scan and hover highlight looks. By default it is the board's own frame turned red; for low
// vision the user can ask for a wider ring, another colour and the highlighted cell in inverted
// colours. The button bar panels follow the same style.
#include <array>
#include <cstdint>

#include "boards/GridTypes.h"
#include "boards/TBox.h"

namespace nq {

inline constexpr int32_t MaxHighlightWidth = 20;
// A cell at least this many pixels on its shorter side gets the chosen width in full, a smaller one a
// proportional share, so a wide ring never swallows a small cell.
inline constexpr int32_t FullHighlightWidthSide = 100;

// The colours the options offer, in menu order: red (the usual one), yellow, blue, black, white.
inline constexpr std::array<int32_t, 5> HighlightColours = {HighlightColour, 0x00FFFF, 0xFF0000, BlackColour,
                                                            WhiteColour};

struct HighlightStyle {
  int32_t Width = 0; // 0: the board's own frame; else 1..MaxHighlightWidth pixels
  int32_t Colour = HighlightColour;
  bool Invert = false;
  bool operator==(const HighlightStyle&) const = default;
};

/// The ring width of a highlighted rectangle of this size: the chosen width scaled to it, at least 1;
/// 0 when the style keeps the board's own frame.
int32_t HighlightRingWidth(const HighlightStyle& style, const GridRect& bounds);

/// The ring a highlighted frame gets: 0 when its own pen is as wide.
int32_t WideRingWidth(const CellFrame& frame, const HighlightStyle& style);

/// Gives the box's frame the highlight's look, or back its own look. Inline: a scan step runs it on
/// every cell, and with the usual highlight it must cost no more than setting the pen's colour.
inline void ApplyHighlight(TBox& box, bool highlighted, const HighlightStyle& style) {
  CellFrame& frame = box.Frame;
  frame.PenColour = highlighted ? style.Colour : box.FrameColour;
  frame.Inverted = highlighted && style.Invert;
  frame.RingWidth = static_cast<int16_t>(highlighted && style.Width > 0 ? WideRingWidth(frame, style) : 0);
}

/// A stored colour when it is one of the offered ones, else the usual red.
int32_t ValidHighlightColour(int32_t colour);

} // namespace nq
