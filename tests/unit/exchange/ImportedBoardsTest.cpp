// The player's importer: one folder per file and content, imported once and reused after.
#include <gtest/gtest.h>

#include <set>

#include "exchange/ImportedBoards.h"
#include "unit/exchange/ExchangeTestSupport.h"

namespace nq::exchange {
namespace {

const std::string Fixtures = std::string(NQ_FIXTURES) + "/obf/";

TEST(ImportedBoards, ImportsOncePerFileAndContent) {
  test::TempFolder temp;
  test::FakeDialogs dialogs;
  ImportedBoards imported(dialogs, nullptr, temp.Path("imported"));
  test::WriteBytes(temp.Path("Tauler \xC3\xBA.obf"), test::ReadBytes(Fixtures + "full.obf"));
  const std::string source = Utf8ToWindows1252(temp.Path("Tauler \xC3\xBA.obf"));

  const std::optional<std::string> first = imported.ImportedRootBoard(source);
  ASSERT_TRUE(first) << (dialogs.Messages.empty() ? "" : dialogs.Messages.front());
  EXPECT_EQ(test::ReadBoard(Windows1252ToUtf8(*first)).Cell(1, 1).Caption, "Hola");
  const std::vector<std::string> folders = test::Listing(temp.Path("imported"));
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].rfind("Tauler___", 0), 0u);

  // The same content again: the folder made the first time, untouched.
  test::WriteBytes(Windows1252ToUtf8(*first), "changed by the user");
  EXPECT_EQ(imported.ImportedRootBoard(source), first);
  EXPECT_EQ(test::ReadBytes(Windows1252ToUtf8(*first)), "changed by the user");

  // New content under the same name is a new import beside the first.
  std::string json = test::ReadBytes(Fixtures + "full.obf");
  json.replace(json.find("\"Hola\""), 6, "\"Adeu-siau\""); // another size, whatever the clock
  test::WriteBytes(temp.Path("Tauler \xC3\xBA.obf"), json);
  const std::optional<std::string> second = imported.ImportedRootBoard(source);
  ASSERT_TRUE(second);
  EXPECT_NE(*second, *first);
  EXPECT_EQ(test::ReadBoard(Windows1252ToUtf8(*second)).Cell(1, 1).Caption, "Adeu-siau");
  EXPECT_EQ(test::Listing(temp.Path("imported")).size(), 2u);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(ImportedBoards, ABrokenSetIsExplainedInTheUsersLanguageAndLeavesNoFolder) {
  test::TempFolder temp;
  test::FakeDialogs dialogs;
  ImportedBoards imported(dialogs, nullptr, temp.Path("imported"));
  test::WriteBytes(temp.Path("b.obf"), test::ReadBytes(Fixtures + "faults/duplicate-button.obf"));
  EXPECT_FALSE(imported.ImportedRootBoard(temp.Path("b.obf")));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  // The message names the file and the board at fault, without the tool's English explanation.
  const ImportResult tool = ImportBoardSet(temp.Path("b.obf"), temp.Path("tool"), nullptr);
  ASSERT_FALSE(tool.Ok);
  EXPECT_EQ(dialogs.Messages[0].find(tool.Error), std::string::npos) << dialogs.Messages[0];
  EXPECT_NE(dialogs.Messages[0].find(temp.Path("b.obf")), std::string::npos) << dialogs.Messages[0];
  EXPECT_NE(dialogs.Messages[0].find("\"b.obf\""), std::string::npos) << dialogs.Messages[0];
  EXPECT_TRUE(test::Listing(temp.Path("imported")).empty());

  EXPECT_FALSE(imported.ImportedRootBoard(temp.Path("missing.obz")));
  EXPECT_EQ(dialogs.Messages.back(), "No existe el archivo: " + temp.Path("missing.obz"));
}

// The player never keeps a command that reaches outside it, and says so once, where the list is.
TEST(ImportedBoards, OpeningASetLeavesOutItsOutsideCommandsAndSaysWhereTheyAreListed) {
  test::TempFolder temp;
  test::FakeDialogs dialogs;
  ImportedBoards imported(dialogs, nullptr, temp.Path("imported"));
  test::WriteBytes(
      temp.Path("h.obf"),
      R"({"id":"h","grid":{"rows":1,"columns":1,"order":[["a"]]},"buttons":[{"id":"a","label":"A",)"
      R"("ext_nexoquadrix_special_function":"<EXECUTAR sh.exe -c \"id | tee PWNED\">"}]})");
  const std::optional<std::string> root = imported.ImportedRootBoard(temp.Path("h.obf"));
  ASSERT_TRUE(root) << (dialogs.Messages.empty() ? "" : dialogs.Messages.front());
  EXPECT_EQ(test::ReadBoard(Windows1252ToUtf8(*root)).Cell(1, 1).SpecialFunction, "");
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  const std::string report = (std::filesystem::path(*root).parent_path() / "import-report.txt").string();
  EXPECT_NE(dialogs.Messages[0].find(report), std::string::npos) << dialogs.Messages[0];
  EXPECT_NE(test::ReadBytes(report).find("<EXECUTAR sh.exe"), std::string::npos);
  // Opened again, the set is not imported again and nothing more is said.
  EXPECT_EQ(imported.ImportedRootBoard(temp.Path("h.obf")), root);
  EXPECT_EQ(dialogs.Messages.size(), 1u);
}

