#pragma once
// The on-screen object of one cell: its texts, the held full-size picture, and the frame, caption
// and picture as the painter must draw them. The core computes all of it; the front end only paints
// Frame, CaptionLabel and PictureImage (bottom to top) in the coordinates of the box's panel.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "boards/GridTypes.h"
#include "platform/FontSpec.h"
#include "platform/Image.h"

namespace nq {

class ImageScaler;
class ScaledPictureSource;
class TextMetrics;

// Gap in pixels between the frame and the caption or picture inside it.
inline constexpr int32_t InnerMargin = 3;

enum class CaptionAlignment { Left, Centre };

// How the picture reaches its rectangle.
enum class PictureScaling {
  None,            // no picture drawn
  HalftoneShrink,  // a smooth shrunk copy of exactly the rectangle's size, drawn 1:1
  PlatformStretch, // the held picture drawn stretched into the rectangle by the painter
};

// The cell frame: solid pen, white fill.
struct CellFrame {
  bool Visible = false;
  // A low-vision highlight: the inside of the frame in inverted colours, and a ring of RingWidth pixels
  // (0: none) in PenColour painted over caption and picture. Small, to keep every box as compact as the
  // scan's walk over all of them needs.
  bool Inverted = false;
  int16_t RingWidth = 0;
  GridRect Bounds;
  int32_t PenColour = BlackColour;
  int32_t PenWidth = 1;
};

// One line of text, no wrapping, white background, clipped to Bounds, in the box's CaptionFont().
struct CellCaption {
  bool Visible = false;
  std::string Text;
  GridRect Bounds;
};

struct CellPicture {
  bool Visible = false;
  GridRect Bounds;
  PictureScaling Scaling = PictureScaling::None;
};

// Where frame, caption and picture area fall inside one cell rectangle (before the picture is fitted).
struct CellGeometry {
  GridRect Frame;
  GridRect Caption;
  GridRect PictureArea;
};

/// Frame, caption and picture area of a cell; captionHeight is ignored when hasCaption is false.
CellGeometry ComputeCellGeometry(const GridRect& cell, int32_t separation, int32_t thickness,
                                 int32_t captionHeight, bool hasCaption, bool captionsBelow);

/// The picture rectangle inside area for a picture of pictureWidth x pictureHeight, keeping its shape.
GridRect FitPicture(const GridRect& area, int32_t pictureWidth, int32_t pictureHeight);

/// Rounds to the nearest integer, halves to the even neighbour.
int32_t RoundHalfEven(double value);

class TBox {
public:
  // The cell's own data (Windows-1252 texts).
  std::string Caption;
  std::string Read;            // spoken text, or a ".WAV" file name
  std::string Picture;         // picture file name; empty when the picture could not be loaded
  std::string Link;            // board to open
  std::string SpecialFunction; // command token
  CaptionAlignment Alignment = CaptionAlignment::Left;
  int32_t FrameColour = BlackColour;

  // The cell rectangle in panel pixels, set by the grid layout (and moved by the 3D lift).
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Number = 0; // cell number of a grid cell, -1 for a message cell

  // Picture rectangle last cleared and painted by the shrink path.
  int32_t DrawnLeft = 0;
  int32_t DrawnTop = 0;
  int32_t DrawnWidth = 0;
  int32_t DrawnHeight = 0;

  // What to paint, kept up to date by ShowCell and HideCell.
  CellFrame Frame;
  CellCaption CaptionLabel;
  CellPicture PictureImage;

  GridRect CellRect() const { return {Left, Top, Width, Height}; }

  const FontSpec& CaptionFont() const { return Font; }
  /// Sets the caption font; the caption height is measured again on the next paint.
  void SetCaptionFont(const FontSpec& font);
  /// One-line height of the caption font, measured once per font.
  int32_t CaptionHeight(TextMetrics& metrics);

  /// Holds a new full-size picture (shared, never modified); isBitmap says whether the shrink path can use
  /// it.
  /// sourceWidth/sourceHeight: the size the picture file declares when the held copy was reduced on
  /// loading (0 = the held size); fitting and the choice of scaling path use the file's own size.
  void SetPicture(std::shared_ptr<const Image> picture, bool isBitmap, int32_t sourceWidth = 0,
                  int32_t sourceHeight = 0);
  int32_t PictureWidth() const { return SourceWidth; }
  int32_t PictureHeight() const { return SourceHeight; }
  /// Forgets the picture and empties the Picture name (a picture that failed to load).
  void DropPicture();
  const Image* HeldPicture() const { return Holder.get(); }
  /// The held picture itself, for another box to share (a message cell taking a grid cell's picture).
  const std::shared_ptr<const Image>& SharedPicture() const { return Holder; }
  bool HeldAsBitmap() const { return HolderIsBitmap; }

  /// The image to draw into PictureImage.Bounds: the shrunk copy (1:1) on the shrink path, the held
  /// picture (stretched by the painter) otherwise; null when no picture is shown.
  const Image* PaintedImage() const;
  /// The same image, shared: a view that remembers what it painted keeps it alive, so a new picture
  /// can never take its address and pass for the old one.
  std::shared_ptr<const Image> PaintedPicture() const;

  /// A shrunk copy of the held picture of exactly width x height, made once per size (taken from source
  /// when given, which may hand out a copy kept from before); null when the picture is not a bitmap or
  /// the scaling fails.
  const Image* ShrunkCopy(ImageScaler& scaler, int32_t width, int32_t height,
                          ScaledPictureSource* source = nullptr);

private:
  FontSpec Font;
  std::optional<int32_t> MeasuredCaptionHeight;
  std::shared_ptr<const Image> Holder;
  bool HolderIsBitmap = false;
  int32_t SourceWidth = 0;
  int32_t SourceHeight = 0;
  std::shared_ptr<const Image> Shrunk;
  int32_t ShrunkWidth = 0;
  int32_t ShrunkHeight = 0;
  bool ShrinkTried = false;
};

} // namespace nq
