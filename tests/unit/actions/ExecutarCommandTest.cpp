// "<EXECUTAR ...>": cutting path and arguments as written, splitting arguments, and finding only what
// the board names: never a shell, never a program made up from the text's punctuation.
#include "actions/ExecutarCommand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/TempFolder.h"

namespace nq {
namespace {

using Args = std::vector<std::string>;

TEST(ExecutarCommandTest, CutsPathAndArgumentsAsWritten) {
  const std::vector<std::pair<std::string, std::optional<ExecutarText>>> cases = {
      {"<EXECUTAR calc.exe>", ExecutarText{"calc.exe", "", true}},
      {"<EXECUTAR \\calc.exe>", ExecutarText{"\\calc.exe", "", true}},
      {"<EXECUTAR c:\\tools\\x.exe -a>", ExecutarText{"c:\\tools\\x.exe", " -a", true}}, // blank kept
      {"<EXECUTAR c:\\docs\\a.txt>", ExecutarText{"c:\\docs\\a.txt", "", false}},
      {"<EXECUTAR C:\\APP.EXE -a>", ExecutarText{"C:\\APP.EXE -a", "", false}}, // ".exe" in that case only
      {"<EXECUTAR x.exe.exe>", ExecutarText{"x.exe", ".exe", true}},
      {"<EXECUTAR M\xFAsica!.mp3>", ExecutarText{"M\xFAsica!.mp3", "", false}}, // not folded
      {"<executar  calc.exe>", ExecutarText{"calc.exe", "", true}},
      {"<EXECUTAR a.exe x > y>", ExecutarText{"a.exe", " x ", true}},
      {"<EXECUTAR calc.exe", std::nullopt},
      {"<EXECUTAR>", std::nullopt},
      {"<EXECUTAR   >", std::nullopt},
      {"calc.exe>", std::nullopt},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(CutExecutar(text), expected) << text;
}

TEST(ExecutarCommandTest, SplitsArgumentsWithoutAnyShellMeaning) {
  const std::vector<std::pair<std::string, Args>> cases = {
      {" -a", {"-a"}},
      {"", {}},
      {"  a   b ", {"a", "b"}},
      {" \"dos tres\" u", {"dos tres", "u"}},
      {" \"\"", {""}},
      {" a\"b c\"d", {"ab cd"}},
      {" \"open", {"open"}},
      {" $(touch pwned) ; | `id` && x > y", {"$(touch", "pwned)", ";", "|", "`id`", "&&", "x", ">", "y"}},
      {" 'a b'", {"'a", "b'"}},
      {" a\nb\rc\td", {"a", "b", "c", "d"}},
      {" ..\\..\\etc\\passwd", {"..\\..\\etc\\passwd"}},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(SplitArguments(text), expected) << text;
}

class ExecutarPlanTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* folder : {"boards/sub", "bin", "other"})
      std::filesystem::create_directories(Root + folder);
    Program("boards/calc");
    Program("boards/Prog");
    Program("boards/tools/x");
    Program("bin/notepad");
    Program("other/pwned");
    Document("boards/noexec");
    Document("boards/M\xC3\xBAsica.txt");
    Document("boards/docs/a.txt");
  }
  void Program(const std::string& name) const {
    std::filesystem::create_directories(std::filesystem::path(Root + name).parent_path());
    std::ofstream(Root + name) << "#!/bin/sh\n";
    chmod((Root + name).c_str(), 0755);
  }
  void Document(const std::string& name) const {
    std::filesystem::create_directories(std::filesystem::path(Root + name).parent_path());
    std::ofstream(Root + name) << "text";
  }
  LaunchPlan Plan(const std::string& text, const std::string& folder = "boards/") const {
    return PlanExecutar(text, Root + folder, Root + "bin:relative:" + Root + "nowhere");
  }
  LaunchPlan Start(const std::string& program, Args arguments = {}) const {
    return {LaunchKind::Program, Root + program, std::move(arguments)};
  }
  LaunchPlan Refused(const std::string& file) const { return {LaunchKind::Refused, Root + file, {}}; }
  test::TempFolder Folder;
  const std::string Root = Folder.Root() + "/";
};

TEST_F(ExecutarPlanTest, FindsProgramsWithoutExeInTheBoardFolderThenOnThePath) {
  const std::vector<std::pair<std::string, LaunchPlan>> cases = {
      {"<EXECUTAR calc.exe>", Start("boards/calc")},
      {"<EXECUTAR \\calc.exe>", Start("boards/calc")},
      {"<EXECUTAR PROG.exe>", Start("boards/Prog")}, // letter case as on Windows
      {"<EXECUTAR c:\\tools\\x.exe -a>", {}},        // a Windows full path never reaches the board's folder
      {"<EXECUTAR c:\\windows\\notepad.exe nota.txt>", Start("bin/notepad", {"nota.txt"})},
      {"<EXECUTAR NOTEPAD.exe>", Start("bin/notepad")},
      {"<EXECUTAR ..\\calc.exe>", Refused("boards/sub/../calc")}, // outside the board: /tmp answers too
      {"<EXECUTAR noexec.exe>", {}},                              // not executable, and not on the path
      {"<EXECUTAR missing.exe>", {}},
      {"<EXECUTAR .exe>", {}},
      {"<EXECUTAR ..exe>", {}},
  };
  for (const auto& [text, expected] : cases) {
    const std::string folder = text.find("..\\") != std::string::npos ? "boards/sub/" : "boards/";
    EXPECT_EQ(Plan(text, folder), expected) << text;
  }
}

TEST_F(ExecutarPlanTest, OpensDocumentsThatExist) {
  EXPECT_EQ(Plan("<EXECUTAR M\xFAsica.txt>"),
            (LaunchPlan{LaunchKind::Document, Root + "boards/M\xC3\xBAsica.txt", {}}));
  EXPECT_EQ(Plan("<EXECUTAR c:\\docs\\a.txt>"),
            (LaunchPlan{LaunchKind::Document, Root + "boards/docs/a.txt", {}}));
  EXPECT_EQ(Plan("<EXECUTAR C:\\APP.EXE -a>"), LaunchPlan{});
  EXPECT_EQ(Plan("<EXECUTAR Musica.txt>"), LaunchPlan{});
  EXPECT_EQ(Plan("<EXECUTAR https://example.org/a?b=1>"),
            (LaunchPlan{LaunchKind::Document, "https://example.org/a?b=1", {}}));
  EXPECT_EQ(Plan("<EXECUTAR https://example.org/a b>"), LaunchPlan{});
  // Without a board on screen a relative name names nothing.
  EXPECT_EQ(PlanExecutar("<EXECUTAR calc.exe>", "", ""), LaunchPlan{});
}

TEST_F(ExecutarPlanTest, HostileTextsStartOnlyTheNamedProgramWithLiteralArguments) {
  EXPECT_EQ(
      Plan("<EXECUTAR calc.exe ; " + Root + "other/pwned | `pwned` $(pwned) \"a;b\" ..\\..\\x\n\"q>"),
      Start("boards/calc", {";", Root + "other/pwned", "|", "`pwned`", "$(pwned)", "a;b", "..\\..\\x", "q"}));
  const std::vector<std::string> nothing = {
      "<EXECUTAR calc;pwned.exe>", "<EXECUTAR calc|pwned.exe>",        "<EXECUTAR $(pwned).exe>",
      "<EXECUTAR `pwned`.exe>",    "<EXECUTAR \"pwned\".exe>",         "<EXECUTAR calc\npwned.exe>",
      "<EXECUTAR calc\n.exe>",     "<EXECUTAR ..\\other\\pwned;.exe>",
      "<EXECUTAR pwned.exe>", // in a folder the board does not name and not on the path
      "<EXECUTAR calc.txt;pwned>", "<EXECUTAR relative.exe>",
  };
  for (const std::string& text : nothing)
    EXPECT_EQ(Plan(text), LaunchPlan{}) << text;
}

TEST_F(ExecutarPlanTest, LooksInTheBoardFolderAsWrittenThenWithoutExeThenOnThePath) {
  Program("order/both/tool.exe");
  Program("order/both/tool");
  Program("order/bare/tool");
  std::filesystem::create_directories(Root + "order/none");
  Program("bin/tool");
  Document("order/text/tool.exe"); // not a program: passed over, never opened
  Program("order/text/tool");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"order/both/", "order/both/tool.exe"},
      {"order/bare/", "order/bare/tool"},
      {"order/none/", "bin/tool"},
      {"order/text/", "order/text/tool"},
  };
  for (const auto& [folder, expected] : cases)
    EXPECT_EQ(Plan("<EXECUTAR tool.exe>", folder), Start(expected)) << folder;
  // Full Windows paths, with a drive or from a server, skip the board's folder even when it holds the name.
  for (const std::string text : {"<EXECUTAR C:\\Program Files\\Tool\\tool.exe>",
                                 "<EXECUTAR \\\\srv\\tool.exe>", "<EXECUTAR c:tool.exe>"})
    EXPECT_EQ(Plan(text, "order/both/"), Start("bin/tool")) << text;
}

