// The picture cache: a re-opened board needs no decode, a changed file is never shown stale, the
// budget evicts the least recently used, and a scaled size is scaled once.
#include <gtest/gtest.h>

#include <chrono>

#include "boards/AreaScaler.h"
#include "boards/PictureCache.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

class CountingScaler final : public ImageScaler {
public:
  Image Scale(const Image& source, int width, int height) override {
    ++Calls;
    return Inner.Scale(source, width, height);
  }
  int Calls = 0;
  AreaScaler Inner;
};

class PictureCacheTest : public ::testing::Test {
protected:
  PictureRequest Put(const std::string& name, const Image& image) {
    test::WriteBytes(Folder.Path(name), test::EncodePng(image));
    return {Folder.Path(name), name};
  }
  test::TempFolder Folder;
  PictureLoadOptions Options{0, nullptr};
};

TEST_F(PictureCacheTest, ReopeningABoardDecodesNothing) {
  PictureCache cache;
  std::vector<PictureRequest> board{Put("a.png", test::PatternImage(20, 10, 1)),
                                    Put("b.png", test::PatternImage(20, 10, 2)),
                                    {Folder.Path("missing.png"), "missing.png"}};
  board.push_back(board[0]); // the same picture in two cells
  const std::vector<PictureRef> first = cache.LoadAll(board, Options);
  EXPECT_EQ(cache.Counters().PictureLoads, 2u);
  ASSERT_TRUE(first[0] && first[1]);
  EXPECT_FALSE(first[2]);
  EXPECT_EQ(first[3], first[0]);
  const std::vector<PictureRef> again = cache.LoadAll(board, Options);
  EXPECT_EQ(cache.Counters().PictureLoads, 2u);
  EXPECT_EQ(cache.Counters().PictureHits, 3u);
  EXPECT_EQ(again[0], first[0]);
  EXPECT_EQ(again[1], first[1]);
  // Another cap is another picture.
  EXPECT_NE(cache.Load(board[0], {5, nullptr}), first[0]);
}

TEST_F(PictureCacheTest, AChangedFileIsDecodedAgain) {
  PictureCache cache;
  const PictureRequest request = Put("a.png", test::MakeImage(8, 8));
  const PictureRef before = cache.Load(request, Options);
  ASSERT_TRUE(before);
  struct Change {
    const char* What;
    Image Content;
    bool Touch; // move the time stamp on
  };
  Image black = test::MakeImage(8, 8), wide = test::MakeImage(9, 8);
  std::fill(black.Pixels.begin(), black.Pixels.end(), 0);
  for (std::size_t i = 3; i < black.Pixels.size(); i += 4)
    black.Pixels[i] = 255;
  const Change changes[] = {{"same size, new time", black, true}, {"new size, same time", wide, false}};
  PictureRef previous = before;
  for (const Change& change : changes) {
    SCOPED_TRACE(change.What);
    const auto stamp = std::filesystem::last_write_time(request.Path);
    Put("a.png", change.Content);
    std::filesystem::last_write_time(request.Path, change.Touch ? stamp + std::chrono::seconds(5) : stamp);
    const PictureRef after = cache.Load(request, Options);
    ASSERT_TRUE(after);
    EXPECT_NE(after, previous);
    EXPECT_EQ(after->Pixels.Pixels, change.Content.Pixels);
    previous = after;
  }
  EXPECT_EQ(cache.Counters().PictureLoads, 3u);
  // A file that disappears is no longer offered from memory.
  std::filesystem::remove(request.Path);
  EXPECT_FALSE(cache.Load(request, Options));
}

