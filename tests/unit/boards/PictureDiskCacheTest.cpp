// The pictures kept on disk between runs: a stored picture comes back exactly, a damaged or cut file
// is ignored and written again, the folder stays within its budget by dropping the least recently
// used files, and two players writing the same folder never read half a file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "boards/PictureDiskCache.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SetAge(const std::string& path, int secondsAgo) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

std::size_t FilesIn(const std::string& folder, const std::string& part) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    count += entry.path().filename().string().find(part) != std::string::npos ? 1 : 0;
  return count;
}

class PictureDiskCacheTest : public ::testing::Test {
protected:
  PictureRequest Put(const std::string& name, int seed, int side = 24) {
    test::WriteBytes(Pictures.Path(name), test::EncodePng(test::PatternImage(side, side * 3 / 4, seed)));
    return {Pictures.Path(name), name};
  }
  std::string CacheFolder() const { return Cache.Root() + "/nexoquadrix"; }
  PictureKey KeyOf(const PictureRequest& request) const {
    return *CurrentPictureKey(request.Path, PictureKindOf(request.Name), Options.MaxSide);
  }

  test::TempFolder Pictures;
  test::TempFolder Cache;
  PictureLoadOptions Options{16, nullptr};
};

TEST_F(PictureDiskCacheTest, AStoredPictureComesBackExactlyWithoutDecoding) {
  PictureDiskCache disk(CacheFolder());
  const PictureRequest request = Put("a.png", 1);
  const std::optional<LoadedPicture> decoded = disk.LoadOrDecode(request, Options);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(disk.Counters().Stored, 1u);

  PictureDiskCache nextRun(CacheFolder());
  const std::optional<LoadedPicture> stored = nextRun.LoadOrDecode(request, Options);
  ASSERT_TRUE(stored);
  EXPECT_EQ(nextRun.Counters().Hits, 1u);
  EXPECT_EQ(nextRun.Counters().Stored, 0u); // nothing decoded, nothing written
  EXPECT_EQ(stored->Pixels.Width, 16);
  EXPECT_EQ(stored->Pixels.Height, 12);
  EXPECT_EQ(stored->Pixels.Pixels, decoded->Pixels.Pixels);
  EXPECT_EQ(stored->SourceWidth, 24);
  EXPECT_EQ(stored->SourceHeight, 18);
  EXPECT_EQ(stored->Kind, PictureKind::Png);
  EXPECT_EQ(stored->Key, decoded->Key);
}

TEST_F(PictureDiskCacheTest, AnotherVersionOfTheFileOrAnotherCapIsAnotherEntry) {
  PictureDiskCache disk(CacheFolder());
  const PictureRequest request = Put("a.png", 1);
  ASSERT_TRUE(disk.LoadOrDecode(request, Options));
  const PictureKey before = KeyOf(request);
  struct Case {
    const char* What;
    PictureKey Key;
  };
  PictureKey otherCap = before;
  otherCap.MaxSide = 8;
  PictureKey otherTime = before;
  otherTime.ModifiedTime += 1;
  PictureKey otherSize = before;
  otherSize.FileSize += 1;
  PictureKey otherPath = before;
  otherPath.Path += "x";
  for (const Case& c :
       {Case{"cap", otherCap}, Case{"time", otherTime}, Case{"size", otherSize}, Case{"path", otherPath}}) {
    SCOPED_TRACE(c.What);
    EXPECT_NE(disk.FileFor(c.Key), disk.FileFor(before));
    EXPECT_FALSE(disk.Load(c.Key));
  }
  EXPECT_TRUE(disk.Load(before));
}

