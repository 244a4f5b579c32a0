// Opening boards: the one-deep history, the home board, the menu board, failed reads, the bars
// that follow each board, and pictures that arrive after their board is shown.
#include <filesystem>
#include <gtest/gtest.h>

#include "ShellFakes.h"
#include "support/FakeUiQueue.h"
#include "support/PictureTestFiles.h"

namespace nq::test {
namespace {

class BoardOpeningTest : public ::testing::Test {
protected:
  void SetUp() override {
    A = h.WriteBoard("a.qdx", {.Prefix = "a"});
    B = h.WriteBoard("b.qdx", {.Prefix = "b"});
    h.Started();
  }
  BoardOpening& Boards() { return h.ThePlayer->Boards(); }
  void Back() { Boards().OpenBoard(h.State().PreviousBoardFile); }

  ShellHarness h;
  std::string A;
  std::string B;
};

TEST_F(BoardOpeningTest, BackAlternatesBetweenTheLastTwoBoards) {
  Boards().OpenBoard(A);
  EXPECT_EQ(h.State().PreviousBoardFile, "");
  Boards().OpenBoard(B);
  Back();
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  EXPECT_EQ(h.Caption(1), "a1");
  Back();
  EXPECT_EQ(h.State().CurrentBoardFile, B);
  EXPECT_EQ(h.Caption(2), "b2");
  EXPECT_EQ(h.State().PreviousBoardFile, A);
}

TEST_F(BoardOpeningTest, TheMenuBoardIsNeverRecordedAsPrevious) {
  h.WriteMenuBoard();
  Boards().OpenBoard(B);
  Boards().OpenBoard(A);
  h.ThePlayer->MenuClick("MenuMenu");
  EXPECT_EQ(h.State().CurrentBoardFile, h.MenuBoardPath());
  EXPECT_EQ(h.Caption(1), "menu1");
  Back();
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  EXPECT_EQ(h.State().PreviousBoardFile, A);
}

TEST_F(BoardOpeningTest, MenuWithoutAMenuBoardDoesNothing) {
  Boards().OpenBoard(A);
  h.ThePlayer->MenuClick("MenuMenu");
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  EXPECT_TRUE(h.Messages.Messages.empty());
}

TEST_F(BoardOpeningTest, OpeningTheBoardOnScreenRecordsItAsPrevious) {
  Boards().OpenBoard(A);
  Boards().OpenBoard(B);
  Boards().OpenBoard(B);
  EXPECT_EQ(h.State().PreviousBoardFile, B);
}

TEST_F(BoardOpeningTest, LinkedBoardIsResolvedAgainstTheBoardsFolder) {
  Boards().OpenBoard(A);
  Boards().OpenLinkedBoard("b.qdx");
  EXPECT_EQ(h.State().CurrentBoardFile, B);
  EXPECT_EQ(h.State().PreviousBoardFile, A);
}

TEST_F(BoardOpeningTest, RoundTripsBetweenFoldersComeBackToTheSameName) {
  std::filesystem::create_directories(h.Root + "boards/ca");
  std::filesystem::create_directories(h.Root + "boards/es");
  const std::string ca = h.WriteBoard("ca/inici.qdx", {.Prefix = "ca"});
  const std::string es = h.WriteBoard("es/inici.qdx", {.Prefix = "es"});
  Boards().OpenBoard(ca);
  for (int trip = 0; trip < 3; ++trip) {
    Boards().OpenLinkedBoard("../es/inici.qdx");
    EXPECT_EQ(h.State().CurrentBoardFile, es);
    Boards().OpenLinkedBoard("..\\ca\\inici.qdx"); // a link written on Windows
    EXPECT_EQ(h.State().CurrentBoardFile, ca);
    EXPECT_EQ(h.State().PreviousBoardFile, es);
  }
  EXPECT_EQ(h.State().DirectoriActual, h.Root + "boards/ca/");
}

struct NormalCase {
  const char* Path;
  const char* Normal;
};

TEST(NormalBoardPath, IsAbsoluteAndLexicallyNormal) {
  const std::vector<NormalCase> cases = {
      {"x.qdx", "/w/d/x.qdx"},
      {"sub/../x.qdx", "/w/d/x.qdx"},
      {"a/../b/../a/x.qdx", "/w/d/a/x.qdx"},
      {"./a//x.qdx", "/w/d/a/x.qdx"},
      {"..\\e\\x.qdx", "/w/e/x.qdx"},
      {"/b/./c/../x.qdx", "/b/x.qdx"},
      {"/../../x.qdx", "/x.qdx"},
      {"C:\\taulers\\x.qdx", "C:\\taulers\\x.qdx"},
      {"\\taulers\\x.qdx", "\\taulers\\x.qdx"},
      {"", ""},
  };
  for (const NormalCase& c : cases)
    EXPECT_EQ(NormalBoardPath(c.Path, "/w/d/"), c.Normal) << c.Path;
}

TEST_F(BoardOpeningTest, OpenFileDialogMakesTheHomeBoardAndEmptiesHistory) {
  Boards().OpenBoard(A);
  Boards().OpenBoard(B);
  h.Messages.FileChoice = A;
  h.ThePlayer->MenuClick("MenuOpenFile");
  ASSERT_EQ(h.Messages.FileQuestions.size(), 1u);
  EXPECT_EQ(h.Messages.FileQuestions[0].PresetName, "");
  EXPECT_EQ(h.Messages.FileQuestions[0].InitialFolder, h.Root + "boards/");
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  EXPECT_EQ(h.State().HomeBoardFile, A);
  EXPECT_EQ(h.State().PreviousBoardFile, "");
  EXPECT_TRUE(h.Window.HookInstalled);
  Back(); // nothing to go back to: only the layout is redone
  EXPECT_EQ(h.State().CurrentBoardFile, A);

  h.Messages.FileChoice.reset();
  h.ThePlayer->MenuClick("MenuOpenFile");
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  EXPECT_TRUE(h.Window.HookInstalled);
}

struct DropCase {
  const char* Name;
  const char* File;
  bool Opens;
};

class DroppedFile : public BoardOpeningTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DroppedFile, OnlyQdxNamesOpenAndBecomeHome) {
  const std::string dropped = h.Root + "boards/" + GetParam().File;
  ShellHarness::WriteFile(dropped, BoardText({.Prefix = "x"}));
  Boards().OpenBoard(A);
  Boards().OpenBoard(B);
  const size_t messages = h.Messages.Messages.size();
  h.ThePlayer->DroppedFile(dropped);
  EXPECT_EQ(h.Window.Captions.back(), "WMDragDrop");
  EXPECT_EQ(h.Messages.Messages.size(), messages);
  if (GetParam().Opens) {
    EXPECT_EQ(h.State().CurrentBoardFile, dropped);
    EXPECT_EQ(h.State().HomeBoardFile, dropped);
    EXPECT_EQ(h.State().PreviousBoardFile, "");
  } else {
    EXPECT_EQ(h.State().CurrentBoardFile, B);
    EXPECT_EQ(h.State().PreviousBoardFile, A);
    EXPECT_EQ(h.State().HomeBoardFile, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Drop, DroppedFile,
                         ::testing::Values(DropCase{"MixedCase", "x.QdX", true},
                                           DropCase{"Lower", "y.qdx", true}, DropCase{"Text", "x.txt", false},
                                           DropCase{"QdxInside", "x.qdx.bak", false}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(BoardOpeningTest, MenuBoardIsUncentredWithoutBarsAndMaximized) {
  h.WriteMenuBoard({.CenterCaptions = true, .Position = 4});
  Boards().OpenBoard(A);
  h.ThePlayer->MenuClick("MenuMenu");
  const Player& p = *h.ThePlayer;
  EXPECT_FALSE(p.Menu().Checked("MenuCentrarCaptions"));
  EXPECT_EQ(h.ThePlayer->Boxes().GridBox(1)->Alignment, CaptionAlignment::Left);
  EXPECT_EQ(ShellHarness::Stored(h.MenuBoardPath(), "Menu Options 2", "Center Captions"), "0");
  EXPECT_EQ(ShellHarness::Stored(h.MenuBoardPath(), "Menu Options 2", "Show Button Bar"), "0");
  EXPECT_EQ(ShellHarness::Stored(h.MenuBoardPath(), "Menu Options 2", "Show Message Bar"), "0");
  EXPECT_FALSE(h.State().View.ShowButtonBar);
  EXPECT_FALSE(h.State().View.ShowMessageBar);
  EXPECT_TRUE(p.Menu().Checked("MenuPlafoMAXIMIZED"));
  EXPECT_EQ(h.Window.Rects.back(), (WindowRect{0, 0, 1920, 1080}));
  // Opened from the menu bar, no button is down: the first release on the menu board is a choice.
  EXPECT_TRUE(h.State().MenuCornerLatch);
  // Leaving the menu board brings the bars back with the board that wants them.
  Back();
  EXPECT_TRUE(h.State().View.ShowButtonBar);
  EXPECT_TRUE(h.State().View.ShowMessageBar);
}

struct FailureCase {
  const char* Name;
  const char* File;     // under the boards folder
  const char* Contents; // null: the file is not written
  bool Told;            // the reader's message (its texts are the reader tests' business) is shown once
};

class ReaderFailure : public BoardOpeningTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReaderFailure, KeepsTheBoardOnScreenButWritesTheLeftOptions) {
  const std::string left = h.WriteBoard(
      "left.qdx",
      {.Prefix = "l", .CenterCaptions = true, .ShowButtonBar = false, .Letters = true, .Position = 5});
  Boards().OpenBoard(A);
  Boards().OpenBoard(left);
  const std::string path = h.Root + "boards/" + GetParam().File;
  if (GetParam().Contents != nullptr) ShellHarness::WriteFile(path, GetParam().Contents);
  h.Messages.Messages.clear();
  Boards().OpenBoard(path);
  EXPECT_EQ(h.Messages.Messages.size(), GetParam().Told ? 1u : 0u);
  EXPECT_EQ(h.State().CurrentBoardFile, left);
  EXPECT_EQ(h.State().PreviousBoardFile, A);
  EXPECT_EQ(h.Caption(1), "l1");
  EXPECT_EQ(h.Setting("Menu Options 2", "Center Captions"), "1");
  EXPECT_EQ(h.Setting("Menu Options 2", "Show Button Bar"), "0");
  EXPECT_EQ(h.Setting("Menu Options 2", "Show Message Bar"), "1");
  EXPECT_EQ(h.Setting("Menu Options 2", "Write only letters or words"), "1");
  EXPECT_EQ(h.Setting("Menu Options 2", "MenuQdxPosition"), "5");
}

INSTANTIATE_TEST_SUITE_P(
    Open, ReaderFailure,
    ::testing::Values(FailureCase{"Missing", "gone.qdx", nullptr, true},
                      FailureCase{"WrongExtension", "notes.txt", "[Quadrix]\nName=Quadrix\n", true},
                      FailureCase{"ForeignHeader", "other.qdx", "[Other]\nName=x\n", false},
                      FailureCase{"TooWide", "wide.qdx",
                                  "[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Grid]\nColumns=22\nRows=1\n",
                                  true}),
    [](const auto& info) { return info.param.Name; });

// Flag spellings a write never produces, so a test can tell a written key from an untouched one.
std::string SpelledBoard(const char* button, const char* message, const char* letters) {
  return "[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Grid]\nColumns=1\nRows=1\n[Menu Options 2]\nShow Button "
         "Bar=" +
         std::string(button) + "\nShow Message Bar=" + message + "\nWrite only letters or words=" + letters +
         "\n";
}

struct BarsCase {
  const char* Name;
  BoardSpec Left;
  const char* Spelled[3];  // the new board's three flags as stored
  const char* Expected[3]; // as stored afterwards
};

class BarsFollowTheBoard : public BoardOpeningTest, public ::testing::WithParamInterface<BarsCase> {};

TEST_P(BarsFollowTheBoard, OnlyDifferingOptionsAreWrittenIntoTheNewBoard) {
  const BarsCase& c = GetParam();
  const std::string left = h.WriteBoard("left.qdx", c.Left);
  Boards().OpenBoard(left);
  const std::string leftBytes = ProfileFile(left).ReadText("Menu Options 2", "Show Button Bar", "?");
  const std::string next = h.Root + "boards/next.qdx";
  ShellHarness::WriteFile(next, SpelledBoard(c.Spelled[0], c.Spelled[1], c.Spelled[2]));
  Boards().OpenBoard(next);
  const char* keys[3] = {"Show Button Bar", "Show Message Bar", "Write only letters or words"};
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ShellHarness::Stored(next, "Menu Options 2", keys[i]), c.Expected[i]) << keys[i];
  EXPECT_EQ(ProfileFile(left).ReadText("Menu Options 2", "Show Button Bar", "?"), leftBytes);
  const bool on[3] = {std::string(c.Spelled[0]) != "00", std::string(c.Spelled[1]) != "00",
                      std::string(c.Spelled[2]) != "00"};
  EXPECT_EQ(h.State().View.ShowButtonBar, on[0]);
  EXPECT_EQ(h.State().View.ShowMessageBar, on[1]);
  EXPECT_EQ(h.State().View.WriteLettersOrWordsMode, on[2]);
  EXPECT_EQ(h.ThePlayer->Menu().Checked("MenuVerBarraDeBotones"), on[0]);
  EXPECT_EQ(h.ThePlayer->Menu().Checked("MenuEscribirletrasOPalabras"), on[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Open, BarsFollowTheBoard,
    ::testing::Values(
        BarsCase{"ButtonBarDiffers", {.ShowButtonBar = true}, {"00", "-1", "00"}, {"0", "-1", "00"}},
        BarsCase{"AllDiffer",
                 {.ShowButtonBar = false, .ShowMessageBar = false},
                 {"-1", "-1", "-1"},
                 {"1", "1", "1"}},
        BarsCase{"NoneDiffers",
                 {.ShowButtonBar = true, .ShowMessageBar = false, .Letters = true},
                 {"-1", "00", "-1"},
                 {"-1", "00", "-1"}}),
    [](const auto& info) { return info.param.Name; });

TEST_F(BoardOpeningTest, CentredBoardCentresEveryCaption) {
  const std::string centred = h.WriteBoard("centred.qdx", {.Columns = 3, .Rows = 2, .CenterCaptions = true});
  Boards().OpenBoard(centred);
  EXPECT_TRUE(h.ThePlayer->Menu().Checked("MenuCentrarCaptions"));
  EXPECT_EQ(h.ThePlayer->Boxes().GridBox(6)->Alignment, CaptionAlignment::Centre);
  EXPECT_EQ(h.State().CellCount, 6);
  h.ThePlayer->MenuClick("MenuCentrarCaptions");
  EXPECT_EQ(h.ThePlayer->Boxes().GridBox(6)->Alignment, CaptionAlignment::Left);
  EXPECT_EQ(ShellHarness::Stored(centred, "Menu Options 2", "Center Captions"), "0");
}

TEST_F(BoardOpeningTest, FirstOpenCopiesTheInitialOptionsIntoTheSettings) {
  Boards().OpenBoard(A);
  const char* keys[6] = {"Center Captions",         "Show Button Bar",
                         "Show Message Bar",        "Write only letters or words",
                         "MenuEscriureTextALlegir", "MenuQdxPosition"};
  const char* initial[6] = {"0", "1", "1", "0", "0", "0"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(h.Setting("Menu Options 2", keys[i]), initial[i]) << keys[i];
}

struct GridCase {
  const char* Name;
  int Columns;
  int Rows;
  int32_t Cells;
};

class GridSizes : public BoardOpeningTest, public ::testing::WithParamInterface<GridCase> {};

TEST_P(GridSizes, OpenWithTheirCellCount) {
  const std::string board =
      h.WriteBoard("grid.qdx", {.Columns = GetParam().Columns, .Rows = GetParam().Rows, .Prefix = "g"});
  Boards().OpenBoard(A);
  Boards().OpenBoard(board);
  EXPECT_EQ(h.State().CurrentBoardFile, board);
  EXPECT_EQ(h.State().CellCount, GetParam().Cells);
  if (GetParam().Cells > 0) {
    EXPECT_EQ(h.Caption(GetParam().Cells), "g" + std::to_string(GetParam().Cells));
  } else {
    EXPECT_FALSE(h.ThePlayer->Boxes().GridBox(1)->Frame.Visible);
  }
  // The pointer finds a cell of this board, never a box left over from the board before.
  h.ThePlayer->HandleMouseEvent(MouseEventKind::Move, 400, 300);
  const int32_t hovered = h.ThePlayer->Layout().HoveredItem;
  if (GetParam().Cells == 0) {
    EXPECT_EQ(hovered, NoItem);
    return;
  }
  ASSERT_GE(hovered, 1);
  ASSERT_LE(hovered, GetParam().Cells);
  const TBox& box = *h.ThePlayer->Boxes().GridBox(hovered);
  const int32_t top = h.ThePlayer->Layout().Panels().Boxes.Top + box.Top;
  EXPECT_TRUE(box.Left <= 400 && 400 < box.Left + box.Width && top <= 300 && 300 < top + box.Height)
      << "cell " << hovered;
}

INSTANTIATE_TEST_SUITE_P(Open, GridSizes,
                         ::testing::Values(GridCase{"Largest", 21, 21, 441}, GridCase{"OneRow", 21, 1, 21},
                                           GridCase{"NegativeColumns", -2, 3, 0}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
} // namespace nq::test

// ---- Pictures loaded after the board is shown ----

namespace nq::test {
namespace {

class BackgroundPicturesTest : public ::testing::Test {
protected:
  // A board of one row whose every cell shows a picture of one solid red level.
  std::string PictureBoard(const std::string& name, int cells, uint8_t red, int width = 30, int height = 20) {
    BoardSpec spec;
    spec.Columns = cells;
    spec.Prefix = name;
    std::string text = BoardText(spec);
    for (int n = 1; n <= cells; ++n) {
      const std::string picture = name + std::to_string(n) + ".png";
      Image image = MakeImage(width, height);
      for (std::size_t p = 0; p < image.Pixels.size(); p += 4)
        image.Pixels[p] = red;
      WriteBytes(h.Root + "boards/" + picture, EncodePng(image));
      const std::string caption = "Caption=" + name + std::to_string(n) + "\r\n";
      text.replace(text.find(caption), caption.size(), caption + "Picture=" + picture + "\r\n");
    }
    const std::string path = h.Root + "boards/" + name + ".qdx";
    ShellHarness::WriteFile(path, text);
    return path;
  }
  const TBox& Box(int32_t n) { return *h.ThePlayer->Boxes().GridBox(n); }

  FakeUiQueue Queue; // outlives the player, whose workers post to it
  ShellHarness h;
};

TEST_F(BackgroundPicturesTest, TheBoardShowsAtOnceAndItsPicturesFollow) {
  const std::string board = PictureBoard("a", 6, 200);
  h.Started();
  h.ThePlayer->LoadPicturesInBackground(Queue);
  h.ThePlayer->Boards().OpenBoard(board);
  for (int32_t n = 1; n <= 6; ++n) {
    EXPECT_TRUE(Box(n).Frame.Visible);
    EXPECT_TRUE(Box(n).CaptionLabel.Visible);
    EXPECT_EQ(Box(n).Picture, "a" + std::to_string(n) + ".png"); // still a cell with a picture
  }
  const uint64_t revision = h.ThePlayer->Layout().Revision();
  ASSERT_TRUE(Queue.RunUntil([&] { return h.ThePlayer->PicturesPending() == 0; }));
  EXPECT_GT(h.ThePlayer->Layout().Revision(), revision);
  for (int32_t n = 1; n <= 6; ++n) {
    ASSERT_NE(Box(n).HeldPicture(), nullptr) << n;
    EXPECT_TRUE(Box(n).PictureImage.Visible) << n;
    EXPECT_EQ(Box(n).HeldPicture()->Pixels[0], 200);
  }
}

TEST_F(BackgroundPicturesTest, ABoardLeftBeforeItsPicturesArriveNeverShowsThemOnTheNext) {
  const std::string left = PictureBoard("left", 8, 200);
  const std::string next = PictureBoard("next", 8, 40);
  h.Started();
  h.ThePlayer->LoadPicturesInBackground(Queue);
  h.ThePlayer->Boards().OpenBoard(left);
  ASSERT_TRUE(Queue.WaitForTask()); // some of its pictures wait for the UI thread
  h.ThePlayer->Boards().OpenBoard(next);
  Queue.RunAll();
  for (int32_t n = 1; n <= 8; ++n) {
    if (const Image* held = Box(n).HeldPicture()) {
      EXPECT_EQ(held->Pixels[0], 40) << n;
    }
  }
  ASSERT_TRUE(Queue.RunUntil([&] { return h.ThePlayer->PicturesPending() == 0; }));
  for (int32_t n = 1; n <= 8; ++n) {
    ASSERT_NE(Box(n).HeldPicture(), nullptr) << n;
    EXPECT_EQ(Box(n).HeldPicture()->Pixels[0], 40) << n;
  }
}

} // namespace
} // namespace nq::test

namespace nq::test {
namespace {

// The grid holds pictures only as large as its cells can get; a message cell taller than that shows
// a copy loaded for its own height, not the grid's small one stretched.
TEST_F(BackgroundPicturesTest, AMessageCellShowsAPictureLoadedForItsOwnSize) {
  const std::string board = PictureBoard("a", 6, 120, 300, 200);
  h.Window.ScreenW = 600; // 6 columns: cells at most 100 wide
  h.Window.ScreenH = 100; // 1 row: at most 100 high; the message bar is 135 high
  h.Started();
  h.ThePlayer->LoadPicturesInBackground(Queue);
  h.ThePlayer->Boards().OpenBoard(board);
  ASSERT_TRUE(Queue.RunUntil([&] { return h.ThePlayer->PicturesPending() == 0; }));
  ASSERT_NE(Box(2).HeldPicture(), nullptr);
  EXPECT_EQ(Box(2).HeldPicture()->Width, 100);
  h.ThePlayer->Activations().ActivateCell(2);
  const TBox& message = *h.ThePlayer->Boxes().MessageBox(1);
  ASSERT_NE(message.HeldPicture(), nullptr);
  EXPECT_EQ(message.HeldPicture()->Width, 135);
  EXPECT_EQ(message.HeldPicture()->Height, 90);
  EXPECT_EQ(message.PictureWidth(), 300);
  EXPECT_EQ(message.HeldPicture()->Pixels[0], 120);
}

} // namespace
} // namespace nq::test
