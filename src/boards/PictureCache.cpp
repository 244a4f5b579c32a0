#include "boards/PictureCache.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace nq {
namespace {

std::string KeyText(const PictureKey& key) {
  std::string text = key.Path;
  text += '\0';
  text += std::to_string(key.ModifiedTime) + ':' + std::to_string(key.FileSize) + ':' +
          std::to_string(key.MaxSide) + ':' + std::to_string(static_cast<int>(key.Kind));
  return text;
}

std::string ScaledKeyText(const PictureKey& key, int width, int height) {
  return KeyText(key) + '\0' + std::to_string(width) + 'x' + std::to_string(height);
}

std::size_t Footprint(const Image& image, const std::string& key) {
  return image.Pixels.size() + key.size() + sizeof(LoadedPicture) + 64;
}

} // namespace

int BoardPictureCap(int screenWidth, int screenHeight, int columns, int rows, int messageBarHeight) {
  auto share = [](int length, int parts) {
    return (std::max(length, 0) + std::max(parts, 1) - 1) / std::max(parts, 1);
  };
  return std::max({share(screenWidth, columns), share(screenHeight, rows), messageBarHeight, 1});
}

PictureCache::PictureCache(std::size_t budgetBytes) : Budget(budgetBytes) {}

PictureCache::Entry* PictureCache::Find(const std::string& key) {
  const auto found = Index.find(key);
  if (found == Index.end()) return nullptr;
  Entries.splice(Entries.begin(), Entries, found->second);
  return &*found->second;
}

void PictureCache::Forget(EntryList::iterator entry) {
  Used -= entry->Bytes;
  if (entry->Picture) PixelsIndex.erase(&entry->Picture->Pixels);
  Index.erase(entry->Key);
  Entries.erase(entry);
}

void PictureCache::Insert(Entry entry) {
  const auto old = Index.find(entry.Key);
  if (old != Index.end()) Forget(old->second);
  Used += entry.Bytes;
  Entries.push_front(std::move(entry));
  Index[Entries.front().Key] = Entries.begin();
  if (Entries.front().Picture) PixelsIndex[&Entries.front().Picture->Pixels] = Entries.begin();
  EvictOverBudget();
}

// The newest entry goes last, and goes too when it alone is over budget; holders keep their copies.
void PictureCache::EvictOverBudget() {
  while (Used > Budget && !Entries.empty()) {
    Forget(std::prev(Entries.end()));
    ++Count.Evictions;
  }
}

PictureRef PictureCache::Keep(std::optional<LoadedPicture> loaded) {
  if (!loaded) return nullptr;
  auto picture = std::make_shared<const LoadedPicture>(std::move(*loaded));
  if (!picture->Key.Path.empty()) {
    std::string key = KeyText(picture->Key);
    const std::size_t bytes = Footprint(picture->Pixels, key);
    Insert(Entry{std::move(key), picture, nullptr, bytes});
  }
  return picture;
}

PictureRef PictureCache::Load(const PictureRequest& request, const PictureLoadOptions& options) {
  return std::move(LoadAll({request}, options, 1).front());
}

std::vector<PictureRef> PictureCache::LoadAll(const std::vector<PictureRequest>& requests,
                                              const PictureLoadOptions& options, int workers) {
  std::vector<PictureRef> results(requests.size());
  std::vector<PictureRequest> misses;
  std::vector<std::vector<std::size_t>> missSlots; // the request positions each miss answers
  std::unordered_map<std::string, std::size_t> missByKey;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const PictureKind kind = PictureKindOf(requests[i].Name);
    if (kind == PictureKind::Unsupported) continue;
    const std::optional<PictureKey> key = CurrentPictureKey(requests[i].Path, kind, options.MaxSide);
    if (!key) continue; // missing file: nothing to load
    std::string text = KeyText(*key);
    if (Entry* hit = Find(text)) {
      results[i] = hit->Picture;
      ++Count.PictureHits;
      continue;
    }
    // A board showing the same picture in several cells decodes it once.
    const auto [slot, added] = missByKey.try_emplace(std::move(text), misses.size());
    if (added) {
      misses.push_back(requests[i]);
      missSlots.emplace_back();
    }
    missSlots[slot->second].push_back(i);
  }
  Count.PictureLoads += misses.size();
  std::vector<std::optional<LoadedPicture>> loaded = LoadPictureFiles(misses, options, workers, Disk);
  for (std::size_t m = 0; m < misses.size(); ++m) {
    const PictureRef picture = Keep(std::move(loaded[m]));
    for (const std::size_t i : missSlots[m])
      results[i] = picture;
  }
  return results;
}

PictureRef PictureCache::Cached(const PictureRequest& request, const PictureLoadOptions& options) {
  const PictureKind kind = PictureKindOf(request.Name);
  if (kind == PictureKind::Unsupported) return nullptr;
  const std::optional<PictureKey> key = CurrentPictureKey(request.Path, kind, options.MaxSide);
  if (!key) return nullptr;
  Entry* hit = Find(KeyText(*key));
  if (hit == nullptr || !hit->Picture) return nullptr;
  ++Count.PictureHits;
  return hit->Picture;
}

ScaledRef PictureCache::Scaled(const PictureRef& picture, int width, int height, ImageScaler& scaler) {
  if (!picture || picture->Pixels.Empty() || width < 1 || height < 1) return nullptr;
  if (width == picture->Pixels.Width && height == picture->Pixels.Height)
    return ScaledRef(picture, &picture->Pixels);
  // A picture decoded from memory has no file key to remember its copies by.
  if (picture->Key.Path.empty())
    return std::make_shared<const Image>(scaler.Scale(picture->Pixels, width, height));
  std::string key = ScaledKeyText(picture->Key, width, height);
  if (Entry* hit = Find(key)) {
    ++Count.ScaledHits;
    return hit->Copy;
  }
  ++Count.ScaledMisses;
  auto copy = std::make_shared<const Image>(scaler.Scale(picture->Pixels, width, height));
  const std::size_t bytes = Footprint(*copy, key);
  Insert(Entry{std::move(key), nullptr, copy, bytes});
  return copy;
}

PictureRef PictureCache::HeldPicture(const Image* held) const {
  const auto found = PixelsIndex.find(held);
  return found == PixelsIndex.end() ? nullptr : found->second->Picture;
}

ScaledRef PictureCache::ScaledCopy(const std::shared_ptr<const Image>& held, int32_t width, int32_t height,
                                   ImageScaler& scaler) {
  if (!held || held->Empty() || width < 1 || height < 1) return nullptr;
  if (const PictureRef picture = HeldPicture(held.get())) return Scaled(picture, width, height, scaler);
  if (width == held->Width && height == held->Height) return held;
  return std::make_shared<const Image>(scaler.Scale(*held, width, height));
}

void PictureCache::Clear() {
  Entries.clear();
  Index.clear();
  PixelsIndex.clear();
  Used = 0;
}

} // namespace nq