// Each way a cache file can be damaged: by a crash while the disk filled, by another program, by a
// hash collision (the file of another key under this name).
TEST_F(PictureDiskCacheTest, ADamagedFileIsIgnoredAndWrittenAgain) {
  struct Case {
    const char* What;
    std::function<void(std::vector<uint8_t>&)> Damage;
  };
  const Case cases[] = {
      {"empty", [](std::vector<uint8_t>& b) { b.clear(); }},
      {"header only", [](std::vector<uint8_t>& b) { b.resize(36); }},
      {"cut in the pixels", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }},
      {"one byte short", [](std::vector<uint8_t>& b) { b.pop_back(); }},
      {"one byte more", [](std::vector<uint8_t>& b) { b.push_back(0); }},
      {"a pixel changed", [](std::vector<uint8_t>& b) { b[b.size() - 10] ^= 0x40; }},
      {"wrong tag", [](std::vector<uint8_t>& b) { b[0] = 'X'; }},
      {"another key's file", [](std::vector<uint8_t>& b) { b[40] ^= 0x01; }},
      {"huge declared size", [](std::vector<uint8_t>& b) { b[8] = b[9] = b[12] = b[13] = 0x7F; }},
      {"text",
       [](std::vector<uint8_t>& b) {
         b.assign({'h', 'e', 'l', 'l', 'o'});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    const PictureRequest request = Put(std::string(c.What) + ".png", 3);
    PictureDiskCache first(CacheFolder());
    const std::optional<LoadedPicture> decoded = first.LoadOrDecode(request, Options);
    ASSERT_TRUE(decoded);
    const std::string file = first.FileFor(decoded->Key);
    std::vector<uint8_t> bytes = ReadAll(file);
    ASSERT_GT(bytes.size(), 60u);
    c.Damage(bytes);
    test::WriteBytes(file, bytes);

    PictureDiskCache next(CacheFolder());
    EXPECT_FALSE(next.Load(decoded->Key));
    const std::optional<LoadedPicture> again = next.LoadOrDecode(request, Options);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Pixels.Pixels, decoded->Pixels.Pixels);
    EXPECT_EQ(next.Counters().Rejected, 2u);
    EXPECT_EQ(next.Counters().Stored, 1u);
    const std::optional<LoadedPicture> repaired = next.Load(decoded->Key);
    ASSERT_TRUE(repaired);
    EXPECT_EQ(repaired->Pixels.Pixels, decoded->Pixels.Pixels);
  }
}

TEST_F(PictureDiskCacheTest, TheLeastRecentlyUsedFilesGoFirstOnceTheBudgetIsSpent) {
  PictureDiskCache disk(CacheFolder());
  std::vector<PictureKey> keys;
  for (int i = 0; i < 5; ++i) {
    const PictureRequest request = Put("p" + std::to_string(i) + ".png", i);
    ASSERT_TRUE(disk.LoadOrDecode(request, Options));
    keys.push_back(KeyOf(request));
    SetAge(disk.FileFor(keys.back()), 100 - i); // p0 stored first, p4 last
  }
  // A later run with room for four of these files (16 x 12 pixels, a little over 800 bytes each):
  // p0 and p1 are the oldest, but p0 was used again since.
  PictureDiskCache later(CacheFolder(), 4 * 1000);
  ASSERT_TRUE(later.Load(keys[0]));
  later.Trim();
  struct Expect {
    int Picture;
    bool Kept;
  };
  for (const Expect e :
       {Expect{0, true}, Expect{1, false}, Expect{2, false}, Expect{3, true}, Expect{4, true}}) {
    SCOPED_TRACE(e.Picture);
    EXPECT_EQ(fs::exists(later.FileFor(keys[e.Picture])), e.Kept);
  }
  EXPECT_EQ(later.Counters().Evicted, 2u);
}

TEST_F(PictureDiskCacheTest, StoringKeepsTheFolderWithinItsBudget) {
  PictureDiskCache disk(CacheFolder(), 8 * 1000);
  for (int i = 0; i < 40; ++i)
    ASSERT_TRUE(disk.LoadOrDecode(Put("p" + std::to_string(i) + ".png", i), Options));
  uint64_t total = 0;
  for (const auto& entry : fs::directory_iterator(CacheFolder()))
    total += entry.file_size();
  EXPECT_LE(total, 8u * 1000 + 8 * 1000 / 8 + 1000); // at most one trimming step over
  EXPECT_GT(disk.Counters().Evicted, 0u);
}