// Every problem gets a message of its own, and only a cancelled import none.
TEST(ImportedBoards, EachProblemHasItsOwnMessage) {
  std::set<std::string> messages;
  for (int p = static_cast<int>(ImportProblem::None); p <= static_cast<int>(ImportProblem::Cancelled); ++p) {
    ImportResult result;
    result.Problem = static_cast<ImportProblem>(p);
    result.Where = "boards/x.obf";
    const std::string message = ImportFailureMessage("set.obz", result);
    if (result.Problem == ImportProblem::Cancelled) {
      EXPECT_TRUE(message.empty());
      continue;
    }
    EXPECT_NE(message.find("set.obz"), std::string::npos) << message;
    messages.insert(message);
  }
  // None and Broken share one: a result without a reason is read as a broken file.
  EXPECT_EQ(messages.size(), static_cast<std::size_t>(ImportProblem::Cancelled) - 1);
}

// Runs the import at once, as the player's worker thread would, after the user pressed cancel.
class CancelledRunner : public ImportRunner {
public:
  void Run(const std::string& fileName, ImportProgress& progress,
           const std::function<void()>& work) override {
    Files.push_back(fileName);
    progress.Cancel = true;
    work();
  }
  std::vector<std::string> Files;
};

TEST(ImportedBoards, ACancelledImportSaysNothingAndLeavesNoFolder) {
  test::TempFolder temp;
  test::FakeDialogs dialogs;
  CancelledRunner runner;
  ImportedBoards imported(dialogs, nullptr, temp.Path("imported"), &runner);
  test::WriteBytes(temp.Path("mine.obf"), test::ReadBytes(Fixtures + "full.obf"));
  EXPECT_FALSE(imported.ImportedRootBoard(temp.Path("mine.obf")));
  EXPECT_EQ(runner.Files, std::vector<std::string>{"mine.obf"});
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_TRUE(test::Listing(temp.Path("imported")).empty());
}

// Puts an environment variable back as it was when the test ends.
class SavedVariable {
public:
  explicit SavedVariable(const char* name) : Name(name) {
    const char* value = std::getenv(name);
    if (value) Value = value;
  }
  ~SavedVariable() {
    if (Value)
      setenv(Name, Value->c_str(), 1);
    else
      unsetenv(Name);
  }

private:
  const char* Name;
  std::optional<std::string> Value;
};

TEST(ImportedBoards, TheDataFolderFollowsXdg) {
  const SavedVariable data("XDG_DATA_HOME");
  const SavedVariable home("HOME");
  setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(DefaultImportFolder(), "/data/home/nexoquadrix/imported");
  setenv("XDG_DATA_HOME", "relative", 1); // not absolute: ignored, as the XDG rules say
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(DefaultImportFolder(), "/home/u/.local/share/nexoquadrix/imported");
}

} // namespace
} // namespace nq::exchange
