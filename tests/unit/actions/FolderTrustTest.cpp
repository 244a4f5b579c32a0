// The question about a folder: who is asked, when, and what each answer leaves behind.
#include "actions/FolderTrust.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "settings/SettingsStore.h"
#include "settings/TrustedFolders.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"

namespace nq::test {
namespace {

class FolderTrustTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* folder : {"own/sub", "boards/sub", "boards2"})
      std::filesystem::create_directories(Temp.Path(folder));
  }
  // A player started afresh over the same settings file.
  std::unique_ptr<FolderTrust> Start() {
    Box.TrustQuestions.clear();
    auto trust = std::make_unique<FolderTrust>(Settings, Box);
    trust->AddOwnFolder(Temp.Path("own"));
    trust->BeforeAsking = [this] { ++ScanningStops; };
    return trust;
  }
  std::string Folder(const std::string& name) const { return Temp.Path(name) + "/"; }
  TempFolder Temp;
  SettingsStore Settings{Temp.Path("nexoquadrix.ini"), ""};
  FakeDialogs Box;
  int ScanningStops = 0;
};

TEST_F(FolderTrustTest, EachAnswerHoldsAsLongAsItShould) {
  auto trust = Start();
  // The player's own folders never ask; no board on screen is never trusted.
  EXPECT_TRUE(trust->MayReachOutside(Folder("own/sub"), "", "x"));
  EXPECT_FALSE(trust->MayReachOutside("", "", "x"));
  EXPECT_FALSE(trust->MayReachOutside(Folder("missing"), "", "x"));
  EXPECT_TRUE(Box.TrustQuestions.empty());
  // "No" and "Solo esta vez" hold until the end of this run, and each folder is its own question.
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards"), "", "Programa: /bin/x"));
  Box.Trust = TrustAnswer::ThisTime;
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards"), "", "again"));
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards2"), "", "y"));
  Box.Trust = TrustAnswer::No;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards2"), "", "y"));
  ASSERT_EQ(Box.TrustQuestions.size(), 2U);
  EXPECT_EQ(Box.TrustQuestions[0], CanonicalFolder(Temp.Path("boards")) + " | Programa: /bin/x");
  EXPECT_EQ(ScanningStops, 2);
  EXPECT_TRUE(ReadTrustedFolders(Settings).empty());
  // The next run asks again; "Permitir siempre" is stored and covers the folders inside.
  trust = Start();
  Box.Trust = TrustAnswer::Always;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards"), "", "x"));
  trust = Start();
  Box.Trust = TrustAnswer::No;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards/sub"), "", "x"));
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards2"), "", "x"));
  EXPECT_EQ(Box.TrustQuestions.size(), 1U);
}

TEST_F(FolderTrustTest, ACommandWhileTheQuestionIsOpenIsNoAnswer) {
  auto trust = Start();
  Box.Trust = TrustAnswer::ThisTime;
  bool inner = true;
  bool nested = false;
  Box.WhileAskingTrust = [&] {
    if (nested) return;
    nested = true;
    inner = trust->MayReachOutside(Folder("boards"), "", "second");
  };
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards"), "", "first"));
  EXPECT_FALSE(inner);
  EXPECT_EQ(Box.TrustQuestions.size(), 1U);
}

