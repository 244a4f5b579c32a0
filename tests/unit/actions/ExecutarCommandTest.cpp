// "<EXECUTAR ...>": cutting path and arguments as written, splitting arguments, and finding only what
// the board names: never a shell, never a program made up from the text's punctuation.
#include "actions/ExecutarCommand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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
    char pattern[] = "/tmp/nq-executar-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    Root = std::string(made) + "/";
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
  void TearDown() override {
    std::error_code error;
    std::filesystem::remove_all(Root, error);
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
  std::string Root;
};

TEST_F(ExecutarPlanTest, FindsProgramsWithoutExeInTheBoardFolderThenOnThePath) {
  const std::vector<std::pair<std::string, LaunchPlan>> cases = {
      {"<EXECUTAR calc.exe>", Start("boards/calc")},
      {"<EXECUTAR \\calc.exe>", Start("boards/calc")},
      {"<EXECUTAR PROG.exe>", Start("boards/Prog")}, // letter case as on Windows
      {"<EXECUTAR c:\\tools\\x.exe -a>", Start("boards/tools/x", {"-a"})},
      {"<EXECUTAR c:\\windows\\notepad.exe nota.txt>", Start("bin/notepad", {"nota.txt"})},
      {"<EXECUTAR NOTEPAD.exe>", Start("bin/notepad")},
      {"<EXECUTAR ..\\calc.exe>", Start("boards/sub/../calc")},
      {"<EXECUTAR noexec.exe>", {}}, // not executable, and not on the path
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

} // namespace
} // namespace nq