TEST_F(PictureCacheTest, BudgetEvictsTheLeastRecentlyUsed) {
  const std::size_t pictureBytes = 100 * 100 * 4;
  PictureCache cache(pictureBytes * 2 + pictureBytes / 2); // room for two pictures
  const PictureRequest a = Put("a.png", test::PatternImage(100, 100, 1));
  const PictureRequest b = Put("b.png", test::PatternImage(100, 100, 2));
  const PictureRequest c = Put("c.png", test::PatternImage(100, 100, 3));
  const PictureRef heldA = cache.Load(a, Options);
  cache.Load(b, Options);
  cache.Load(a, Options); // a is now more recent than b
  cache.Load(c, Options); // b goes
  EXPECT_EQ(cache.EntryCount(), 2u);
  EXPECT_LE(cache.UsedBytes(), cache.BudgetBytes());
  EXPECT_EQ(cache.Counters().Evictions, 1u);
  const std::size_t loads = cache.Counters().PictureLoads;
  cache.Load(a, Options);
  EXPECT_EQ(cache.Counters().PictureLoads, loads);
  cache.Load(b, Options);
  EXPECT_EQ(cache.Counters().PictureLoads, loads + 1);
  // A picture larger than the whole budget is returned but not kept; what callers hold stays valid.
  PictureCache tiny(1000);
  const PictureRef big = tiny.Load(a, Options);
  ASSERT_TRUE(big);
  EXPECT_EQ(tiny.EntryCount(), 0u);
  EXPECT_EQ(big->Pixels.Width, 100);
  EXPECT_EQ(heldA->Pixels.Width, 100);
}

TEST_F(PictureCacheTest, EachScaledSizeIsScaledOnce) {
  PictureCache cache;
  CountingScaler scaler;
  const PictureRef picture = cache.Load(Put("a.png", test::PatternImage(40, 30)), Options);
  ASSERT_TRUE(picture);
  struct Ask {
    int Width, Height, CallsAfter;
    bool Empty;
  };
  const Ask asks[] = {{20, 15, 1, false}, {20, 15, 1, false}, {10, 8, 2, false}, {20, 15, 2, false},
                      {40, 30, 2, false}, {80, 60, 3, false}, {0, 15, 3, true},  {20, -1, 3, true}};
  for (const Ask& ask : asks) {
    SCOPED_TRACE(std::to_string(ask.Width) + "x" + std::to_string(ask.Height));
    const ScaledRef scaled = cache.Scaled(picture, ask.Width, ask.Height, scaler);
    EXPECT_EQ(scaler.Calls, ask.CallsAfter);
    ASSERT_EQ(scaled == nullptr, ask.Empty);
    if (scaled) {
      EXPECT_EQ(scaled->Width, ask.Width);
    }
  }
  EXPECT_FALSE(cache.Scaled(nullptr, 10, 10, scaler));
  // Clearing drops the copies too.
  cache.Clear();
  EXPECT_EQ(cache.UsedBytes(), 0u);
  cache.Scaled(picture, 20, 15, scaler);
  EXPECT_EQ(scaler.Calls, 4);
}

} // namespace
} // namespace nq

namespace nq {
namespace {

// Cells ask for copies by the pixels they hold: a held picture of the cache finds the copies kept for
// its file, anything else is scaled afresh and never kept, and an evicted picture is no longer found.
TEST_F(PictureCacheTest, HeldPixelsFindTheCopiesOfTheirFile) {
  PictureCache cache;
  CountingScaler scaler;
  const PictureRequest request = Put("a.png", test::PatternImage(40, 30));
  const PictureRef picture = cache.Load(request, Options);
  ASSERT_TRUE(picture);
  const std::shared_ptr<const Image> held = SharedPixels(picture);
  EXPECT_EQ(cache.HeldPicture(held.get()), picture);

  const ScaledRef first = cache.ScaledCopy(held, 20, 15, scaler);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Width, 20);
  // The board opened again hands the same pixels to its cells: the kept copy comes back unscaled.
  EXPECT_EQ(SharedPixels(cache.Load(request, Options)), held);
  EXPECT_EQ(cache.ScaledCopy(held, 20, 15, scaler), first);
  EXPECT_EQ(cache.ScaledCopy(held, 40, 30, scaler), held);
  EXPECT_EQ(scaler.Calls, 1);

