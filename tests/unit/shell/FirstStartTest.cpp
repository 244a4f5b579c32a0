// A user's first start of the installed program: the demo boards are copied into the user's folder
// and the home board names the copy; nothing the user already has is touched.
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "shell/FirstStart.h"
#include "support/TempFolder.h"

namespace nq::test {
namespace {

struct LocaleCase {
  const char* Locale;
  const char* Board;
};

TEST(FirstStart, HomeBoardFollowsTheLanguage) {
  const LocaleCase cases[] = {{"es_ES.UTF-8", "boards/es/inicio.qdx"},
                              {"es", "boards/es/inicio.qdx"},
                              {"ca_ES", "boards/ca/inici.qdx"},
                              {"en_GB.UTF-8", "boards/ca/inici.qdx"},
                              {"C", "boards/ca/inici.qdx"},
                              {"", "boards/ca/inici.qdx"}};
  for (const LocaleCase& c : cases)
    EXPECT_EQ(DemoHomeBoard(c.Locale), c.Board) << c.Locale;
}

// A data folder shaped like the installed one, with read-only files as a package leaves them.
struct Installed {
  TempFolder Root;
  std::string Data = Root.Path("share/nexoquadrix");
  std::string User = Root.Path("home/.local/share/nexoquadrix");
  SettingsStore Settings{Root.Path("config/nexoquadrix.ini"), Root.Path("config/Quadrix.ini"), true};

  Installed() {
    for (const char* folder : {"boards/ca", "boards/es", "pictures/buttons"})
      std::filesystem::create_directories(Data + "/" + folder);
    for (const char* file : {"boards/ca/inici.qdx", "boards/ca/menjar.qdx", "boards/es/inicio.qdx",
                             "pictures/casa.png", "pictures/buttons/inici.png"}) {
      WriteBytes(Data + "/" + file, std::string("bundled ") + file);
      chmod((Data + "/" + file).c_str(), 0444);
    }
  }

  FirstStartFacts Facts(const char* locale = "ca_ES.UTF-8") const { return {false, Data, User, locale}; }
  std::string Home() const { return Settings.ReadSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, "?"); }
};

TEST(FirstStart, CopiesBoardsAndPicturesAndNamesTheCopyAsHome) {
  Installed machine;
  const std::optional<std::string> board = OfferDemoBoards(machine.Settings, machine.Facts("es_ES.UTF-8"));
  ASSERT_TRUE(board);
  EXPECT_EQ(*board, machine.User + "/boards/es/inicio.qdx");
  EXPECT_EQ(machine.Home(), *board);
  for (const char* file : {"boards/ca/inici.qdx", "boards/ca/menjar.qdx", "pictures/buttons/inici.png"})
    EXPECT_EQ(ReadBytes(machine.User + "/" + file), std::string("bundled ") + file);
  // The player writes window places into the copy, so the copy must be writable by its owner.
  struct stat info {};
  ASSERT_EQ(stat((machine.User + "/boards/ca/inici.qdx").c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IWUSR);
  EXPECT_FALSE(Exists(machine.User + "/boards/ca/inici.qdx.part"));
}

TEST(FirstStart, KeepsTheUsersOwnBoardsAndFillsInWhatIsMissing) {
  Installed machine;
  std::filesystem::create_directories(machine.User + "/boards/ca");
  WriteBytes(machine.User + "/boards/ca/inici.qdx", "the user's own home board");
  WriteBytes(machine.User + "/boards/ca/menjar.qdx.part", "left by a start that was cut short");
  const std::optional<std::string> board = OfferDemoBoards(machine.Settings, machine.Facts());
  ASSERT_TRUE(board);
  EXPECT_EQ(ReadBytes(machine.User + "/boards/ca/inici.qdx"), "the user's own home board");
  EXPECT_EQ(ReadBytes(machine.User + "/boards/ca/menjar.qdx"), "bundled boards/ca/menjar.qdx");
  EXPECT_TRUE(Exists(machine.User + "/pictures/casa.png"));
}

struct NoOfferCase {
  const char* Name;
  bool BoardOnCommandLine;
  const char* StoredHome; // nullptr: no settings file
  bool PortableInstall;
};

class NoOffer : public testing::TestWithParam<NoOfferCase> {};

TEST_P(NoOffer, LeavesEverythingAsItWas) {
  const NoOfferCase& c = GetParam();
  Installed machine;
  if (c.StoredHome) machine.Settings.WriteSettingText(SectionNexoQuadrix, KeyNomFitxerInicial, c.StoredHome);
  FirstStartFacts facts = machine.Facts();
  facts.BoardOnCommandLine = c.BoardOnCommandLine;
  if (c.PortableInstall) facts.UserFolder.clear();
  EXPECT_FALSE(OfferDemoBoards(machine.Settings, facts));
  EXPECT_FALSE(Exists(machine.User));
  EXPECT_EQ(machine.Home(), c.StoredHome ? c.StoredHome : "?");
}

INSTANTIATE_TEST_SUITE_P(Cases, NoOffer,
                         testing::Values(NoOfferCase{"BoardOnTheCommandLine", true, nullptr, false},
                                         NoOfferCase{"HomeBoardAlreadyChosen", false, "/b/casa.qdx", false},
                                         NoOfferCase{"PortableInstall", false, nullptr, true}),
                         [](const testing::TestParamInfo<NoOfferCase>& info) { return info.param.Name; });

TEST(FirstStart, AFolderNameTheSettingsCannotSpellStoresNoHomeBoard) {
  Installed machine;
  FirstStartFacts facts = machine.Facts();
  facts.UserFolder = machine.Root.Path("\xE7\x94\xA8\xE6\x88\xB7/nexoquadrix"); // "user" in Chinese
  EXPECT_FALSE(OfferDemoBoards(machine.Settings, facts));
  EXPECT_EQ(machine.Home(), "?");
}

TEST(FirstStart, MissingDemoBoardsStoreNoHomeBoard) {
  Installed machine;
  std::filesystem::remove_all(machine.Data + "/boards");
  EXPECT_FALSE(OfferDemoBoards(machine.Settings, machine.Facts()));
  EXPECT_EQ(machine.Home(), "?");
  EXPECT_FALSE(CopyDemoBoards(machine.Data, machine.User));
}

} // namespace
} // namespace nq::test
