#include "boards/PictureDiskCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

#include "boards/PictureLimits.h"

namespace nq {
namespace {

constexpr char Magic[4] = {'N', 'Q', 'P', '1'};
constexpr std::string_view Suffix = ".nqp";
constexpr std::string_view TemporaryMark = ".tmp.";
constexpr uint32_t MaxKeyBytes = 64 * 1024;
// A temporary file this old belongs to a writer that died; live writers finish within a second.
constexpr auto AbandonedAfter = std::chrono::minutes(10);

struct Header {
  char Tag[4];
  uint32_t KeyLength;
  int32_t Width;
  int32_t Height;
  int32_t SourceWidth;
  int32_t SourceHeight;
  int32_t Kind;
  uint32_t Checksum; // over the key text and the pixels
};

std::string KeyText(const PictureKey& key) {
  std::string text = key.Path;
  text += '\0';
  text += std::to_string(key.ModifiedTime) + ':' + std::to_string(key.FileSize) + ':' +
          std::to_string(key.MaxSide) + ':' + std::to_string(static_cast<int>(key.Kind));
  return text;
}

uint64_t Fnv1a(std::string_view text) {
  uint64_t hash = 1469598103934665603ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

uint32_t Checksum(std::string_view key, const std::vector<uint8_t>& pixels) {
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(key.data()), static_cast<uInt>(key.size()));
  // zlib takes lengths as uInt; pictures are far below 4 GB, but feed it in pieces all the same.
  const uint8_t* data = pixels.data();
  std::size_t left = pixels.size();
  while (left > 0) {
    const std::size_t piece = std::min<std::size_t>(left, 1u << 30);
    crc = crc32(crc, data, static_cast<uInt>(piece));
    data += piece;
    left -= piece;
  }
  return static_cast<uint32_t>(crc);
}

bool ReadExactly(int fd, void* buffer, std::size_t size) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    const ssize_t got = ::read(fd, bytes, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool WriteExactly(int fd, const void* buffer, std::size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  while (size > 0) {
    const ssize_t put = ::write(fd, bytes, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool ValidKind(int32_t kind) {
  return kind == static_cast<int32_t>(PictureKind::Png) || kind == static_cast<int32_t>(PictureKind::Bmp) ||
         kind == static_cast<int32_t>(PictureKind::Jpeg);
}

// The picture in an open cache file when the file holds exactly the picture of keyText.
std::optional<LoadedPicture> ReadPicture(int fd, const std::string& keyText) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  Header header{};
  if (!ReadExactly(fd, &header, sizeof header)) return std::nullopt;
  if (std::memcmp(header.Tag, Magic, sizeof Magic) != 0 || header.KeyLength != keyText.size() ||
      header.KeyLength > MaxKeyBytes || !ValidKind(header.Kind) ||
      !PictureSizeAllowed(static_cast<uint64_t>(std::max(header.Width, 0)),
                          static_cast<uint64_t>(std::max(header.Height, 0))))
    return std::nullopt;
  const std::size_t pixelBytes = static_cast<std::size_t>(header.Width) * header.Height * 4;
  // Checked before allocating, so a damaged header cannot ask for memory the file does not hold.
  if (static_cast<uint64_t>(info.st_size) != sizeof header + header.KeyLength + pixelBytes)
    return std::nullopt;
  std::string storedKey(header.KeyLength, '\0');
  if (!ReadExactly(fd, storedKey.data(), storedKey.size()) || storedKey != keyText) return std::nullopt;
  LoadedPicture picture;
  picture.Pixels.Width = header.Width;
  picture.Pixels.Height = header.Height;
  picture.Pixels.Pixels.resize(pixelBytes);
  if (!ReadExactly(fd, picture.Pixels.Pixels.data(), pixelBytes)) return std::nullopt;
  if (Checksum(keyText, picture.Pixels.Pixels) != header.Checksum) return std::nullopt;
  picture.SourceWidth = header.SourceWidth;
  picture.SourceHeight = header.SourceHeight;
  picture.Kind = static_cast<PictureKind>(header.Kind);
  return picture;
}

std::string UniqueSuffix() {
  static std::atomic<uint64_t> counter{0};
  return std::string(TemporaryMark) + std::to_string(::getpid()) + "." + std::to_string(counter++);
}

} // namespace

std::string PictureCacheFolder(std::string_view xdgCacheHome, std::string_view home) {
  // A relative value is to be ignored, as if it were not set.
  if (!xdgCacheHome.empty() && xdgCacheHome.front() == '/') return std::string(xdgCacheHome) + "/nexoquadrix";
  if (!home.empty()) return std::string(home) + "/.cache/nexoquadrix";
  return {};
}

PictureDiskCache::PictureDiskCache(std::string folder, uint64_t budgetBytes)
    : Dir(std::move(folder)), Budget(budgetBytes) {
  std::error_code ignored;
  std::filesystem::create_directories(Dir, ignored);
  // The first store of a run looks at the folder once, so a folder grown by other runs is trimmed.
  WrittenSinceTrim = Budget;
}

std::string PictureDiskCache::FileFor(const PictureKey& key) const {
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(Fnv1a(KeyText(key))));
  return Dir + "/" + name + std::string(Suffix);
}

std::optional<LoadedPicture> PictureDiskCache::Load(const PictureKey& key) {
  const std::string path = FileFor(key);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ++Count.Misses;
    return std::nullopt;
  }
  std::optional<LoadedPicture> picture;
  try {
    picture = ReadPicture(fd, KeyText(key));
  } catch (const std::bad_alloc&) {
    picture.reset();
  }
  if (picture) ::futimens(fd, nullptr); // a hit is a use: least recently used files go first
  ::close(fd);
  if (!picture) {
    ++Count.Rejected;
    ++Count.Misses;
    return std::nullopt;
  }
  picture->Key = key;
  ++Count.Hits;
  return picture;
}

bool PictureDiskCache::Store(const LoadedPicture& picture) {
  const Image& pixels = picture.Pixels;
  const std::size_t pixelBytes = static_cast<std::size_t>(std::max(pixels.Width, 0)) *
                                 static_cast<std::size_t>(std::max(pixels.Height, 0)) * 4;
  if (picture.Key.Path.empty() || pixels.Empty() || pixels.Pixels.size() != pixelBytes ||
      !ValidKind(static_cast<int32_t>(picture.Kind))) {
    ++Count.StoreFailures;
    return false;
  }
  const std::string keyText = KeyText(picture.Key);
  Header header{};
  std::memcpy(header.Tag, Magic, sizeof Magic);
  header.KeyLength = static_cast<uint32_t>(keyText.size());
  header.Width = pixels.Width;
  header.Height = pixels.Height;
  header.SourceWidth = picture.SourceWidth;
  header.SourceHeight = picture.SourceHeight;
  header.Kind = static_cast<int32_t>(picture.Kind);
  header.Checksum = Checksum(keyText, pixels.Pixels);

  const std::string path = FileFor(picture.Key);
  const std::string temporary = path + UniqueSuffix();
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    ++Count.StoreFailures;
    return false;
  }
  // No fsync: a file left short by a crash fails its size or checksum test and is written again.
  bool written = WriteExactly(fd, &header, sizeof header) &&
                 WriteExactly(fd, keyText.data(), keyText.size()) &&
                 WriteExactly(fd, pixels.Pixels.data(), pixelBytes);
  written = (::close(fd) == 0) && written;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    ++Count.StoreFailures;
    return false;
  }
  ++Count.Stored;
  const uint64_t total = WrittenSinceTrim += sizeof header + keyText.size() + pixelBytes;
  if (total >= Budget / 8) Trim();
  return true;
}

