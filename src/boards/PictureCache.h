#pragma once
// Decoded pictures and their scaled copies kept in memory, so a board opened again recently shows at
// once and a hover repaint never scales a picture again. Entries are found by file path, modification
// time, size and cap, so a changed file is never shown stale. The least recently used entries go first
// once the byte budget is spent. Meant for the UI thread only: it takes no locks (the decoding of
// LoadAll runs on worker threads, but only the calling thread touches the cache). Cell boxes ask it for
// scaled copies by the pixels they hold, so a board opened again reuses the copies made before.
#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "boards/PictureLoader.h"
#include "boards/ScaledPictureSource.h"

namespace nq {

using PictureRef = std::shared_ptr<const LoadedPicture>;
using ScaledRef = std::shared_ptr<const Image>;

/// The pixels of a loaded picture as a shared image that keeps the whole picture alive (for a cell's holder).
inline std::shared_ptr<const Image> SharedPixels(const PictureRef& picture) {
  return picture ? std::shared_ptr<const Image>(picture, &picture->Pixels) : nullptr;
}

/// The longest side a board's pictures are kept at: the largest cell a board of columns x rows can
/// get on a screen of screenWidth x screenHeight, or the message bar's height (a message cell shows
/// a grid cell's picture) when that is more; at least 1.
int BoardPictureCap(int screenWidth, int screenHeight, int columns, int rows, int messageBarHeight);

struct PictureCacheCounters {
  std::size_t PictureHits = 0;
  std::size_t PictureLoads = 0; // decodes attempted on a miss
  std::size_t ScaledHits = 0;
  std::size_t ScaledMisses = 0;
  std::size_t Evictions = 0;
};

class PictureCache final : public ScaledPictureSource {
public:
  static constexpr std::size_t DefaultBudgetBytes = 96u * 1024 * 1024;

  explicit PictureCache(std::size_t budgetBytes = DefaultBudgetBytes);

  /// The picture of request, from memory when the file still has the same time and size, else loaded
  /// and kept; nullptr when it does not load. The returned picture stays valid after eviction.
  PictureRef Load(const PictureRequest& request, const PictureLoadOptions& options);

  /// Load for every request of a board, decoding the misses on up to `workers` threads; request order.
  std::vector<PictureRef> LoadAll(const std::vector<PictureRequest>& requests,
                                  const PictureLoadOptions& options, int workers = DefaultPictureWorkers);

  /// The picture of request when this cache holds it for the file as it is now; nullptr otherwise
  /// (nothing is loaded).
  PictureRef Cached(const PictureRequest& request, const PictureLoadOptions& options);
  /// Keeps a picture loaded elsewhere (on a decoding thread) and returns it; nullptr for none.
  PictureRef Adopt(std::optional<LoadedPicture> loaded) { return Keep(std::move(loaded)); }

  /// Where pictures missing from memory are looked for before decoding, and stored after; may be null.
  void SetDiskCache(PictureDiskCache* disk) { Disk = disk; }
  PictureDiskCache* DiskCache() const { return Disk; }

  /// The picture scaled to exactly width x height with scaler, scaled once and then kept; the picture
  /// itself when the size is its own; nullptr for no picture or a size below 1.
  ScaledRef Scaled(const PictureRef& picture, int width, int height, ImageScaler& scaler);

  /// The same for pixels a cell holds: kept copies when held is the pixels of a picture this cache
  /// holds, otherwise scaled with scaler and not kept (a picture from memory or already evicted).
  ScaledRef ScaledCopy(const std::shared_ptr<const Image>& held, int32_t width, int32_t height,
                       ImageScaler& scaler) override;

  /// The picture this cache holds whose pixels are at held; nullptr when it holds none.
  PictureRef HeldPicture(const Image* held) const;

  /// Drops every entry.
  void Clear();

  std::size_t UsedBytes() const { return Used; }
  std::size_t BudgetBytes() const { return Budget; }
  std::size_t EntryCount() const { return Entries.size(); }
  const PictureCacheCounters& Counters() const { return Count; }

private:
  struct Entry {
    std::string Key;
    PictureRef Picture; // set for a decoded picture
    ScaledRef Copy;     // set for a scaled copy
    std::size_t Bytes = 0;
  };
  using EntryList = std::list<Entry>;

  Entry* Find(const std::string& key);
  void Insert(Entry entry);
  void Forget(EntryList::iterator entry);
  void EvictOverBudget();
  PictureRef Keep(std::optional<LoadedPicture> loaded);

  std::size_t Budget;
  std::size_t Used = 0;
  EntryList Entries; // most recently used first
  std::unordered_map<std::string, EntryList::iterator> Index;
  // Pixels of every held picture to its entry; a pointer is unique while its entry keeps it alive.
  std::unordered_map<const Image*, EntryList::iterator> PixelsIndex;
  PictureCacheCounters Count;
  PictureDiskCache* Disk = nullptr;
};

} // namespace nq
