#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "settings/ConfigLocation.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

struct Machine {
  std::map<std::string, std::string> Variables;
  std::set<std::string> WritableFolders;
  std::set<std::string> Files;

  ConfigEnvironment Environment() const {
    ConfigEnvironment environment;
    environment.Variable = [this](std::string_view name) -> std::optional<std::string> {
      const auto it = Variables.find(std::string(name));
      if (it == Variables.end()) return std::nullopt;
      return it->second;
    };
    environment.FolderWritable = [this](const std::string& folder) {
      return WritableFolders.count(folder) > 0;
    };
    environment.FileExists = [this](const std::string& path) { return Files.count(path) > 0; };
    return environment;
  }
};

struct LocationCase {
  const char* Name;
  Machine Facts;
  const char* SettingsFile;
  const char* SharedFile;
  bool CreateFolder;
};

class ConfigLocationCases : public testing::TestWithParam<LocationCase> {};

TEST_P(ConfigLocationCases, ChoosesTheFiles) {
  const LocationCase& c = GetParam();
  const ConfigLocation location =
      LocateConfigFiles("/opt/nq/", "/usr/share/nexoquadrix", c.Facts.Environment());
  EXPECT_EQ(location.SettingsFile, c.SettingsFile);
  EXPECT_EQ(location.SharedFile, c.SharedFile);
  EXPECT_EQ(location.CreateSettingsFolder, c.CreateFolder);
}

