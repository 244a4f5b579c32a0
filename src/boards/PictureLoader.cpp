#include "boards/PictureLoader.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <new>
#include <thread>

#include "boards/AreaScaler.h"
#include "boards/BmpDecoder.h"
#include "boards/JpegDecoder.h"
#include "boards/PictureDiskCache.h"
#include "boards/PictureLimits.h"
#include "boards/PngDecoder.h"

namespace nq {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](char c) { return LowerAscii(c); });
  return lowered;
}

// The extension of the last path component, whichever separator the board used.
std::string_view Extension(std::string_view name) {
  const std::size_t separator = name.find_last_of("\\/");
  const std::string_view last = separator == std::string_view::npos ? name : name.substr(separator + 1);
  const std::size_t dot = last.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : last.substr(dot + 1);
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > MaxPictureFileBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::size_t>(in.gcount()) != bytes.size()) return std::nullopt;
  return bytes;
}

std::optional<LoadedPicture> Decode(std::span<const uint8_t> data, PictureKind kind, int maxSide) {
  LoadedPicture picture;
  picture.Kind = kind;
  if (kind == PictureKind::Jpeg) {
    std::optional<JpegPicture> jpeg = DecodeJpeg(data, maxSide);
    if (!jpeg) return std::nullopt;
    picture.Pixels = std::move(jpeg->Pixels);
    picture.SourceWidth = jpeg->SourceWidth;
    picture.SourceHeight = jpeg->SourceHeight;
    return picture;
  }
  if (kind == PictureKind::Png) {
    std::optional<PngPicture> png = DecodePng(data, maxSide);
    if (!png) return std::nullopt;
    picture.Pixels = std::move(png->Pixels);
    picture.SourceWidth = png->SourceWidth;
    picture.SourceHeight = png->SourceHeight;
    return picture;
  }
  std::optional<Image> image;
  if (kind == PictureKind::Bmp) image = DecodeBmp(data);
  if (!image) return std::nullopt;
  picture.Pixels = std::move(*image);
  picture.SourceWidth = picture.Pixels.Width;
  picture.SourceHeight = picture.Pixels.Height;
  return picture;
}

} // namespace

PictureKind PictureKindOf(std::string_view name) {
  if (name.size() >= 3 && LowerAscii(name.substr(name.size() - 3)) == "png") return PictureKind::Png;
  const std::string extension = LowerAscii(Extension(name));
  if (extension == "bmp") return PictureKind::Bmp;
  if (extension == "jpg" || extension == "jpeg") return PictureKind::Jpeg;
  return PictureKind::Unsupported;
}

Image CapPictureSize(Image picture, int maxSide, ImageScaler& scaler) {
  const int longer = std::max(picture.Width, picture.Height);
  if (maxSide <= 0 || picture.Empty() || longer <= maxSide) return picture;
  const double factor = static_cast<double>(maxSide) / longer;
  const int width = std::clamp(static_cast<int>(std::lround(picture.Width * factor)), 1, maxSide);
  const int height = std::clamp(static_cast<int>(std::lround(picture.Height * factor)), 1, maxSide);
  return scaler.Scale(picture, width, height);
}

std::optional<LoadedPicture> DecodePicture(std::span<const uint8_t> data, PictureKind kind,
                                           const PictureLoadOptions& options) {
  try {
    std::optional<LoadedPicture> picture = Decode(data, kind, options.MaxSide);
    if (!picture) return std::nullopt;
    AreaScaler ownScaler;
    ImageScaler& scaler = options.Scaler != nullptr ? *options.Scaler : ownScaler;
    picture->Pixels = CapPictureSize(std::move(picture->Pixels), options.MaxSide, scaler);
    if (picture->Pixels.Empty()) return std::nullopt;
    return picture;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<PictureKey> CurrentPictureKey(const std::string& path, PictureKind kind, int maxSide) {
  std::error_code error;
  const std::filesystem::path file(path);
  const uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return std::nullopt;
  const auto modified = std::filesystem::last_write_time(file, error);
  if (error) return std::nullopt;
  return PictureKey{path, static_cast<int64_t>(modified.time_since_epoch().count()), size, maxSide, kind};
}

std::optional<LoadedPicture> LoadPictureFile(const std::string& path, std::string_view name,
                                             const PictureLoadOptions& options) {
  try {
    const PictureKind kind = PictureKindOf(name);
    if (kind == PictureKind::Unsupported) return std::nullopt;
    // The key is taken before reading: a file changed in between gets a newer key later and is reloaded.
    std::optional<PictureKey> key = CurrentPictureKey(path, kind, options.MaxSide);
    if (!key) return std::nullopt;
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    std::optional<LoadedPicture> picture = DecodePicture(*bytes, kind, options);
    if (picture) picture->Key = std::move(*key);
    return picture;
  } catch (...) { // nothing may leave a decoding thread
    return std::nullopt;
  }
}

int PictureWorkerCount(int requested, std::size_t jobs) {
  const unsigned cores = std::thread::hardware_concurrency();
  std::size_t count = requested > 0 ? static_cast<std::size_t>(requested) : 1;
  if (cores > 0) count = std::min<std::size_t>(count, cores);
  count = std::min(count, std::max<std::size_t>(jobs, 1));
  return static_cast<int>(count);
}

std::vector<std::optional<LoadedPicture>> LoadPictureFiles(const std::vector<PictureRequest>& requests,
                                                           const PictureLoadOptions& options, int workers,
                                                           PictureDiskCache* disk) {
  std::vector<std::optional<LoadedPicture>> results(requests.size());
  std::atomic<std::size_t> next{0};
  // Each job writes only its own slot, so the results need no lock; LoadPictureFile catches everything.
  auto work = [&]() noexcept {
    for (std::size_t i = next++; i < requests.size(); i = next++)
      results[i] = disk != nullptr ? disk->LoadOrDecode(requests[i], options)
                                   : LoadPictureFile(requests[i].Path, requests[i].Name, options);
  };
  std::vector<std::thread> threads;
  const int count = PictureWorkerCount(workers, requests.size());
  for (int i = 1; i < count; ++i) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break; // fewer threads than asked: the calling thread still takes every job left
    }
  }
  work();
  for (std::thread& thread : threads)
    thread.join();
  return results;
}

} // namespace nq