// A program or document in the board's folder starts only when no one but its owner (this user or
// root) can have put or changed it, all the way up to the board's folder.
TEST_F(ExecutarPlanTest, RefusesFilesOthersCanChange) {
  struct Case {
    std::string Name;
    std::string ChmodPath; // relative to the board folder "own/"; "." is the folder itself
    mode_t Mode;
    bool Starts;
    bool SharedGroup = false; // the group is one others are in, not the owner's private one
  };
  const std::vector<Case> cases = {
      {"plain", "run", 0755, true},
      {"a shared group may write", "run", 0775, false, true},
      {"the owner's private group may write", "run", 0775, true},
      {"others may write", "run", 0757, false},
      {"no execute for others, still closed", "run", 0700, true},
      {"folder inside is open", "tools", 0777, false},
      {"folder inside is sticky and open", "tools", 01777, false},
      {"folder inside is writable by a shared group", "tools", 0775, false, true},
      {"folder inside is writable by the private group", "tools", 0775, true},
      {"the board folder is open", ".", 0777, false},
      {"the board folder is sticky", ".", 01777, false},
  };
  for (const Case& c : cases) {
    // Only root can give a file to any group, and root's own group is private to it.
    const bool groupCase = (c.Mode & S_IWGRP) != 0 && (c.Mode & S_IWOTH) == 0;
    if (groupCase && geteuid() != 0) continue;
    const std::string folder = Root + "own/";
    std::filesystem::remove_all(folder);
    Program("own/run");
    Program("own/tools/run");
    Document("own/tools/doc.txt");
    ASSERT_EQ(chmod((folder + c.ChmodPath).c_str(), c.Mode), 0) << c.Name;
    ASSERT_EQ(chown((folder + c.ChmodPath).c_str(), static_cast<uid_t>(-1), c.SharedGroup ? 100 : 0), 0)
        << c.Name;
    const bool inTools = c.ChmodPath == "tools";
    const std::string text = inTools ? "<EXECUTAR tools\\run.exe -x>" : "<EXECUTAR run.exe -x>";
    const std::string file = inTools ? "own/tools/run" : "own/run";
    EXPECT_EQ(Plan(text, "own/"), c.Starts ? Start(file, {"-x"}) : Refused(file)) << c.Name;
    if (inTools) {
      EXPECT_EQ(Plan("<EXECUTAR tools\\doc.txt>", "own/").Kind,
                c.Starts ? LaunchKind::Document : LaunchKind::Refused)
          << c.Name;
    }
  }
  // What lies above the board's folder is not asked about: a board folder of one's own in /tmp is fine.
  ASSERT_EQ(chmod(Root.c_str(), 0777), 0);
  std::filesystem::remove_all(Root + "own");
  Program("own/run");
  EXPECT_EQ(Plan("<EXECUTAR run.exe>", "own/"), Start("own/run"));
}