const std::string Home = "/home/ana";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigLocationCases,
    testing::Values(
        LocationCase{
            "VariableWins",
            {{{"NEXOQUADRIX_CONFIG_DIR", "/tmp/t/"}, {"HOME", Home}}, {"/opt/nq"}, {"/opt/nq/Quadrix.ini"}},
            "/tmp/t/nexoquadrix.ini",
            "/tmp/t/Quadrix.ini",
            true},
        LocationCase{"PortableInstall",
                     {{{"HOME", Home}}, {"/opt/nq"}, {"/opt/nq/Quadrix.ini"}},
                     "/opt/nq/nexoquadrix.ini",
                     "/opt/nq/Quadrix.ini",
                     false},
        LocationCase{"EmptyVariableIgnored",
                     {{{"NEXOQUADRIX_CONFIG_DIR", ""}, {"HOME", Home}}, {"/opt/nq"}, {}},
                     "/opt/nq/nexoquadrix.ini",
                     "/opt/nq/Quadrix.ini",
                     false},
        LocationCase{"InstalledUsesXdgConfigHome",
                     {{{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", Home}},
                      {},
                      {"/cfg/nexoquadrix/Quadrix.ini", "/opt/nq/Quadrix.ini"}},
                     "/cfg/nexoquadrix/nexoquadrix.ini",
                     "/cfg/nexoquadrix/Quadrix.ini",
                     true},
        LocationCase{"SharedFileBesideProgramNext",
                     {{{"HOME", Home}}, {}, {"/opt/nq/Quadrix.ini", "/usr/share/nexoquadrix/Quadrix.ini"}},
                     "/home/ana/.config/nexoquadrix/nexoquadrix.ini",
                     "/opt/nq/Quadrix.ini",
                     true},
        LocationCase{"SharedFileFromDataFolderLast",
                     {{{"HOME", Home}}, {}, {"/usr/share/nexoquadrix/Quadrix.ini"}},
                     "/home/ana/.config/nexoquadrix/nexoquadrix.ini",
                     "/usr/share/nexoquadrix/Quadrix.ini",
                     true},
        LocationCase{"NoSharedFileAnywhere",
                     {{{"HOME", Home}}, {}, {}},
                     "/home/ana/.config/nexoquadrix/nexoquadrix.ini",
                     "/home/ana/.config/nexoquadrix/Quadrix.ini",
                     true},
        LocationCase{"RelativeXdgIgnored",
                     {{{"XDG_CONFIG_HOME", "cfg"}, {"HOME", Home}}, {}, {}},
                     "/home/ana/.config/nexoquadrix/nexoquadrix.ini",
                     "/home/ana/.config/nexoquadrix/Quadrix.ini",
                     true},
        LocationCase{"NoHomeStaysBesideProgram",
                     {{}, {}, {}},
                     "/opt/nq/nexoquadrix.ini",
                     "/opt/nq/Quadrix.ini",
                     false}),
    [](const testing::TestParamInfo<LocationCase>& info) { return info.param.Name; });

struct LayoutCase {
  const char* Name;
  const char* ProgramFolder;
  const char* DataFolder;
  Machine Facts;
  const char* SettingsFile;
  const char* UserDataFolder;
};

class InstalledLayoutCases : public testing::TestWithParam<LayoutCase> {};

// An installed program keeps its settings and board copies per user, whoever runs it and wherever.
TEST_P(InstalledLayoutCases, ChoosesTheUserFolders) {
  const LayoutCase& c = GetParam();
  const ConfigLocation location = LocateConfigFiles(c.ProgramFolder, c.DataFolder, c.Facts.Environment());
  EXPECT_EQ(location.SettingsFile, c.SettingsFile);
  EXPECT_EQ(location.UserDataFolder, c.UserDataFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstalledLayoutCases,
    testing::Values(LayoutCase{"RootMayWriteUsrBinButSettingsStayPerUser",
                               "/usr/bin",
                               "/usr/share/nexoquadrix/",
                               {{{"HOME", "/root"}}, {"/usr/bin"}, {}},
                               "/root/.config/nexoquadrix/nexoquadrix.ini",
                               "/root/.local/share/nexoquadrix"},
                    LayoutCase{
                        "XdgDataHomeHoldsTheBoards",
                        "/usr/bin/",
                        "/usr/bin/../share/nexoquadrix",
                        {{{"HOME", Home}, {"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d/"}}, {}, {}},
                        "/c/nexoquadrix/nexoquadrix.ini",
                        "/d/nexoquadrix"},
                    LayoutCase{"RelativeXdgDataHomeIgnored",
                               "/usr/bin",
                               "/usr/share/nexoquadrix",
                               {{{"HOME", Home}, {"XDG_DATA_HOME", "d"}}, {}, {}},
                               "/home/ana/.config/nexoquadrix/nexoquadrix.ini",
                               "/home/ana/.local/share/nexoquadrix"},
                    LayoutCase{"ScratchRootInstallIsInstalledToo",
                               "/tmp/root/usr/bin",
                               "/tmp/root/usr/share/nexoquadrix/",
                               {{{"HOME", Home}}, {"/tmp/root/usr/bin"}, {}},
                               "/home/ana/.config/nexoquadrix/nexoquadrix.ini",
                               "/home/ana/.local/share/nexoquadrix"},
                    LayoutCase{"PortableKeepsBoardsBesideIt",
                               "/opt/nq",
                               "/opt/nq/data/",
                               {{{"HOME", Home}}, {"/opt/nq"}, {}},
                               "/opt/nq/nexoquadrix.ini",
                               ""},
                    LayoutCase{"ForcedFolderCopiesNothing",
                               "/usr/bin",
                               "/usr/share/nexoquadrix",
                               {{{"HOME", Home}, {"NEXOQUADRIX_CONFIG_DIR", "/t"}}, {}, {}},
                               "/t/nexoquadrix.ini",
                               ""},
                    LayoutCase{"AnotherShareFolderIsNotOurs",
                               "/usr/bin",
                               "/usr/share/other",
                               {{{"HOME", Home}}, {"/usr/bin"}, {}},
                               "/usr/bin/nexoquadrix.ini",
                               ""}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.Name; });

TEST(ConfigLocation, SystemEnvironmentJudgesARealReadOnlyFolder) {
  test::TempFolder folder;
  const ConfigEnvironment system = SystemConfigEnvironment();
  EXPECT_TRUE(system.FolderWritable(folder.Root()));
  chmod(folder.Root().c_str(), 0555); // root would pass access(); the mode bits decide
  EXPECT_FALSE(system.FolderWritable(folder.Root()));
  chmod(folder.Root().c_str(), 0700);
  EXPECT_FALSE(system.FileExists(folder.Path("Quadrix.ini")));
  test::WriteBytes(folder.Path("Quadrix.ini"), "");
  EXPECT_TRUE(system.FileExists(folder.Path("Quadrix.ini")));
}

TEST(ConfigLocation, CreateFolderPathMakesParents) {
  test::TempFolder folder;
  EXPECT_TRUE(CreateFolderPath(folder.Path("x/y/z/")));
  EXPECT_TRUE(test::Exists(folder.Path("x/y/z")));
  EXPECT_TRUE(CreateFolderPath(folder.Path("x/y/z"))); // already there
  test::WriteBytes(folder.Path("file"), "");
  EXPECT_FALSE(CreateFolderPath(folder.Path("file")));
  EXPECT_FALSE(CreateFolderPath(folder.Path("file/sub")));
}

} // namespace
} // namespace nq
