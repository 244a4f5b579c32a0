#include "boards/AreaScaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nq {
namespace {

// For each output position along one axis, the source positions it reads and their weights (summing to 1).
struct Taps {
  std::vector<int> Start;  // index into Source/Weight of the output position's first tap
  std::vector<int> Source; // source position of each tap
  std::vector<float> Weight;
};

Taps AreaTaps(int sourceSize, int targetSize) {
  Taps taps;
  const double scale = static_cast<double>(sourceSize) / targetSize;
  for (int i = 0; i < targetSize; ++i) {
    taps.Start.push_back(static_cast<int>(taps.Source.size()));
    const double begin = i * scale, end = (i + 1) * scale;
    const int first = static_cast<int>(std::floor(begin));
    const int last = std::min(sourceSize, static_cast<int>(std::ceil(end)));
    for (int j = first; j < last; ++j) {
      const double covered = std::min(end, j + 1.0) - std::max(begin, static_cast<double>(j));
      if (covered <= 1e-9) continue;
      taps.Source.push_back(j);
      taps.Weight.push_back(static_cast<float>(covered / scale));
    }
  }
  taps.Start.push_back(static_cast<int>(taps.Source.size()));
  return taps;
}

// Pixel centres mapped onto the source, interpolating between the two nearest source pixels.
Taps LinearTaps(int sourceSize, int targetSize) {
  Taps taps;
  const double scale = static_cast<double>(sourceSize) / targetSize;
  for (int i = 0; i < targetSize; ++i) {
    taps.Start.push_back(static_cast<int>(taps.Source.size()));
    const double at = std::clamp((i + 0.5) * scale - 0.5, 0.0, sourceSize - 1.0);
    const int first = static_cast<int>(std::floor(at));
    const int second = std::min(first + 1, sourceSize - 1);
    const double fraction = at - first;
    taps.Source.push_back(first);
    taps.Weight.push_back(static_cast<float>(1.0 - fraction));
    if (second != first && fraction > 0) {
      taps.Source.push_back(second);
      taps.Weight.push_back(static_cast<float>(fraction));
    }
  }
  taps.Start.push_back(static_cast<int>(taps.Source.size()));
  return taps;
}

Taps AxisTaps(int sourceSize, int targetSize) {
  return targetSize <= sourceSize ? AreaTaps(sourceSize, targetSize) : LinearTaps(sourceSize, targetSize);
}

// One source row filtered horizontally into premultiplied floats (alpha on a 0..1 scale).
void FilterRow(const uint8_t* row, const Taps& taps, int width, float* out) {
  for (int x = 0; x < width; ++x, out += 4) {
    float r = 0, g = 0, b = 0, a = 0;
    for (int t = taps.Start[x]; t < taps.Start[x + 1]; ++t) {
      const uint8_t* p = row + static_cast<std::size_t>(taps.Source[t]) * 4;
      const float w = taps.Weight[t] * (p[3] * (1.0f / 255.0f));
      r += w * p[0], g += w * p[1], b += w * p[2], a += w;
    }
    out[0] = r, out[1] = g, out[2] = b, out[3] = a;
  }
}

// Rounds half away from zero as lround does (a float plus one half is exact in a double), without a
// library call for every channel of every pixel.
uint8_t ToByte(float value) {
  return static_cast<uint8_t>(std::clamp(static_cast<double>(value), 0.0, 255.0) + 0.5);
}

// One source row's weighted share of an output row; the pointers never overlap, so the compiler may
// add four channels at once.
void Accumulate(float* __restrict sum, const float* __restrict row, float weight, int width) {
  for (int x = 0; x < width * 4; x += 4) {
    sum[x] += weight * row[x];
    sum[x + 1] += weight * row[x + 1];
    sum[x + 2] += weight * row[x + 2];
    sum[x + 3] += weight * row[x + 3];
  }
}

// Keeps the horizontally filtered versions of the two source rows used last: consecutive output rows
// share their boundary rows when shrinking and their two neighbours when enlarging.
class RowCache {
public:
  RowCache(const Image& source, const Taps& taps, int width)
      : Source(source), HorizontalTaps(taps),
        Width(width), Rows{std::vector<float>(width * 4u), std::vector<float>(width * 4u)} {}

  const float* Get(int y) {
    for (int i = 0; i < 2; ++i)
      if (Keys[i] == y) return Rows[i].data();
    const int slot = Next;
    Next = 1 - Next;
    Keys[slot] = y;
    FilterRow(Source.Row(y), HorizontalTaps, Width, Rows[slot].data());
    return Rows[slot].data();
  }

private:
  const Image& Source;
  const Taps& HorizontalTaps;
  int Width;
  std::vector<float> Rows[2];
  int Keys[2] = {-1, -1};
  int Next = 0;
};

} // namespace

Image AreaScaler::Scale(const Image& source, int width, int height) {
  Image target;
  if (source.Empty() || width < 1 || height < 1) return target;
  if (source.Pixels.size() < static_cast<std::size_t>(source.Width) * source.Height * 4) return target;
  target.Width = width;
  target.Height = height;
  target.Pixels.resize(static_cast<std::size_t>(width) * height * 4);
  const Taps horizontal = AxisTaps(source.Width, width);
  const Taps vertical = AxisTaps(source.Height, height);
  RowCache rows(source, horizontal, width);
  std::vector<float> sum(width * 4u);
  for (int y = 0; y < height; ++y) {
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (int t = vertical.Start[y]; t < vertical.Start[y + 1]; ++t) {
      Accumulate(sum.data(), rows.Get(vertical.Source[t]), vertical.Weight[t], width);
    }
    uint8_t* out = target.Row(y);
    for (int x = 0; x < width; ++x, out += 4) {
      const float* s = &sum[x * 4u];
      const float alpha = s[3];
      const float unpremultiply = alpha > 1e-6f ? 1.0f / alpha : 0.0f;
      out[0] = ToByte(s[0] * unpremultiply), out[1] = ToByte(s[1] * unpremultiply);
      out[2] = ToByte(s[2] * unpremultiply), out[3] = ToByte(alpha * 255.0f);
    }
  }
  return target;
}

} // namespace nq