// Trust is in the boards the user or the system put in a folder: a board others could have put or
// rewritten there is asked about like any other, and "always" is stored only for a board folder and
// board file closed to others.
TEST_F(FolderTrustTest, AFolderOrBoardOthersCanWriteIsNotTrusted) {
  struct Case {
    const char* Name;
    const char* ChmodPath; // in the trusted folder "boards"
    mode_t Mode;
    bool Trusted;
    bool StoredOnAlways;
  };
  const std::vector<Case> cases = {
      {"all closed", "sub", 0755, true, false},
      {"the board's folder is open", "sub", 0777, false, false},
      {"the board's folder is sticky", "sub", 01777, false, false},
      {"the trusted folder is writable by a shared group", ".", 0775, false, true},
      {"the board file is open", "sub/board.qdx", 0666, false, false},
      {"the board file is closed", "sub/board.qdx", 0644, true, false},
  };
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("boards")), TrustChange::Done);
  const std::string board = Temp.Write("boards/sub/board.qdx", "[Quadrix]\r\n");
  const std::string sub = CanonicalFolder(Temp.Path("boards/sub"));
  for (const Case& c : cases) {
    RemoveTrustedFolder(Settings, sub);
    ASSERT_EQ(chmod(Temp.Path("boards").c_str(), 0755), 0);
    ASSERT_EQ(chmod(sub.c_str(), 0755), 0);
    ASSERT_EQ(chmod(board.c_str(), 0644), 0);
    ASSERT_EQ(chmod(Temp.Path(std::string("boards/") + c.ChmodPath).c_str(), c.Mode), 0) << c.Name;
    // A group others are in (only root can give a folder to any group).
    const bool groupCase = (c.Mode & S_IWGRP) != 0 && (c.Mode & S_IWOTH) == 0;
    if (groupCase && geteuid() != 0) continue;
    if (groupCase) {
      ASSERT_EQ(chown(Temp.Path(std::string("boards/") + c.ChmodPath).c_str(), static_cast<uid_t>(-1), 100),
                0);
    }
    auto trust = Start();
    Box.Trust = TrustAnswer::Always;
    EXPECT_TRUE(trust->MayReachOutside(Folder("boards/sub"), board, "x")) << c.Name;
    EXPECT_EQ(Box.TrustQuestions.empty(), c.Trusted) << c.Name;
    // The question says why a trusted folder asks after all.
    if (!c.Trusted) {
      EXPECT_NE(Box.TrustQuestions.at(0), sub + " | x") << c.Name;
    }
    const std::vector<std::string> stored = ReadTrustedFolders(Settings);
    EXPECT_EQ(std::find(stored.begin(), stored.end(), sub) != stored.end(), c.StoredOnAlways) << c.Name;
  }
  // A cell that also links names the linked board as written, which may not be found as such.
  ASSERT_EQ(chmod(board.c_str(), 0644), 0);
  auto linking = Start();
  EXPECT_TRUE(linking->MayReachOutside(Folder("boards/sub"), Temp.Path("boards/sub/Otro\\Tauler.qdx"), "x"));
  EXPECT_TRUE(Box.TrustQuestions.empty());
  if (geteuid() != 0) return;
  // A trusted folder that someone else's folder replaced (its parent was open to them).
  RemoveTrustedFolder(Settings, sub);
  ASSERT_EQ(chmod(Temp.Path("boards").c_str(), 0755), 0);
  ASSERT_EQ(chmod(sub.c_str(), 0755), 0);
  ASSERT_EQ(chown(sub.c_str(), 65534, 65534), 0);
  auto trust = Start();
  Box.Trust = TrustAnswer::No;
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards/sub"), board, "x"));
  EXPECT_EQ(Box.TrustQuestions.size(), 1U);
}

TEST_F(FolderTrustTest, TheOptionsBoxRemovesTheFoldersChosen) {
  auto trust = Start();
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("boards")), TrustChange::Done);
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("boards2")), TrustChange::Done);
  Box.FoldersToRemove = {CanonicalFolder(Temp.Path("boards2"))};
  trust->ReviewTrustedFolders();
  EXPECT_EQ(ReadTrustedFolders(Settings), std::vector<std::string>{CanonicalFolder(Temp.Path("boards"))});
  // A root folder written by hand is shown as not counting, and can be removed like any other.
  Settings.WriteSettingText(SectionTrustedFolders, "Folder9", "/");
  Box.FoldersToRemove.clear();
  trust->ReviewTrustedFolders();
  ASSERT_EQ(Box.ReviewedFolders.size(), 2U);
  EXPECT_NE(Box.ReviewedFolders[1], "/");
  Box.FoldersToRemove = {Box.ReviewedFolders[1]};
  trust->ReviewTrustedFolders();
  EXPECT_EQ(ReadTrustedFolders(Settings), std::vector<std::string>{CanonicalFolder(Temp.Path("boards"))});
}

} // namespace
} // namespace nq::test
