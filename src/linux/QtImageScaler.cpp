#include "linux/QtImageScaler.h"

#include <QImage>
#include <cstring>

namespace nq {

Image QtImageScaler::Scale(const Image& source, int width, int height) {
  Image result;
  if (source.Empty() || width <= 0 || height <= 0) return result;
  const QImage view(source.Pixels.data(), source.Width, source.Height, source.Width * 4,
                    QImage::Format_RGBA8888);
  // Scaling premultiplied pixels keeps transparent edges from darkening.
  const QImage scaled = view.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                            .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGBA8888);
  result.Width = scaled.width();
  result.Height = scaled.height();
  result.Pixels.resize(static_cast<std::size_t>(result.Width) * result.Height * 4);
  for (int y = 0; y < result.Height; ++y)
    std::memcpy(result.Row(y), scaled.constScanLine(y), static_cast<std::size_t>(result.Width) * 4);
  return result;
}

} // namespace nq
