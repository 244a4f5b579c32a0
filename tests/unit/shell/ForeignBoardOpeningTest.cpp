// Boards of other AAC systems open through the same paths as ours (command line, "Abrir...", a
// dropped file): the importer turns them into a board of ours, which then opens as any other.
#include <filesystem>
#include <gtest/gtest.h>

#include "ShellFakes.h"
#include "shell/ForeignBoards.h"

namespace nq::test {
namespace {

class FakeImporter : public ForeignBoardImporter {
public:
  std::optional<std::string> ImportedRootBoard(const std::string& path) override {
    Asked.push_back(path);
    return Answer;
  }
  std::optional<std::string> Answer;
  std::vector<std::string> Asked;
};

class ForeignBoardOpeningTest : public ::testing::Test {
protected:
  void SetUp() override {
    A = h.WriteBoard("a.qdx", {.Prefix = "a"});
    Imported = h.WriteBoard("imported.qdx", {.Prefix = "i"});
    Importer.Answer = Imported;
    h.Started();
    Boards().Importer = &Importer;
    Boards().OpenBoard(A);
  }
  BoardOpening& Boards() { return h.ThePlayer->Boards(); }

  ShellHarness h;
  FakeImporter Importer;
  std::string A;
  std::string Imported;
};

TEST_F(ForeignBoardOpeningTest, OpensTheBoardTheSetBecame) {
  EXPECT_TRUE(Boards().OpenBoard("/sets/Menjar.OBZ"));
  EXPECT_EQ(Importer.Asked, std::vector<std::string>{"/sets/Menjar.OBZ"});
  EXPECT_EQ(h.State().CurrentBoardFile, Imported);
  EXPECT_EQ(h.State().PreviousBoardFile, A);
  EXPECT_EQ(h.Caption(1), "i1");
}

TEST_F(ForeignBoardOpeningTest, AFailedImportKeepsTheBoardOnScreen) {
  Importer.Answer.reset();
  EXPECT_FALSE(Boards().OpenBoard("/sets/broken.obf"));
  EXPECT_EQ(h.State().CurrentBoardFile, A);
  EXPECT_EQ(h.Caption(1), "a1");
}

TEST_F(ForeignBoardOpeningTest, WithoutAnImporterNothingOpens) {
  Boards().Importer = nullptr;
  EXPECT_FALSE(Boards().OpenBoard("/sets/x.obz"));
  EXPECT_EQ(h.State().CurrentBoardFile, A);
}

TEST_F(ForeignBoardOpeningTest, ADroppedSetBecomesTheHomeBoard) {
  for (const std::string name : {"/sets/x.obz", "/sets/y.Obf"}) {
    h.ThePlayer->DroppedFile(name);
    EXPECT_EQ(h.State().CurrentBoardFile, Imported);
    EXPECT_EQ(h.State().HomeBoardFile, Imported);
    EXPECT_EQ(h.State().PreviousBoardFile, "");
  }
  EXPECT_EQ(Importer.Asked.size(), 2u);
  h.ThePlayer->DroppedFile("/sets/x.obz.txt");
  EXPECT_EQ(Importer.Asked.size(), 2u);
}

TEST_F(ForeignBoardOpeningTest, AChosenSetBecomesTheHomeBoard) {
  h.Messages.FileChoice = "/sets/x.obf";
  h.ThePlayer->MenuClick("MenuOpenFile");
  EXPECT_EQ(h.State().CurrentBoardFile, Imported);
  EXPECT_EQ(h.State().HomeBoardFile, Imported);
}

TEST_F(ForeignBoardOpeningTest, OpenDialogStartsWhereTheSetWasWhileItsBoardsAreOnScreen) {
  std::filesystem::create_directories(h.Root + "boards/set");
  Importer.Answer = h.WriteBoard("set/root.qdx", {.Prefix = "r"});
  const std::string inside = h.WriteBoard("set/inside.qdx", {.Prefix = "s"});
  const std::vector<std::pair<std::string, std::string>> steps = {
      {"", h.Root + "boards/"},  // the board opened in set-up
      {"/sets/x.obz", "/sets/"}, // the set the user chose
      {inside, "/sets/"},        // another board of that set
      {A, h.Root + "boards/"},   // a board of the user's own again
  };
  for (const auto& [open, folder] : steps) {
    if (!open.empty()) {
      ASSERT_TRUE(Boards().OpenBoard(open)) << open;
    }
    h.ThePlayer->MenuClick("MenuOpenFile");
    ASSERT_FALSE(h.Messages.FileQuestions.empty());
    EXPECT_EQ(h.Messages.FileQuestions.back().InitialFolder, folder) << open;
    EXPECT_EQ(h.Messages.FileQuestions.back().PresetName, "");
  }
}

TEST(ForeignBoardName, OnlyTheTwoExtensions) {
  EXPECT_TRUE(IsForeignBoardName("a.obf"));
  EXPECT_TRUE(IsForeignBoardName("A.OBZ"));
  EXPECT_FALSE(IsForeignBoardName("a.qdx"));
  EXPECT_FALSE(IsForeignBoardName("obz"));
  EXPECT_FALSE(IsForeignBoardName("a.obz.bak"));
}

} // namespace
} // namespace nq::test