TEST_F(PictureDiskCacheTest, AFolderGrownUnderALargerBudgetIsTrimmedAtTheFirstStore) {
  {
    PictureDiskCache earlier(CacheFolder());
    for (int i = 0; i < 30; ++i)
      ASSERT_TRUE(earlier.LoadOrDecode(Put("p" + std::to_string(i) + ".png", i), Options));
  }
  // Room for about ten of those files now; one store is less than an eighth of that budget, the
  // step at which a run that found its folder within budget would look again.
  PictureDiskCache now(CacheFolder(), 10 * 1000);
  ASSERT_TRUE(now.LoadOrDecode(Put("new.png", 99), Options));
  uint64_t total = 0;
  for (const auto& entry : fs::directory_iterator(CacheFolder()))
    total += entry.file_size();
  EXPECT_LE(total, 10u * 1000);
}

TEST_F(PictureDiskCacheTest, TemporaryFilesOfADeadWriterAreRemovedAndLiveOnesKept) {
  PictureDiskCache disk(CacheFolder());
  const std::string dead = CacheFolder() + "/0123456789abcdef.nqp.tmp.1.0";
  const std::string live = CacheFolder() + "/0123456789abcdef.nqp.tmp.2.0";
  test::WriteBytes(dead, std::vector<uint8_t>{1, 2, 3});
  test::WriteBytes(live, std::vector<uint8_t>{1, 2, 3});
  SetAge(dead, 3600);
  disk.Trim();
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(live));
}

TEST_F(PictureDiskCacheTest, AFolderThatCannotBeWrittenLosesNothingButTheStoring) {
  // A file where the folder should be: every store fails, as on a full disk.
  test::WriteBytes(CacheFolder(), std::vector<uint8_t>{0});
  PictureDiskCache disk(CacheFolder());
  const PictureRequest request = Put("a.png", 2);
  const std::optional<LoadedPicture> picture = disk.LoadOrDecode(request, Options);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Pixels.Width, 16);
  EXPECT_EQ(disk.Counters().StoreFailures, 1u);
  EXPECT_FALSE(disk.Load(picture->Key));
}

// Two players sharing the folder store and read the same pictures at once: each read is the whole
// picture or nothing, and no temporary file is left behind.
TEST_F(PictureDiskCacheTest, TwoWritersNeverShowHalfAFile) {
  std::vector<PictureRequest> requests;
  for (int i = 0; i < 6; ++i)
    requests.push_back(Put("p" + std::to_string(i) + ".png", i, 64));
  PictureDiskCache reference(Cache.Root() + "/reference");
  std::vector<std::vector<uint8_t>> expected;
  for (const PictureRequest& request : requests)
    expected.push_back(reference.LoadOrDecode(request, Options)->Pixels.Pixels);

  PictureDiskCache one(CacheFolder());
  PictureDiskCache two(CacheFolder());
  std::atomic<int> wrong{0};
  auto player = [&](PictureDiskCache& disk) {
    for (int round = 0; round < 30; ++round) {
      for (std::size_t i = 0; i < requests.size(); ++i) {
        const PictureKey key = KeyOf(requests[i]);
        if (const std::optional<LoadedPicture> got = disk.Load(key))
          wrong += got->Pixels.Pixels != expected[i] ? 1 : 0;
        const std::optional<LoadedPicture> decoded =
            LoadPictureFile(requests[i].Path, requests[i].Name, Options);
        ASSERT_TRUE(decoded);
        disk.Store(*decoded);
      }
    }
  };
  std::thread first(player, std::ref(one));
  std::thread second(player, std::ref(two));
  first.join();
  second.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(one.Counters().Rejected + two.Counters().Rejected, 0u);
  EXPECT_EQ(FilesIn(CacheFolder(), ".tmp."), 0u);
  EXPECT_EQ(FilesIn(CacheFolder(), ".nqp"), requests.size());
}

TEST(PictureCacheFolderTest, FollowsTheCacheHomeOrTheHomeFolder) {
  struct Case {
    const char* Xdg;
    const char* Home;
    const char* Expected;
  };
  for (const Case& c :
       {Case{"/var/cache/me", "/home/me", "/var/cache/me/nexoquadrix"},
        Case{"", "/home/me", "/home/me/.cache/nexoquadrix"},
        Case{"relative/cache", "/home/me", "/home/me/.cache/nexoquadrix"}, Case{"", "", ""}}) {
    SCOPED_TRACE(std::string(c.Xdg) + "|" + c.Home);
    EXPECT_EQ(PictureCacheFolder(c.Xdg, c.Home), c.Expected);
  }
}

} // namespace
} // namespace nq
