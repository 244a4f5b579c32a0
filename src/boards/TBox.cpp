#include "boards/TBox.h"

#include <cmath>
#include <limits>
#include <utility>

#include "boards/ScaledPictureSource.h"
#include "platform/ImageScaler.h"
#include "platform/TextMetrics.h"

namespace nq {

CellGeometry ComputeCellGeometry(const GridRect& cell, int32_t separation, int32_t thickness,
                                 int32_t captionHeight, bool hasCaption, bool captionsBelow) {
  const int32_t s = separation;
  const int32_t t = thickness;
  const int32_t m = InnerMargin;
  CellGeometry g;
  g.Frame = {cell.Left + s, cell.Top + s, cell.Width - 2 * s, cell.Height - 2 * s};
  g.Caption.Left = g.Frame.Left + m + t;
  g.Caption.Width = g.Frame.Width - 2 * m - 2 * t;
  g.Caption.Top = g.Frame.Top + m + t;
  g.Caption.Height = hasCaption ? captionHeight : 0;
  // The frame thickness narrows the picture area vertically only.
  g.PictureArea.Left = g.Frame.Left + m;
  g.PictureArea.Width = g.Frame.Width - 2 * m;
  if (!hasCaption) {
    g.PictureArea.Top = g.Frame.Top + m + t;
    g.PictureArea.Height = g.Frame.Height - 2 * m - 2 * t;
    return g;
  }
  const int32_t areaHeight = cell.Height - 2 * s - captionHeight - 3 * m - 2 * t;
  if (captionsBelow) {
    g.PictureArea.Top = g.Frame.Top + m + t;
    g.PictureArea.Height = areaHeight;
    g.Caption.Top = g.PictureArea.Top + areaHeight + m;
  } else {
    g.PictureArea.Top = g.Caption.Top + captionHeight + m;
    g.PictureArea.Height = areaHeight;
  }
  return g;
}

int32_t RoundHalfEven(double value) {
  const double lowest = static_cast<double>(std::numeric_limits<int32_t>::min());
  const double highest = static_cast<double>(std::numeric_limits<int32_t>::max());
  if (!(value > lowest)) return std::numeric_limits<int32_t>::min();
  if (!(value < highest)) return std::numeric_limits<int32_t>::max();
  const double below = std::floor(value);
  const double fraction = value - below;
  double result = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) result = below + 1.0;
  return static_cast<int32_t>(result);
}

GridRect FitPicture(const GridRect& area, int32_t pictureWidth, int32_t pictureHeight) {
  GridRect r = area;
  if (pictureWidth > 0 && pictureHeight > 0 && r.Height > 0) {
    const double pictureRatio = static_cast<double>(pictureWidth) / pictureHeight;
    const double areaRatio = static_cast<double>(r.Width) / r.Height;
    if (pictureRatio > areaRatio) {
      const int32_t newHeight = RoundHalfEven(static_cast<double>(r.Width) * pictureHeight / pictureWidth);
      r.Top += (r.Height - newHeight) / 2;
      r.Height = newHeight;
    } else {
      const int32_t newWidth = RoundHalfEven(static_cast<double>(r.Height) * pictureWidth / pictureHeight);
      r.Left += (r.Width - newWidth) / 2;
      r.Width = newWidth;
    }
    return r;
  }
  // Without a usable picture size the picture gets the largest centred square.
  if (r.Height < r.Width) {
    r.Left += (r.Width - r.Height) / 2;
    r.Width = r.Height;
  } else if (r.Height > r.Width) {
    r.Top += (r.Height - r.Width) / 2;
    r.Height = r.Width;
  }
  return r;
}

void TBox::SetCaptionFont(const FontSpec& font) {
  if (font == Font && MeasuredCaptionHeight) return;
  Font = font;
  MeasuredCaptionHeight.reset();
}

int32_t TBox::CaptionHeight(TextMetrics& metrics) {
  if (!MeasuredCaptionHeight) MeasuredCaptionHeight = metrics.LineHeight(Font);
  return *MeasuredCaptionHeight;
}

void TBox::SetPicture(std::shared_ptr<const Image> picture, bool isBitmap, int32_t sourceWidth,
                      int32_t sourceHeight) {
  Holder = std::move(picture);
  HolderIsBitmap = isBitmap && Holder != nullptr;
  const bool declared = Holder != nullptr && sourceWidth > 0 && sourceHeight > 0;
  SourceWidth = Holder == nullptr ? 0 : declared ? sourceWidth : Holder->Width;
  SourceHeight = Holder == nullptr ? 0 : declared ? sourceHeight : Holder->Height;
  Shrunk.reset();
  ShrinkTried = false;
  ShrunkWidth = 0;
  ShrunkHeight = 0;
}

void TBox::DropPicture() {
  Picture.clear();
  SetPicture(nullptr, false);
}

const Image* TBox::PaintedImage() const {
  return PaintedPicture().get();
}

std::shared_ptr<const Image> TBox::PaintedPicture() const {
  if (!PictureImage.Visible) return nullptr;
  switch (PictureImage.Scaling) {
  case PictureScaling::HalftoneShrink:
    return Shrunk;
  case PictureScaling::PlatformStretch:
    return Holder;
  case PictureScaling::None:
    break;
  }
  return nullptr;
}

const Image* TBox::ShrunkCopy(ImageScaler& scaler, int32_t width, int32_t height,
                              ScaledPictureSource* source) {
  if (!Holder || !HolderIsBitmap || Holder->Empty() || width <= 0 || height <= 0) return nullptr;
  if (ShrinkTried && ShrunkWidth == width && ShrunkHeight == height) return Shrunk.get();
  ShrinkTried = true;
  ShrunkWidth = width;
  ShrunkHeight = height;
  std::shared_ptr<const Image> scaled =
      source != nullptr ? source->ScaledCopy(Holder, width, height, scaler)
                        : std::make_shared<const Image>(scaler.Scale(*Holder, width, height));
  const auto expectedBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  // A scaler that fails (or answers with another size) leaves the painter's own stretching to do the job.
  const bool usable = scaled != nullptr && scaled->Width == width && scaled->Height == height &&
                      scaled->Pixels.size() == expectedBytes;
  Shrunk = usable ? std::move(scaled) : nullptr;
  return Shrunk.get();
}

} // namespace nq
