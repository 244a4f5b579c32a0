// Writes the picture sets of the whole-program board benchmark into a folder: 441 distinct pictograms
// (500 x 500 PNG: flat colours, thick outlines, like the symbol sets boards use) and 441 distinct
// photographs (1600 x 1200 JPEG: smooth light with fine texture, like camera pictures), each with its
// 21 x 21 board. Files that exist are kept, so the set is made once.
// Usage: make_bench_pictures FOLDER
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/PictureTestFiles.h"

namespace {

using nq::Image;

uint32_t Next(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

void Put(Image& image, int x, int y, const uint8_t colour[3]) {
  if (x < 0 || y < 0 || x >= image.Width || y >= image.Height) return;
  uint8_t* p = image.Row(y) + x * 4;
  p[0] = colour[0], p[1] = colour[1], p[2] = colour[2], p[3] = 255;
}

// A white square with a few outlined discs, boxes and bars in flat colours, different for each seed.
Image Pictogram(int side, uint32_t seed) {
  Image image = nq::test::MakeImage(side, side);
  uint32_t state = seed * 2654435761u + 1;
  const uint8_t black[3] = {20, 20, 20};
  for (int shape = 0; shape < 4; ++shape) {
    const uint8_t fill[3] = {static_cast<uint8_t>(Next(state)), static_cast<uint8_t>(Next(state)),
                             static_cast<uint8_t>(Next(state))};
    const int cx = 60 + static_cast<int>(Next(state) % (side - 120));
    const int cy = 60 + static_cast<int>(Next(state) % (side - 120));
    const int r = 30 + static_cast<int>(Next(state) % (side / 4));
    const bool disc = (Next(state) & 1) != 0;
    for (int y = cy - r - 8; y <= cy + r + 8; ++y) {
      for (int x = cx - r - 8; x <= cx + r + 8; ++x) {
        const int dx = x - cx, dy = y - cy;
        const double d = disc ? std::sqrt(dx * dx + dy * dy) : std::max(std::abs(dx), std::abs(dy));
        if (d <= r)
          Put(image, x, y, fill);
        else if (d <= r + 8)
          Put(image, x, y, black);
      }
    }
  }
  return image;
}

// Gradients of light with texture and a few soft blobs, different for each seed.
Image Photograph(int width, int height, uint32_t seed) {
  Image image = nq::test::MakeImage(width, height);
  uint32_t state = seed * 2246822519u + 7;
  const double fx = 0.002 + (Next(state) % 100) * 0.00005;
  const double fy = 0.003 + (Next(state) % 100) * 0.00005;
  const int base[3] = {static_cast<int>(Next(state) % 160), static_cast<int>(Next(state) % 160),
                       static_cast<int>(Next(state) % 160)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.Row(y) + x * 4;
      const double light = 0.5 + 0.25 * std::sin(x * fx + seed) + 0.25 * std::cos(y * fy + seed * 0.5);
      const int grain = static_cast<int>(Next(state) % 24) - 12;
      for (int c = 0; c < 3; ++c)
        p[c] = static_cast<uint8_t>(std::clamp(base[c] + static_cast<int>(light * 95) + grain, 0, 255));
    }
  }
  return image;
}

void WriteBoard(const std::string& path, const std::string& prefix, const std::string& extension) {
  std::string text = "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Position]\r\nLeft=0\r\nTop=0\r\n"
                     "Width=1280\r\nHeight=800\r\n[Grid]\r\nColumns=21\r\nRows=21\r\n[Menu Options 2]\r\n"
                     "MenuQdxPosition=1\r\n";
  for (int n = 1; n <= 441; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%03d.%s", prefix.c_str(), n, extension.c_str());
    text += "[Cell " + std::to_string(n) + "]\r\nCaption=C" + std::to_string(n) + "\r\nPicture=" + name +
            "\r\nFrame cell color=0\r\nFont Size=8\r\n";
  }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bench_pictures FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::filesystem::create_directories(folder);
  for (int n = 1; n <= 441; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "%s/pictogram%03d.png", folder.c_str(), n);
    if (!std::filesystem::exists(name)) nq::test::WriteBytes(name, nq::test::EncodePng(Pictogram(500, n)));
    std::snprintf(name, sizeof name, "%s/photo%03d.jpg", folder.c_str(), n);
    if (!std::filesystem::exists(name))
      nq::test::WriteBytes(name, nq::test::EncodeJpeg(Photograph(1600, 1200, n)));
  }
  WriteBoard(folder + "/pictograms.qdx", "pictogram", "png");
  WriteBoard(folder + "/photos.qdx", "photo", "jpg");
  return 0;
}
