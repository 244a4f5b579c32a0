#pragma once
// Loading a cell's picture file into the full-size picture its cell keeps. The kind comes from the
// name as the board wrote it; PNG and BMP are held as bitmaps (only those take the halftone shrink
// when a cell is painted), JPEG is not. Every failure is "no picture", never a crash.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "platform/ImageScaler.h"

namespace nq {

class PictureDiskCache;

enum class PictureKind { Png, Bmp, Jpeg, Unsupported };

/// The decoder a picture name asks for: PNG when its last three characters are "png" in any letter
/// case, otherwise by the text after the last "." ("bmp", "jpg", "jpeg"); anything else is Unsupported.
PictureKind PictureKindOf(std::string_view name);

// Which version of which file a picture came from: a changed file never matches an older key.
struct PictureKey {
  std::string Path;
  int64_t ModifiedTime = 0; // file system time stamp, in its own ticks
  uint64_t FileSize = 0;
  int MaxSide = 0;
  PictureKind Kind = PictureKind::Unsupported;
  bool operator==(const PictureKey&) const = default;
};

struct LoadedPicture {
  Image Pixels;        // opaque RGBA, longer side at most the cap it was loaded with
  int SourceWidth = 0; // the size the file declares, before any reduction
  int SourceHeight = 0;
  PictureKind Kind = PictureKind::Unsupported;
  PictureKey Key; // empty Path for a picture decoded from memory

  /// True for PNG and BMP pictures, the only ones held as bitmaps.
  bool IsBitmap() const { return Kind == PictureKind::Png || Kind == PictureKind::Bmp; }
};

struct PictureLoadOptions {
  // Longest side a picture is kept at: the largest cell the screen can show. 0 keeps the decoded size.
  int MaxSide = 0;
  // Shrinks pictures to the cap; called from the decoding threads at once, so it must hold no shared
  // state. nullptr uses an AreaScaler.
  ImageScaler* Scaler = nullptr;
};

// One picture of a board: the file system path (UTF-8) and the name as written in the board.
struct PictureRequest {
  std::string Path;
  std::string Name;
};

inline constexpr int DefaultPictureWorkers = 2;

/// The picture file at path (UTF-8), decoded by the kind its name asks for and capped; nullopt when the
/// file is missing, unreadable, of an unsupported kind, corrupt, cut short or declares a refused size.
std::optional<LoadedPicture> LoadPictureFile(const std::string& path, std::string_view name,
                                             const PictureLoadOptions& options = {});

/// The same decoding from bytes in memory (no key); nullopt when they do not yield a picture.
std::optional<LoadedPicture> DecodePicture(std::span<const uint8_t> data, PictureKind kind,
                                           const PictureLoadOptions& options = {});

/// Loads every request, on up to `workers` threads (the caller's included, never more than the
/// machine's cores); results in request order, identical to loading them one by one. With disk, a
/// picture stored there is read instead of decoded, and a decoded one is stored.
std::vector<std::optional<LoadedPicture>> LoadPictureFiles(const std::vector<PictureRequest>& requests,
                                                           const PictureLoadOptions& options,
                                                           int workers = DefaultPictureWorkers,
                                                           PictureDiskCache* disk = nullptr);

/// Number of threads LoadPictureFiles uses for this many jobs: requested, capped by the cores and the jobs,
/// at least 1.
int PictureWorkerCount(int requested, std::size_t jobs);

/// The picture shrunk so its longer side is at most maxSide (proportions kept, each side at least 1);
/// returned unchanged when it already fits or maxSide <= 0.
Image CapPictureSize(Image picture, int maxSide, ImageScaler& scaler);

/// The key of the file at path as it is now; nullopt when it cannot be examined.
std::optional<PictureKey> CurrentPictureKey(const std::string& path, PictureKind kind, int maxSide);

} // namespace nq
