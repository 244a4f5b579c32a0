// The question about a folder: who is asked, when, and what each answer leaves behind.
#include "actions/FolderTrust.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/Dialogs.h"
#include "settings/SettingsStore.h"
#include "settings/TrustedFolders.h"
#include "support/TempFolder.h"

namespace nq::test {
namespace {

class AnsweringDialogs : public Dialogs {
public:
  TrustAnswer Answer = TrustAnswer::No;
  std::vector<std::string> Questions;
  std::function<void()> WhileAsking;
  std::vector<std::string> ToRemove;
  void ShowMessage(const std::string&, MessageIcon, const std::string&) override {}
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
  TrustAnswer AskFolderTrust(const std::string& folder, const std::string& whatRuns) override {
    Questions.push_back(folder + " | " + whatRuns);
    if (WhileAsking) WhileAsking();
    return Answer;
  }
  std::vector<std::string> ReviewTrustedFolders(const std::vector<std::string>&) override { return ToRemove; }
};

class FolderTrustTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* folder : {"own/sub", "boards/sub", "boards2"})
      std::filesystem::create_directories(Temp.Path(folder));
  }
  // A player started afresh over the same settings file.
  std::unique_ptr<FolderTrust> Start() {
    Box.Questions.clear();
    auto trust = std::make_unique<FolderTrust>(Settings, Box);
    trust->AddOwnFolder(Temp.Path("own"));
    trust->BeforeAsking = [this] { ++ScanningStops; };
    return trust;
  }
  std::string Folder(const std::string& name) const { return Temp.Path(name) + "/"; }
  TempFolder Temp;
  SettingsStore Settings{Temp.Path("nexoquadrix.ini"), ""};
  AnsweringDialogs Box;
  int ScanningStops = 0;
};

TEST_F(FolderTrustTest, EachAnswerHoldsAsLongAsItShould) {
  auto trust = Start();
  // The player's own folders never ask; no board on screen is never trusted.
  EXPECT_TRUE(trust->MayReachOutside(Folder("own/sub"), "x"));
  EXPECT_FALSE(trust->MayReachOutside("", "x"));
  EXPECT_FALSE(trust->MayReachOutside(Folder("missing"), "x"));
  EXPECT_TRUE(Box.Questions.empty());
  // "No" and "Solo esta vez" hold until the end of this run, and each folder is its own question.
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards"), "Programa: /bin/x"));
  Box.Answer = TrustAnswer::ThisTime;
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards"), "again"));
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards2"), "y"));
  Box.Answer = TrustAnswer::No;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards2"), "y"));
  ASSERT_EQ(Box.Questions.size(), 2U);
  EXPECT_EQ(Box.Questions[0], CanonicalFolder(Temp.Path("boards")) + " | Programa: /bin/x");
  EXPECT_EQ(ScanningStops, 2);
  EXPECT_TRUE(ReadTrustedFolders(Settings).empty());
  // The next run asks again; "Permitir siempre" is stored and covers the folders inside.
  trust = Start();
  Box.Answer = TrustAnswer::Always;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards"), "x"));
  trust = Start();
  Box.Answer = TrustAnswer::No;
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards/sub"), "x"));
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards2"), "x"));
  EXPECT_EQ(Box.Questions.size(), 1U);
}

TEST_F(FolderTrustTest, ACommandWhileTheQuestionIsOpenIsNoAnswer) {
  auto trust = Start();
  Box.Answer = TrustAnswer::ThisTime;
  bool inner = true;
  bool nested = false;
  Box.WhileAsking = [&] {
    if (nested) return;
    nested = true;
    inner = trust->MayReachOutside(Folder("boards"), "second");
  };
  EXPECT_TRUE(trust->MayReachOutside(Folder("boards"), "first"));
  EXPECT_FALSE(inner);
  EXPECT_EQ(Box.Questions.size(), 1U);
}

TEST_F(FolderTrustTest, TheOptionsBoxRemovesTheFoldersChosen) {
  auto trust = Start();
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("boards")), TrustChange::Done);
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("boards2")), TrustChange::Done);
  Box.ToRemove = {CanonicalFolder(Temp.Path("boards2"))};
  trust->ReviewTrustedFolders();
  EXPECT_EQ(ReadTrustedFolders(Settings), std::vector<std::string>{CanonicalFolder(Temp.Path("boards"))});
}

} // namespace
} // namespace nq::test
