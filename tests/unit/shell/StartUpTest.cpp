// The start sequence: the first board from the command line or the settings, the start grid, the
// missing start-up board and the first-run speech choice.
#include <filesystem>
#include <gtest/gtest.h>

#include "actions/CellCommands.h"

#include "ShellFakes.h"
#include "settings/TrustedFolders.h"

namespace nq::test {
namespace {

TEST(StartUp, NoArgumentsAndNoHomeBoardShowTheStartGrid) {
  ShellHarness h;
  h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n[NexoQuadrix]\r\nNomFitxerInicial=\r\n");
  h.Started();
  EXPECT_TRUE(h.Messages.Messages.empty());
  EXPECT_EQ(h.State().View.Columns, 1);
  EXPECT_EQ(h.State().View.Rows, 1);
  EXPECT_EQ(h.State().CellCount, 1);
  EXPECT_EQ(h.State().CurrentBoardFile, "");
  EXPECT_EQ(h.Window.Captions.back(), "NexoQuadrix - " + std::string(VersionText));
  ASSERT_FALSE(h.Window.StayOnTopCalls.empty());
  EXPECT_TRUE(h.Window.StayOnTopCalls.back());
  EXPECT_TRUE(h.Window.HookInstalled);
}

TEST(StartUp, StartPictureIsNeverEnlargedOnAFullHdScreen) {
  ShellHarness h;
  std::filesystem::copy_file(std::string(NQ_SOURCE_DIR) + "/data/NxeoQuadrix.png",
                             h.DataFolder() + "NxeoQuadrix.png");
  h.Window.ClientW = 1920; // a full-HD screen filled by the window without its menu and frame
  h.Window.ClientH = 1040;
  h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n");
  h.Started();
  const TBox& start = *h.ThePlayer->Boxes().GridBox(1);
  ASSERT_EQ(start.Picture, "NxeoQuadrix.png");
  ASSERT_TRUE(start.PictureImage.Visible);
  ASSERT_NE(start.HeldPicture(), nullptr);
  EXPECT_GE(start.HeldPicture()->Width, start.PictureImage.Bounds.Width);
  EXPECT_GE(start.HeldPicture()->Height, start.PictureImage.Bounds.Height);
}

TEST(StartUp, StartPictureIsHeldNoLargerThanASmallerScreen) {
  ShellHarness h;
  std::filesystem::copy_file(std::string(NQ_SOURCE_DIR) + "/data/NxeoQuadrix.png",
                             h.DataFolder() + "NxeoQuadrix.png");
  h.Window.ScreenW = 1280;
  h.Window.ScreenH = 800;
  h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n");
  h.Started();
  const TBox& start = *h.ThePlayer->Boxes().GridBox(1);
  ASSERT_NE(start.HeldPicture(), nullptr);
  EXPECT_LE(std::max(start.HeldPicture()->Width, start.HeldPicture()->Height), 1280);
  EXPECT_GE(start.HeldPicture()->Width, start.PictureImage.Bounds.Width);
}

struct JoinCase {
  const char* Name;
  std::vector<std::string> Arguments; // "@" stands for the boards folder
};

class CommandLineJoin : public ::testing::TestWithParam<JoinCase> {};

TEST_P(CommandLineJoin, ArgumentsFormOnePath) {
  ShellHarness h;
  const std::string board = h.WriteBoard("my board.qdx", {.Prefix = "b"});
  std::vector<std::string> arguments;
  for (std::string argument : GetParam().Arguments) {
    if (argument.starts_with("@")) argument = h.Root + "boards/" + argument.substr(1);
    arguments.push_back(argument);
  }
  h.Started(arguments);
  EXPECT_TRUE(h.Messages.Messages.empty());
  EXPECT_EQ(h.State().HomeBoardFile, board);
  EXPECT_EQ(h.State().CurrentBoardFile, board);
  EXPECT_EQ(h.State().DirectoriActual, h.Root + "boards/");
  EXPECT_EQ(h.Caption(1), "b1");
}

INSTANTIATE_TEST_SUITE_P(
    Start, CommandLineJoin,
    ::testing::Values(JoinCase{"Whole", {"@my board.qdx"}}, JoinCase{"SplitAtTheBlank", {"@my", "board.qdx"}},
                      JoinCase{"TrailingBlanksAndControls", {"@my board.qdx", "", " \t\r"}}),
    [](const auto& info) { return info.param.Name; });

TEST(StartUp, CommandLineWinsOverTheSavedHomeBoard) {
  ShellHarness h;
  const std::string saved = h.WriteBoard("saved.qdx", {.Prefix = "s"});
  const std::string given = h.WriteBoard("given.qdx", {.Prefix = "g"});
  h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n[NexoQuadrix]\r\nNomFitxerInicial=" + saved + "\r\n");
  h.Started({given});
  EXPECT_EQ(h.State().HomeBoardFile, given);
  EXPECT_EQ(h.Caption(1), "g1");
}

TEST(StartUp, SavedHomeBoardOpensAndIsSavedAgainAtClose) {
  ShellHarness h;
  const std::string saved = h.WriteBoard("saved.qdx", {.Prefix = "s"});
  h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n[NexoQuadrix]\r\nNomFitxerInicial=" + saved + "\r\n");
  h.Started().FormClose();
  EXPECT_EQ(h.Caption(1), "s1");
  EXPECT_EQ(h.Setting("NexoQuadrix", "NomFitxerInicial"), saved);
  EXPECT_EQ(h.Setting("NexoQuadrix", "DirectoriActual"), h.Root + "boards/");
  EXPECT_FALSE(h.Window.HookInstalled);
}

// Runs a test from another working folder and goes back afterwards.
class WorkingFolder {
public:
  explicit WorkingFolder(const std::string& folder) : Before(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingFolder() { std::filesystem::current_path(Before); }

private:
  std::filesystem::path Before;
};

struct RelativeStartCase {
  const char* Name;
  const char* WorkIn;   // under the root
  const char* Argument; // as typed
};

class RelativeStartBoard : public ::testing::TestWithParam<RelativeStartCase> {};

TEST_P(RelativeStartBoard, GivesAnAbsoluteFolderWhereTheBoardsDocumentsAreFound) {
  ShellHarness h;
  std::filesystem::create_directories(h.Root + "boards/sub");
  const std::string board = h.WriteBoard("sub/x.qdx", {.Prefix = "x"});
  ShellHarness::WriteFile(h.Root + "boards/sub/doc.txt", "hola");
  {
    WorkingFolder here(h.Root + GetParam().WorkIn);
    h.Started({GetParam().Argument});
  }
  EXPECT_EQ(h.State().CurrentBoardFile, board);
  EXPECT_EQ(h.State().HomeBoardFile, board);
  EXPECT_EQ(h.State().DirectoriActual, h.Root + "boards/sub/");
  AddTrustedFolder(h.ThePlayer->Settings(), h.Root + "boards");
  // The player's own working folder is elsewhere now; the document is still the board's.
  h.ThePlayer->Specials().RunSpecialFunction("<EXECUTAR doc.txt>");
  ASSERT_EQ(h.Programs.Opened.size(), 1u);
  EXPECT_NE(h.Programs.Opened.front().find(h.Root + "boards/sub/doc.txt"), std::string::npos)
      << h.Programs.Opened.front();
  h.ThePlayer->FormClose();
  EXPECT_EQ(h.Setting("NexoQuadrix", "NomFitxerInicial"), board);
}

INSTANTIATE_TEST_SUITE_P(Start, RelativeStartBoard,
                         ::testing::Values(RelativeStartCase{"SubFolder", "boards", "sub/x.qdx"},
                                           RelativeStartCase{"BareName", "boards/sub", "x.qdx"},
                                           RelativeStartCase{"Detour", "prog",
                                                             "../boards/./sub/../sub/x.qdx"}),
                         [](const auto& info) { return info.param.Name; });

struct MissingCase {
  const char* Name;
  bool FromArgument;
  const char* File; // under the boards folder
};

class MissingStartBoard : public ::testing::TestWithParam<MissingCase> {};

TEST_P(MissingStartBoard, OneMessageAndBothKeysEmptiedAtClose) {
  ShellHarness h;
  const std::string missing = h.Root + "boards/" + GetParam().File;
  h.WriteSettings("[tts]\r\nNumero sintetitzador=0\r\n[NexoQuadrix]\r\nNomFitxerInicial=" +
                  std::string(GetParam().FromArgument ? "" : missing) + "\r\nDirectoriActual=/old/\r\n");
  if (GetParam().FromArgument)
    h.Started({missing});
  else
    h.Started();
  EXPECT_EQ(h.Messages.Messages, std::vector<std::string>{"No existe el archivo: " + missing});
  EXPECT_EQ(h.State().HomeBoardFile, "");
  EXPECT_EQ(h.State().CellCount, 1);
  h.ThePlayer->FormClose();
  EXPECT_EQ(h.Setting("NexoQuadrix", "NomFitxerInicial"), "");
  EXPECT_EQ(h.Setting("NexoQuadrix", "DirectoriActual"), "");
}

INSTANTIATE_TEST_SUITE_P(Start, MissingStartBoard,
                         ::testing::Values(MissingCase{"Argument", true, "gone.qdx"},
                                           MissingCase{"Saved", false, "gone.qdx"},
                                           MissingCase{"FolderNotFile", true, ""}),
                         [](const auto& info) { return info.param.Name; });

struct SpeechChoiceCase {
  const char* Name;
  const char* Settings;
  int Shows;
};

class FirstRunSpeech : public ::testing::TestWithParam<SpeechChoiceCase> {};

TEST_P(FirstRunSpeech, SpeechWindowOnlyWhileNoEngineIsChosen) {
  ShellHarness h;
  h.WriteSettings(GetParam().Settings);
  h.Started();
  EXPECT_EQ(h.Window.SpeechShows, GetParam().Shows);
}

INSTANTIATE_TEST_SUITE_P(
    Start, FirstRunSpeech,
    ::testing::Values(SpeechChoiceCase{"NoFile", "", 1},
                      SpeechChoiceCase{"MinusOne", "[tts]\nNumero sintetitzador=-1\n", 1},
                      SpeechChoiceCase{"Chosen", "[tts]\nNumero sintetitzador=2\n", 0},
                      SpeechChoiceCase{"MinusTen", "[tts]\nNumero sintetitzador=-10\n", 0},
                      SpeechChoiceCase{"Empty", "[tts]\nNumero sintetitzador=\n", 0}),
    [](const auto& info) { return info.param.Name; });

TEST(StartUp, MenuItemsThatShowModalWindowsRemoveTheHookMeanwhile) {
  ShellHarness h;
  h.Started();
  for (const char* item : {"MenuAbout", "MenuSynthesizerTTS"}) {
    const int changes = h.Window.HookChanges;
    EXPECT_TRUE(h.ThePlayer->MenuClick(item));
    EXPECT_EQ(h.Window.HookChanges, changes + 2) << item;
    EXPECT_TRUE(h.Window.HookInstalled) << item;
  }
  EXPECT_EQ(h.Window.AboutShows, 1);
  EXPECT_FALSE(h.ThePlayer->MenuClick("NoSuchItem"));
}

TEST(StartUp, EditionWithoutTheEditorShowsItsMessage) {
  ShellHarness h;
  h.Started();
  h.ThePlayer->MenuClick("MenuEdicion");
  EXPECT_EQ(h.Messages.Messages,
            std::vector<std::string>{std::string(CompanionMissingText) + h.ProgramFolder()});
  EXPECT_EQ(h.Window.Closes, 0);
}

TEST(StartUp, TutorialThatCannotOpenSaysSo) {
  for (const bool opens : {true, false}) {
    ShellHarness h;
    h.Programs.Opens = opens;
    h.Started();
    h.ThePlayer->MenuClick("Tutorial1");
    ASSERT_EQ(h.Programs.Opened.size(), 1u);
    ASSERT_EQ(h.Messages.Messages.size(), opens ? 0u : 1u);
    if (!opens) {
      EXPECT_NE(h.Messages.Messages.front().find(h.Programs.Opened.front()), std::string::npos);
    }
  }
}

} // namespace
} // namespace nq::test