TEST_F(ExecutarPlanTest, RefusesAFileOfAnotherOwner) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  Program("boards/theirs");
  ASSERT_EQ(chown((Root + "boards/theirs").c_str(), 65534, 65534), 0);
  EXPECT_EQ(Plan("<EXECUTAR theirs.exe>"), Refused("boards/theirs"));
  ASSERT_EQ(chown((Root + "boards/sub").c_str(), 65534, 65534), 0);
  Program("boards/sub/mine");
  EXPECT_EQ(Plan("<EXECUTAR sub\\mine.exe>"), Refused("boards/sub/mine"));
}

TEST_F(ExecutarPlanTest, FollowsLinksToTheFileTheyName) {
  // A link of the board's own folder to a file planted where anyone can write is that planted file.
  std::filesystem::create_directories(Root + "open");
  ASSERT_EQ(chmod((Root + "open").c_str(), 01777), 0);
  Program("open/planted");
  std::filesystem::create_symlink(Root + "open/planted", Root + "boards/linked");
  EXPECT_EQ(Plan("<EXECUTAR linked.exe>"), Refused("boards/linked"));
  // A link to a system program is that program, which only root can change.
  std::filesystem::create_symlink("/bin/sh", Root + "boards/shell");
  EXPECT_EQ(Plan("<EXECUTAR shell.exe>"), Start("boards/shell"));
  EXPECT_TRUE(SafeFromOthers("/bin/sh", ""));
  EXPECT_FALSE(SafeFromOthers(Root + "missing", Root));
}