  const std::size_t entries = cache.EntryCount();
  const auto stranger = std::make_shared<const Image>(test::PatternImage(40, 30));
  EXPECT_FALSE(cache.HeldPicture(stranger.get()));
  for (int i = 0; i < 2; ++i) {
    const ScaledRef copy = cache.ScaledCopy(stranger, 20, 15, scaler);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Height, 15);
  }
  EXPECT_EQ(scaler.Calls, 3);
  EXPECT_EQ(cache.EntryCount(), entries);
  EXPECT_FALSE(cache.ScaledCopy(nullptr, 20, 15, scaler));
  EXPECT_FALSE(cache.ScaledCopy(held, 0, 15, scaler));

  cache.Clear();
  EXPECT_FALSE(cache.HeldPicture(held.get()));
}

TEST_F(PictureCacheTest, AChangedFileNeverGetsTheOldCopy) {
  PictureCache cache;
  CountingScaler scaler;
  const PictureRequest request = Put("a.png", test::PatternImage(40, 30, 1));
  const std::shared_ptr<const Image> before = SharedPixels(cache.Load(request, Options));
  const ScaledRef oldCopy = cache.ScaledCopy(before, 20, 15, scaler);
  const auto stamp = std::filesystem::last_write_time(request.Path);
  Image black = test::MakeImage(40, 30);
  for (std::size_t i = 0; i < black.Pixels.size(); ++i)
    black.Pixels[i] = i % 4 == 3 ? 255 : 0;
  Put("a.png", black);
  std::filesystem::last_write_time(request.Path, stamp + std::chrono::seconds(5));
  const std::shared_ptr<const Image> after = SharedPixels(cache.Load(request, Options));
  ASSERT_TRUE(after);
  const ScaledRef newCopy = cache.ScaledCopy(after, 20, 15, scaler);
  ASSERT_TRUE(newCopy);
  EXPECT_NE(newCopy, oldCopy);
  EXPECT_EQ(newCopy->Pixels[0], 0);
  EXPECT_EQ(scaler.Calls, 2);
}

TEST_F(PictureCacheTest, EvictedPicturesLeaveTheLookup) {
  const std::size_t pictureBytes = 100 * 100 * 4;
  PictureCache cache(pictureBytes + pictureBytes / 2); // room for one picture
  CountingScaler scaler;
  const PictureRef a = cache.Load(Put("a.png", test::PatternImage(100, 100, 1)), Options);
  const PictureRef b = cache.Load(Put("b.png", test::PatternImage(100, 100, 2)), Options);
  ASSERT_TRUE(a && b);
  EXPECT_FALSE(cache.HeldPicture(&a->Pixels));
  EXPECT_EQ(cache.HeldPicture(&b->Pixels), b);
  // The evicted picture still scales for the cell that holds it, without being kept again.
  const ScaledRef copy = cache.ScaledCopy(SharedPixels(a), 50, 50, scaler);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->Width, 50);
  EXPECT_FALSE(cache.HeldPicture(&a->Pixels));
}

TEST(BoardPictureCap, LargestCellTheScreenCanGive) {
  struct Case {
    int ScreenWidth, ScreenHeight, Columns, Rows, MessageBar, Cap;
  };
  const Case cases[] = {
      {1920, 1080, 21, 21, 135, 135}, // small cells: the message bar decides
      {1920, 1080, 21, 21, 0, 92},    // 1920 / 21 rounded up
      {1920, 1080, 1, 1, 135, 1920},  {1920, 1080, 4, 3, 135, 480},   {1080, 1920, 4, 3, 135, 640},
      {1000, 1000, 3, 3, 0, 334},     {1920, 1080, 0, -2, 135, 1920}, // no columns: one cell wide
      {0, 0, 21, 21, 0, 1},           {-5, -5, 1, 1, -5, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BoardPictureCap(c.ScreenWidth, c.ScreenHeight, c.Columns, c.Rows, c.MessageBar), c.Cap)
        << c.ScreenWidth << "x" << c.ScreenHeight << " " << c.Columns << "x" << c.Rows << " bar "
        << c.MessageBar;
  }
}

} // namespace
} // namespace nq
