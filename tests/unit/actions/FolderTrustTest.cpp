// The question about a folder: who is asked, when, and what each answer leaves behind.
#include "actions/FolderTrust.h"

#include <gtest/gtest.h>

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
  EXPECT_TRUE(trust->MayReachOutside(Folder("own/sub"), "x"));
  EXPECT_FALSE(trust->MayReachOutside("", "x"));
  EXPECT_FALSE(trust->MayReachOutside(Folder("missing"), "x"));
  EXPECT_TRUE(Box.TrustQuestions.empty());
  // "No" and "Solo esta vez" hold until the end of this run, and each folder is its own question.
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards"), "Programa: /bin/x"));
  Box.Trust = TrustAnswer::ThisTime;
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards"), "again"));
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards2"), "y"));
  Box.Trust = TrustAnswer::No;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards2"), "y"));
  ASSERT_EQ(Box.TrustQuestions.size(), 2U);
  EXPECT_EQ(Box.TrustQuestions[0], CanonicalFolder(Temp.Path("boards")) + " | Programa: /bin/x");
  EXPECT_EQ(ScanningStops, 2);
  EXPECT_TRUE(ReadTrustedFolders(Settings).empty());
  // The next run asks again; "Permitir siempre" is stored and covers the folders inside.
  trust = Start();
  Box.Trust = TrustAnswer::Always;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards"), "x"));
  trust = Start();
  Box.Trust = TrustAnswer::No;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards/sub"), "x"));
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards2"), "x"));
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
    inner = trust->MayReachOutside(Folder("boards"), "second");
  };
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards"), "first"));
  EXPECT_FALSE(inner);
  EXPECT_EQ(Box.TrustQuestions.size(), 1U);
}

TEST_F(FolderTrustTest, TheOptionsBoxRemovesTheFoldersChosen) {
  auto trust = Start();
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("boards")), TrustChange::Done);
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("boards2")), TrustChange::Done);
  Box.FoldersToRemove = {CanonicalFolder(Temp.Path("boards2"))};
  trust->ReviewTrustedFolders();
  EXPECT_EQ(ReadTrustedFolders(Settings), std::vector<std::string>{CanonicalFolder(Temp.Path("boards"))});
}

} // namespace
} // namespace nq::test