// A link is only as safe as the folder it lies in: one planted in a board folder others can write
// chooses what the board's name reaches, even a system program that then gets the board's arguments.
TEST_F(ExecutarPlanTest, ALinkCountsOnlyInAFolderClosedToOthers) {
  struct Case {
    const char* Name;
    mode_t FolderMode;
    const char* Text;
    const char* Found;
    bool Starts;
  };
  const std::vector<Case> cases = {
      {"link to a system program, closed folder", 0755, "<EXECUTAR shell.exe -c x>", "links/shell", true},
      {"link to a system program, sticky open folder", 01777, "<EXECUTAR shell.exe -c x>", "links/shell",
       false},
      {"linked folder of system programs, closed folder", 0755, "<EXECUTAR system\\sh.exe -c x>",
       "links/system/sh", true},
      {"linked folder of system programs, open folder", 0777, "<EXECUTAR system\\sh.exe -c x>",
       "links/system/sh", false},
  };
  std::filesystem::create_directories(Root + "links");
  std::filesystem::create_symlink("/bin/sh", Root + "links/shell");
  std::filesystem::create_symlink("/bin", Root + "links/system");
  for (const Case& c : cases) {
    ASSERT_EQ(chmod((Root + "links").c_str(), c.FolderMode), 0) << c.Name;
    EXPECT_EQ(Plan(c.Text, "links/"), c.Starts ? Start(c.Found, {"-c", "x"}) : Refused(c.Found)) << c.Name;
  }
  ASSERT_EQ(chmod((Root + "links").c_str(), 0755), 0);
  // Climbing out of the board's folder with ".." looks up no name in the open folders it passes.
  EXPECT_EQ(Plan("<EXECUTAR ..\\..\\..\\..\\..\\..\\..\\..\\bin\\sh.exe>", "links/").Kind,
            LaunchKind::Program);
  if (geteuid() != 0) return;
  // A link only another user can have made, in a folder that is closed now.
  std::filesystem::create_symlink("/bin/sh", Root + "links/theirs");
  ASSERT_EQ(lchown((Root + "links/theirs").c_str(), 65534, 65534), 0);
  EXPECT_EQ(Plan("<EXECUTAR theirs.exe>", "links/"), Refused("links/theirs"));
}

// The player's working folder and relative PATH entries are wherever it happens to run: never searched,
// even when the working folder holds the program.
TEST_F(ExecutarPlanTest, NeverLooksInTheWorkingFolderOrRelativePathEntries) {
  Program("work/tool");
  Program("work/rel/tool");
  Program("work/here.exe");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(Root + "work");
  for (const std::string& path :
       std::vector<std::string>{"", ":", "rel", ".", "./rel", "rel:.:", ":" + Root + "nowhere"}) {
    EXPECT_EQ(PlanExecutar("<EXECUTAR tool.exe>", Root + "boards/", path), LaunchPlan{}) << path;
    // Without a board on screen a name is relative to nothing, not to the working folder.
    EXPECT_EQ(PlanExecutar("<EXECUTAR here.exe>", "", path), LaunchPlan{}) << path;
  }
  EXPECT_EQ(PlanExecutar("<EXECUTAR tool.exe>", Root + "boards/", "rel:" + Root + "work"),
            Start("work/tool"));
  std::filesystem::current_path(before);
}

} // namespace
} // namespace nq
