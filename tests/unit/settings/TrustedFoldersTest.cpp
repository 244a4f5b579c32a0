// The list of trusted folders in the program settings (the tool's test covers canonical entries):
// names that need quoting, removal, and which folders a trusted one covers.
#include "settings/TrustedFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "settings/SettingsStore.h"
#include "support/TempFolder.h"

namespace nq::test {
namespace {

class TrustedFoldersTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::filesystem::create_directories(Temp.Path("sets/a"));
    std::filesystem::create_directories(Temp.Path("sets/ab"));
  }
  TempFolder Temp;
  SettingsStore Settings{Temp.Path("nexoquadrix.ini"), Temp.Path("Quadrix.ini")};
};

TEST_F(TrustedFoldersTest, BlanksAndQuotesInAFolderNameSurviveTheSettingsFile) {
  const std::string odd = Temp.Path(" 'quoted' \"name\" ");
  std::filesystem::create_directories(odd);
  ASSERT_EQ(AddTrustedFolder(Settings, odd), TrustChange::Done);
  EXPECT_TRUE(IsTrustedByUser(Settings, CanonicalFolder(odd)));
}

TEST_F(TrustedFoldersTest, RemovesAFolderAlsoAfterItWasDeleted) {
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("sets/a")), TrustChange::Done);
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("sets/ab")), TrustChange::Done);
  const std::string gone = CanonicalFolder(Temp.Path("sets/a"));
  std::filesystem::remove(Temp.Path("sets/a"));
  EXPECT_EQ(RemoveTrustedFolder(Settings, gone + "/"), TrustChange::Done);
  EXPECT_EQ(RemoveTrustedFolder(Settings, gone), TrustChange::Unchanged);
  EXPECT_EQ(ReadTrustedFolders(Settings), std::vector<std::string>{CanonicalFolder(Temp.Path("sets/ab"))});
  // The freed entry is used again.
  std::filesystem::create_directories(Temp.Path("sets/c"));
  ASSERT_EQ(AddTrustedFolder(Settings, Temp.Path("sets/c")), TrustChange::Done);
  EXPECT_EQ(ReadTrustedFolders(Settings).size(), 2U);
}

TEST_F(TrustedFoldersTest, ATrustedFolderCoversWhatIsInsideItOnly) {
  const std::vector<std::tuple<std::string, std::string, bool>> cases = {
      {"/srv/sets", "/srv/sets", true},   {"/srv/sets/a/b", "/srv/sets", true},
      {"/srv/setsb", "/srv/sets", false}, {"/srv", "/srv/sets", false},
      {"/anything", "/", true},           {"", "/srv", false},
      {"/srv/sets", "", false},
  };
  for (const auto& [folder, trusted, within] : cases)
    EXPECT_EQ(FolderWithin(folder, trusted), within) << folder << " in " << trusted;
}

TEST_F(TrustedFoldersTest, HandWrittenEntriesCountOnlyAsFullPaths) {
  WriteBytes(Temp.Path("nexoquadrix.ini"),
             "[Trusted Folders]\r\nFolder1=relative\r\nFolder2=\r\nFolder3=/srv/sets/\r\nFolder200=/last\r\n"
             "Folder201=/beyond\r\n");
  EXPECT_EQ(ReadTrustedFolders(Settings), (std::vector<std::string>{"/srv/sets", "/last"}));
  EXPECT_TRUE(IsTrustedByUser(Settings, "/srv/sets/x"));
  EXPECT_FALSE(IsTrustedByUser(Settings, "/beyond"));
}

// Trusting the root or a folder that holds the home folder would trust every download and every share:
// refused when asked for, and ignored when a settings file names it anyway.
TEST_F(TrustedFoldersTest, NeverTrustsTheRootOrAFolderThatHoldsTheHomeFolder) {
  const std::string home = CanonicalFolder(std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/");
  ASSERT_FALSE(home.empty());
  const std::string parent = std::filesystem::path(home).parent_path().string();
  for (const std::string& broad : {std::string("/"), std::string("/."), home, home + "/", parent}) {
    EXPECT_EQ(AddTrustedFolder(Settings, broad), TrustChange::TooBroad) << broad;
    EXPECT_TRUE(TooBroadToTrust(CanonicalFolder(broad))) << broad;
  }
  EXPECT_TRUE(ReadTrustedFolders(Settings).empty());
  EXPECT_FALSE(TooBroadToTrust(CanonicalFolder(Temp.Path("sets/a"))));
  WriteBytes(Temp.Path("nexoquadrix.ini"), "[Trusted Folders]\r\nFolder1=/\r\nFolder2=" + home + "\r\n");
  EXPECT_FALSE(IsTrustedByUser(Settings, CanonicalFolder(Temp.Path("sets/a"))));
  EXPECT_FALSE(IsTrustedByUser(Settings, home));
  // Still listed, so they can be seen and removed.
  EXPECT_EQ(ReadTrustedFolders(Settings).size(), 2U);
}

} // namespace
} // namespace nq::test
