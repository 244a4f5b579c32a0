// The question about a folder: who is asked, when, and what each answer leaves behind.
#include "actions/FolderTrust.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/Dialogs.h"
#include "settings/SettingsStore.h"
#include "settings/TrustedFolders.h"
#include "unit/settings/TempFolder.h"

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
    for (const char* folder : {"own/sub", "boards/sub", "boards2", "config"})
      std::filesystem::create_directories(Temp.Path(folder));
  }
  // A player started afresh over the same settings file.
  std::unique_ptr<FolderTrust> Start() {
    Settings = std::make_unique<SettingsStore>(Temp.Path("config/nexoquadrix.ini"), "");
    auto trust = std::make_unique<FolderTrust>(*Settings, Box);
    trust->AddOwnFolder(Temp.Path("own"));
    trust->BeforeAsking = [this] { ++ScanningStops; };
    return trust;
  }
  std::string Folder(const std::string& name) const { return Temp.Path(name) + "/"; }
  TempFolder Temp;
  AnsweringDialogs Box;
  std::unique_ptr<SettingsStore> Settings;
  int ScanningStops = 0;
};

TEST_F(FolderTrustTest, TheOwnFoldersAndWhatIsInsideThemNeverAsk) {
  auto trust = Start();
  EXPECT_TRUE(trust->MayReachOutside(Folder("own"), "x"));
  EXPECT_TRUE(trust->MayReachOutside(Folder("own/sub"), "x"));
  EXPECT_TRUE(Box.Questions.empty());
  // A folder that does not exist (no board on screen) is never trusted and never asked about.
  EXPECT_FALSE(trust->MayReachOutside("", "x"));
  EXPECT_FALSE(trust->MayReachOutside(Folder("missing"), "x"));
  EXPECT_TRUE(Box.Questions.empty());
}

TEST_F(FolderTrustTest, EachAnswerHoldsAsLongAsItShould) {
  struct Case {
    TrustAnswer Answer;
    bool Runs;
    bool AskedAgainThisRun;
    bool AskedAgainNextStart;
  };
  const std::vector<Case> cases = {
      {TrustAnswer::No, false, false, true},
      {TrustAnswer::ThisTime, true, false, true},
      {TrustAnswer::Always, true, false, false},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Temp.Path("config/nexoquadrix.ini"));
    Box.Questions.clear();
    Box.Answer = c.Answer;
    auto trust = Start();
    EXPECT_EQ(trust->MayReachOutside(Folder("boards"), "Programa: /bin/x"), c.Runs);
    ASSERT_EQ(Box.Questions.size(), 1U);
    EXPECT_NE(Box.Questions[0].find("Programa: /bin/x"), std::string::npos);
    EXPECT_NE(Box.Questions[0].find(CanonicalFolder(Temp.Path("boards"))), std::string::npos);
    EXPECT_EQ(trust->MayReachOutside(Folder("boards"), "y"), c.Runs);
    EXPECT_EQ(Box.Questions.size() > 1, c.AskedAgainThisRun);
    // Another folder is another question.
    const size_t before = Box.Questions.size();
    trust->MayReachOutside(Folder("boards2"), "z");
    EXPECT_EQ(Box.Questions.size(), before + 1);

    Box.Questions.clear();
    Box.Answer = TrustAnswer::No;
    auto next = Start();
    EXPECT_EQ(next->MayReachOutside(Folder("boards/sub"), "x"), !c.AskedAgainNextStart);
    EXPECT_EQ(!Box.Questions.empty(), c.AskedAgainNextStart);
  }
  EXPECT_GT(ScanningStops, 0);
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
  EXPECT_EQ(ScanningStops, 1);
}

TEST_F(FolderTrustTest, TheOptionsBoxRemovesTheFoldersChosen) {
  auto trust = Start();
  ASSERT_EQ(AddTrustedFolder(*Settings, Temp.Path("boards")), TrustChange::Done);
  ASSERT_EQ(AddTrustedFolder(*Settings, Temp.Path("boards2")), TrustChange::Done);
  Box.ToRemove = {CanonicalFolder(Temp.Path("boards"))};
  trust->ReviewTrustedFolders();
  EXPECT_EQ(ReadTrustedFolders(*Settings), std::vector<std::string>{CanonicalFolder(Temp.Path("boards2"))});
  EXPECT_FALSE(trust->MayReachOutside(Folder("boards"), "x"));
  EXPECT_EQ(Box.Questions.size(), 1U);
}

} // namespace
} // namespace nq::test
