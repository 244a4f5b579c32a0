// A board's pictures loaded on worker threads: every request is answered once on the UI thread,
// pictures held in memory come at once, and a board that is left before its pictures are ready never
// receives them, wherever they were when it was left.
#include <gtest/gtest.h>

#include <map>

#include "boards/BoardPictureLoader.h"
#include "boards/PictureDiskCache.h"
#include "support/FakeUiQueue.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

class BoardPictureLoaderTest : public ::testing::Test {
protected:
  // A board of n distinct pictures named prefix0.png, prefix1.png...; each a solid colour per board.
  std::vector<PictureRequest> Board(const std::string& prefix, int n, uint8_t red) {
    std::vector<PictureRequest> requests;
    for (int i = 0; i < n; ++i) {
      Image image = test::MakeImage(40, 30);
      for (std::size_t p = 0; p < image.Pixels.size(); p += 4)
        image.Pixels[p] = red;
      const std::string name = prefix + std::to_string(i) + ".png";
      test::WriteBytes(Folder.Path(name), test::EncodePng(image));
      requests.push_back({Folder.Path(name), name});
    }
    return requests;
  }
  // Starts a board whose arrivals are recorded under its label.
  void Start(BoardPictureLoader& loader, const std::vector<PictureRequest>& board, const std::string& label) {
    loader.Start(
        board, Options,
        [this, label](std::size_t i, const PictureRef& picture) {
          Arrivals[label].push_back({i, picture});
        },
        [this] { ++Groups; });
  }
  bool Finish(BoardPictureLoader& loader) {
    return Queue.RunUntil([&] { return loader.Pending() == 0; });
  }

  struct Arrival {
    std::size_t Index;
    PictureRef Picture;
  };
  test::TempFolder Folder;
  test::FakeUiQueue Queue;
  PictureCache Memory;
  PictureLoadOptions Options{0, nullptr};
  std::map<std::string, std::vector<Arrival>> Arrivals;
  int Groups = 0;
};

TEST_F(BoardPictureLoaderTest, EveryRequestIsAnsweredOnceOnTheUiThread) {
  BoardPictureLoader loader(Memory, Queue);
  std::vector<PictureRequest> board = Board("a", 12, 10);
  board.push_back({Folder.Path("missing.png"), "missing.png"});
  board.push_back(board[3]); // the same picture in two cells
  Start(loader, board, "a");
  EXPECT_TRUE(Arrivals["a"].empty()); // nothing arrives inside Start: memory held none
  EXPECT_EQ(loader.Pending(), 13u);
  ASSERT_TRUE(Finish(loader));
  std::map<std::size_t, PictureRef> byIndex;
  for (const Arrival& a : Arrivals["a"])
    EXPECT_TRUE(byIndex.emplace(a.Index, a.Picture).second) << "twice: " << a.Index;
  ASSERT_EQ(byIndex.size(), board.size());
  EXPECT_FALSE(byIndex[12]);
  EXPECT_EQ(byIndex[13], byIndex[3]);
  for (std::size_t i = 0; i < 12; ++i)
    EXPECT_TRUE(byIndex[i]) << i;
  EXPECT_GE(Groups, 1);
}

TEST_F(BoardPictureLoaderTest, PicturesHeldInMemoryArriveAtOnce) {
  BoardPictureLoader loader(Memory, Queue);
  const std::vector<PictureRequest> board = Board("a", 5, 10);
  Start(loader, board, "first");
  ASSERT_TRUE(Finish(loader));
  const int posted = Queue.PostedCount();
  Start(loader, board, "again");
  EXPECT_EQ(Arrivals["again"].size(), 5u);
  EXPECT_EQ(loader.Pending(), 0u);
  EXPECT_EQ(Queue.PostedCount(), posted);
}

// Leaving a board at each point its pictures can be: still queued, decoded and waiting for the UI
// thread, or never followed by another board.
TEST_F(BoardPictureLoaderTest, ALeftBoardNeverReceivesItsPictures) {
  enum class LeaveWhen { AtOnce, ResultsWaitingForTheUiThread };
  struct Case {
    const char* What;
    LeaveWhen When;
    bool OpenAnother;
  };
  for (const Case& c :
       {Case{"another board at once", LeaveWhen::AtOnce, true},
        Case{"another board while results wait", LeaveWhen::ResultsWaitingForTheUiThread, true},
        Case{"cancelled while results wait", LeaveWhen::ResultsWaitingForTheUiThread, false}}) {
    SCOPED_TRACE(c.What);
    Arrivals.clear();
    PictureCache memory;
    BoardPictureLoader loader(memory, Queue, 2);
    const std::vector<PictureRequest> left = Board(std::string("left") + c.What, 40, 200);
    const std::vector<PictureRequest> next = Board(std::string("next") + c.What, 6, 50);
    loader.Start(
        left, Options,
        [this](std::size_t i, const PictureRef& p) {
          Arrivals["left"].push_back({i, p});
        },
        [] {});
    if (c.When == LeaveWhen::ResultsWaitingForTheUiThread) {
      ASSERT_TRUE(Queue.WaitForTask());
    }
    if (c.OpenAnother)
      loader.Start(
          next, Options,
          [this](std::size_t i, const PictureRef& p) {
            Arrivals["next"].push_back({i, p});
          },
          [] {});
    else
      loader.Cancel();
    if (c.OpenAnother) {
      ASSERT_TRUE(Queue.RunUntil([&] { return loader.Pending() == 0; }));
      ASSERT_EQ(Arrivals["next"].size(), next.size());
      for (const Arrival& a : Arrivals["next"]) {
        ASSERT_TRUE(a.Picture);
        EXPECT_EQ(a.Picture->Pixels.Pixels[0], 50);
      }
    }
    EXPECT_EQ(loader.Pending(), 0u);
    Queue.RunAll(); // whatever the left board's workers still posted
    EXPECT_TRUE(Arrivals["left"].empty());
  }
}

TEST_F(BoardPictureLoaderTest, ABoardSeenInAnEarlierRunComesFromDisk) {
  const std::vector<PictureRequest> board = Board("a", 8, 90);
  test::TempFolder cache;
  {
    PictureDiskCache disk(cache.Root());
    PictureCache memory;
    memory.SetDiskCache(&disk);
    BoardPictureLoader loader(memory, Queue);
    Start(loader, board, "first run");
    ASSERT_TRUE(Finish(loader));
    EXPECT_EQ(disk.Counters().Stored, 8u);
  }
  PictureDiskCache disk(cache.Root());
  PictureCache memory;
  memory.SetDiskCache(&disk);
  BoardPictureLoader loader(memory, Queue);
  Start(loader, board, "second run");
  ASSERT_TRUE(Finish(loader));
  EXPECT_EQ(disk.Counters().Hits, 8u);
  EXPECT_EQ(disk.Counters().Stored, 0u);
  ASSERT_EQ(Arrivals["second run"].size(), 8u);
  for (const Arrival& a : Arrivals["second run"])
    EXPECT_EQ(a.Picture->Pixels.Pixels, Arrivals["first run"][0].Picture->Pixels.Pixels);
}

} // namespace
} // namespace nq
