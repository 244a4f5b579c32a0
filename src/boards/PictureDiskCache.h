#pragma once
// Capped pictures kept on disk between runs, so a board seen before opens without decoding its
// picture files. One raw file per picture version (file path, size, time, cap and kind), holding its
// own key and a checksum: a file that is cut short, damaged or belongs to another key is ignored and
// written again. Files are written to a temporary name and renamed, so two players sharing the folder
// never see half a file; the folder is kept under a byte budget by dropping the files used least
// recently (a hit refreshes its file's time). Safe to call from several threads at once.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "boards/PictureLoader.h"

namespace nq {

struct PictureDiskCacheCounters {
  std::atomic<uint64_t> Hits{0};
  std::atomic<uint64_t> Misses{0};   // no file, or one that was rejected
  std::atomic<uint64_t> Rejected{0}; // files found but corrupt, truncated or of another key
  std::atomic<uint64_t> Stored{0};
  std::atomic<uint64_t> StoreFailures{0};
  std::atomic<uint64_t> Evicted{0};
};

class PictureDiskCache {
public:
  static constexpr uint64_t DefaultBudgetBytes = 256ull * 1024 * 1024;

  /// Uses folder (created when missing) and keeps it within budgetBytes.
  explicit PictureDiskCache(std::string folder, uint64_t budgetBytes = DefaultBudgetBytes);

  /// The stored picture of key; nullopt when there is none or its file does not hold exactly it.
  std::optional<LoadedPicture> Load(const PictureKey& key);
  /// Stores a picture loaded from a file under its key; false when it could not be written (full disk,
  /// no folder), which loses nothing but the time saved next run.
  bool Store(const LoadedPicture& picture);
  /// The picture of request from disk when stored, else decoded from its file and stored.
  std::optional<LoadedPicture> LoadOrDecode(const PictureRequest& request, const PictureLoadOptions& options);

  /// Removes the least recently used files until the folder holds at most the budget (and temporary
  /// files that a player which died while writing left behind).
  void Trim();

  /// Where the picture of key is stored.
  std::string FileFor(const PictureKey& key) const;
  const std::string& Folder() const { return Dir; }
  const PictureDiskCacheCounters& Counters() const { return Count; }

private:
  std::string Dir;
  uint64_t Budget;
  std::atomic<uint64_t> WrittenSinceTrim{0};
  std::mutex Trimming;
  PictureDiskCacheCounters Count;
};

/// The picture folder under a cache home: $XDG_CACHE_HOME/nexoquadrix, else $HOME/.cache/nexoquadrix;
/// empty when neither is set (no disk cache).
std::string PictureCacheFolder(std::string_view xdgCacheHome, std::string_view home);

} // namespace nq