std::optional<LoadedPicture> PictureDiskCache::LoadOrDecode(const PictureRequest& request,
                                                            const PictureLoadOptions& options) {
  try {
    const PictureKind kind = PictureKindOf(request.Name);
    if (kind == PictureKind::Unsupported) return std::nullopt;
    const std::optional<PictureKey> key = CurrentPictureKey(request.Path, kind, options.MaxSide);
    if (!key) return std::nullopt;
    if (std::optional<LoadedPicture> stored = Load(*key)) return stored;
    std::optional<LoadedPicture> decoded = LoadPictureFile(request.Path, request.Name, options);
    if (decoded) Store(*decoded);
    return decoded;
  } catch (...) { // runs on decoding threads: nothing may leave it
    return std::nullopt;
  }
}

void PictureDiskCache::Trim() {
  const std::unique_lock<std::mutex> lock(Trimming, std::try_to_lock);
  if (!lock.owns_lock()) return; // another thread is trimming already
  WrittenSinceTrim = 0;
  struct Found {
    std::filesystem::path Path;
    std::filesystem::file_time_type Time;
    uint64_t Size;
  };
  std::vector<Found> files;
  uint64_t total = 0;
  std::error_code error;
  const auto now = std::filesystem::file_time_type::clock::now();
  for (std::filesystem::directory_iterator it(Dir, error), end; !error && it != end; it.increment(error)) {
    std::error_code fileError;
    if (!it->is_regular_file(fileError)) continue;
    const std::string name = it->path().filename().string();
    const auto time = it->last_write_time(fileError);
    if (fileError) continue;
    if (name.find(TemporaryMark) != std::string::npos) {
      if (now - time > AbandonedAfter) std::filesystem::remove(it->path(), fileError);
      continue;
    }
    if (name.size() <= Suffix.size() || name.compare(name.size() - Suffix.size(), Suffix.size(), Suffix) != 0)
      continue;
    const uint64_t size = it->file_size(fileError);
    if (fileError) continue;
    files.push_back({it->path(), time, size});
    total += size;
  }
  if (total <= Budget) return;
  std::sort(files.begin(), files.end(), [](const Found& a, const Found& b) { return a.Time < b.Time; });
  // Down to three quarters, so the next few stores do not trim again.
  const uint64_t target = Budget / 4 * 3;
  for (const Found& file : files) {
    if (total <= target) break;
    std::error_code removeError;
    if (std::filesystem::remove(file.Path, removeError) || !removeError) {
      total -= file.Size;
      ++Count.Evicted;
    }
  }
}

} // namespace nq
