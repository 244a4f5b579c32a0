// The dispatcher against a recording player: which row a text runs, and every step it takes in order.
#include "actions/CellCommands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "actions/OutsideCommands.h"
#include "support/CellCommandFakes.h"
#include "support/CellTestFakes.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace nq::test {
namespace {

using Steps = std::vector<std::string>;

struct Harness {
  SpecialFunctionRecorder Player;
  VirtualClock Clock;
  CellCommands Functions{Player, Player, Player, Clock, ""};
  Harness() {
    Functions.TheClipboard = &Player;
    Functions.Gate = &Player;
  }
  Steps Run(const std::string& text) {
    Player.Log.clear();
    Functions.RunSpecialFunction(text);
    return Player.Log;
  }
};

struct RowCase {
  std::string Text;
  int32_t Row;
  Steps Expected;
};

const std::string Back = "button -2";

// One row of each kind of the command table, the menu tokens whose item has another name, and the
// tokens whose button or order no rule below gives.
const std::vector<RowCase> TableCases = {
    {"<NEXOQUADRIX>", 1, {"message " + std::string(CompanionMissingText) + "/prog/"}},
    {"<TANCAR APLICACIO>", 2, {"close foreground"}},
    {"<TANCAR QUADRIX>", 3, {"close window"}},
    {"<EXECUTAR missing.exe>", 4, {}},
    {"<CASA>", 6, {"button -1"}},
    {"<LLEGIR ULTIMA PARAULA>", 7, {"button -3"}},
    {"<LLEGIR MISSATGE>", 8, {"button -4"}},
    {"<ESBORRAR ULTIM>", 9, {"button -5"}},
    {"<ESBORRAR ULTIMA PARAULA>", 10, {"button -6"}},
    {"<ESBORRAR TOT>", 11, {"button -7"}},
    {"<LLEGIR SIMBOL ACTUAL>", 12, {"button -8"}},
    {"<NEXO_QDX_ANTERIOR>", 13, {Back}},
    {"<TORNAR PLAFO ANTERIOR>", 13, {Back}},
    {"<NEXO_MENU_MenuSpeak>", 14, {"menu MenuSpeak", Back}},
    {"<NEXO_MENU_NonFocusable>", 15, {"toggle external", Back}},
    {"<NEXO_MENU_NoMenuNoCaption>", 16, {"toggle no menu", Back}},
    {"<NEXO_MENU_MenuCentrarCaptions>", 20, {Back, "menu MenuCentrarCaptions"}},
    {"<NEXO_MENU_MenuVerBarraBotones>", 21, {Back, "menu MenuVerBarraDeBotones"}},
    {"<NEXO_MENU_MenuVerBarraMensaje>", 22, {Back, "menu MenuVerBarraDeEscribirMensaje"}},
    {"<NEXO_MENU_MenuEscribirLetrasOPalabras>", 23, {Back, "menu MenuEscribirletrasOPalabras"}},
    {"<NEXO_MENU_MenuEscribirTextoALeer>", 24, {Back, "menu MenuEscriureTextALlegir"}},
    {"<NEXO_MENU_MenuPositionMaximized>", 26, {Back, "menu MenuPlafoMAXIMIZED"}},
    {"<OBRIR FORM MENU>", 34, {"open /prog/Nexo_quadrix_menu.qdx"}},
    {"<NEXO_MENU_Edicion>", 35, {"stop scanning", "message " + std::string(CompanionMissingText) + "/prog/"}},
    {"<NEXO_MENU_Obrir>", 36, {Back, "menu MenuOpenFile"}},
    {"<KEY_COMBINATION D17,U17,>", 37, {}}, // external-window mode is off
    {"<ESCANEIG AUTOMATIC>", 38, {"menu MenuEscaneigAutomatic"}},
    {"<PARAR ESCANEIG>", 39, {"stop scanning"}},
    {"<AJUSTAR FINESTRA RECEPTORA>", 40, {"fit receiving window"}},
    {"<NEXO_MENU_MenuEscaneigAutomatic>", 41, {"menu MenuEscaneigAutomatic", Back}},
    {"<IMPRIMIR>", 50, {}},
    {"<LLEGIR LINIA>", 50, {}},
    {"<MISSATGE A FINESTRA EXTERNA>", 50, {}},
};

TEST(CellCommandsTest, RowsOfEachKindRunTheirStepsInOrder) {
  for (const RowCase& c : TableCases) {
    Harness h;
    EXPECT_EQ(CellCommands::CommandRow(c.Text), c.Row) << c.Text;
    EXPECT_EQ(h.Run(c.Text), c.Expected) << c.Text;
  }
}

// The menu tokens of the bundled menu board each switch one thing and go back to the board the user
// came from: first, when the option belongs to that board, so the change lands on it; afterwards
// otherwise. A token names its menu item unless it is one of the renamed rows above.
TEST(CellCommandsTest, BundledMenuTokensSwitchOneThingAndGoBackOnceOnTheRightSide) {
  const std::string menuBoard = ReadBytes(std::string(NQ_SOURCE_DIR) + "/data/Nexo_quadrix_menu.qdx");
  const std::regex menuToken("<NEXO_MENU_([A-Za-z0-9]+)>");
  std::set<std::string> renamed;
  for (const RowCase& c : TableCases)
    renamed.insert(c.Text);
  int tokens = 0;
  for (std::sregex_iterator it(menuBoard.begin(), menuBoard.end(), menuToken), end; it != end; ++it) {
    const std::string token = it->str();
    Harness h;
    const Steps steps = h.Run(token);
    if (!test::MarksAnOptionOf(token, "")) continue; // the editor and the open dialog: in the table
    ++tokens;
    ASSERT_EQ(steps.size(), 2u) << token;
    const bool backFirst = steps[0] == Back;
    EXPECT_EQ(backFirst, test::MarksAnOptionOf(token, "Menu Options 2")) << token; // the board's own options
    const std::string& change = steps[backFirst ? 1 : 0];
    EXPECT_NE(change, Back) << token;
    if (!renamed.contains(token) && change.starts_with("menu ")) {
      EXPECT_EQ(change, "menu " + (*it)[1].str()) << token;
    }
  }
  EXPECT_GE(tokens, 29);
}

TEST(CellCommandsTest, RecognitionFoldsAccentsAndComparesWholeTexts) {
  const std::vector<std::pair<std::string, Steps>> cases = {
      {"<ESBORRAR \xDALTIM>", {"button -5"}},        // Ú folds to U
      {"<LLEGIR \xDALTIMA PARAULA>", {"button -3"}}, // accented token
      {"\xA1<CASA>!", {"button -1"}},                // "¡" and "!" disappear
      {"<casa>", {}},                                // case counts
      {"<CASA> ", {}},                               // the whole text counts
      {" <CASA>", {}},
      {"<CASA><LLEGIR MISSATGE>", {}}, // one command per cell
      {"", {}},
      {"!?", {}},                     // folds to nothing
      {"<RETURN>", {"key <RETURN>"}}, // a key token never reaches the table
      {"<NEXO_MENU_menuspeak>", {}},
      {"<executar missing.exe>", {}}, // recognised in any case, runs nothing
  };
  for (const auto& [text, expected] : cases) {
    Harness h;
    EXPECT_EQ(h.Run(text), expected) << text;
  }
}

TEST(CellCommandsTest, ContainmentRowsKeepTableOrder) {
  // "<EXECUTAR" (row 4) is looked for before "<KEY_COMBINATION" (row 37), anywhere in the text.
  EXPECT_EQ(CellCommands::CommandRow("<KEY_COMBINATION D1,> <EXECUTAR x.exe>"), 4);
  EXPECT_EQ(CellCommands::CommandRow("say <key_combination D1,>"), 37);
  // "<EXECUTAR" is looked for in the text as written, where "!" may sit inside the token.
  EXPECT_EQ(CellCommands::CommandRow("<EXEC!UTAR x.exe>"), 0);
  EXPECT_EQ(CellCommands::CommandRow("<KEY_COMB!INATION D1,>"), 37);
  EXPECT_EQ(CellCommands::CommandRow("<NEXO_REPOSAR>"), 0);
  EXPECT_EQ(CellCommands::CommandRow("<SALTAR ESCANEIG>"), 0);
}

TEST(CellCommandsTest, KeyCombinationOnlyInExternalWindowMode) {
  Harness h;
  h.Player.ExternalOn = true;
  EXPECT_EQ(h.Run("<KEY_COMBINATION D17,D67,U67,U17,>"), (Steps{"down 17", "down 67", "up 67", "up 17"}));
  // The last item counts without its comma: Control is not left down.
  EXPECT_EQ(h.Run("<KEY_COMBINATION D17,D67,U67,U17>"), (Steps{"down 17", "down 67", "up 67", "up 17"}));
}

TEST(CellCommandsTest, BadKeyCombinationItemReleasesWhatItPressedAndSaysSoOnce) {
  Harness h;
  h.Player.ExternalOn = true;
  EXPECT_EQ(h.Run("<KEY_COMBINATION D17,D16,D65,U65,D1x,U16,U17,>"),
            (Steps{"down 17", "down 16", "down 65", "up 65", "up 16", "up 17",
                   "message '1x' is not a valid integer value"}));
  // A key pressed twice is released once; nothing after the bad item is sent.
  EXPECT_EQ(h.Run("<KEY_COMBINATION D18,D18,D,D65>"),
            (Steps{"down 18", "down 18", "up 18", "message '' is not a valid integer value"}));
  // A bad item after everything was released sends nothing more.
  EXPECT_EQ(h.Run("<KEY_COMBINATION D17,U17,Dz>"),
            (Steps{"down 17", "up 17", "message 'z' is not a valid integer value"}));
}

TEST(CellCommandsTest, CalculatorReplacesTheLineWithItsResult) {
  Harness h;
  h.Player.Line = "2+3";
  h.Player.ClipboardText = "the user's text";
  const Steps steps = h.Run("<CALCULAR>");
  EXPECT_EQ(h.Player.Line, "2+3 = 5");
  EXPECT_EQ(steps, (Steps{"down 35", "up 35", "down 16", "down 36", "up 36", "up 16", "down 17", "down 45",
                          "up 45", "up 17", "down 16", "down 45", "up 45", "up 16", "down 35", "up 35"}));
  EXPECT_EQ(h.Clock.Waits, (std::vector<int32_t>{100, 1000, 100, 100}));
  EXPECT_FALSE(h.Functions.Calculating());
}

TEST(CellCommandsTest, CalculatorStopsWhenNothingWasCopied) {
  Harness h;
  h.Player.Line = "2+3";
  h.Player.CopyWorks = false;
  h.Player.ClipboardText = "7*6"; // an older text must not be evaluated and pasted
  const Steps steps = h.Run("<CALCULAR>");
  EXPECT_EQ(h.Player.Line, "2+3");
  EXPECT_EQ(h.Player.ClipboardText, "");
  EXPECT_EQ(steps, (Steps{"down 35", "up 35", "down 16", "down 36", "up 36", "up 16", "down 17", "down 45",
                          "up 45", "up 17", "down 35", "up 35"}));
}

TEST(CellCommandsTest, KeyCommandsWaitingCalculatorRefusesOthers) {
  Harness h;
  h.Player.Line = "1+1";
  h.Player.ExternalOn = true;
  Steps during;
  auto timer = h.Clock.CreateTimer(500);
  timer->SetHandler([&] {
    timer->SetEnabled(false);
    const size_t before = h.Player.Log.size();
    for (const char* text :
         {"<CALCULAR>", "<RETURN>", "<KEY_COMBINATION D65,U65,>", "<TANCAR APLICACIO>", "<CASA>"})
      h.Functions.RunSpecialFunction(text);
    during.assign(h.Player.Log.begin() + static_cast<std::ptrdiff_t>(before), h.Player.Log.end());
  });
  timer->SetEnabled(true);
  h.Run("<CALCULAR>");
  EXPECT_EQ(during, (Steps{"button -1"}));
  EXPECT_EQ(h.Player.Line, "1+1 = 2");
  // Once it has ended, key commands run again.
  EXPECT_EQ(h.Run("<RETURN>"), (Steps{"key <RETURN>"}));
}

TEST(CellCommandsTest, KeyCommandsWaitWhileAButtonCommandSendsItsKeys) {
  Harness h;
  h.Player.ButtonsBusy = true;
  h.Player.ExternalOn = true;
  EXPECT_EQ(h.Run("<RETURN>"), Steps{});
  EXPECT_EQ(h.Run("<CALCULAR>"), Steps{});
  EXPECT_EQ(h.Run("<LLEGIR MISSATGE>"), (Steps{"button -4"}));
}

TEST(CellCommandsTest, CalculatorWithoutClipboardDoesNothing) {
  Harness h;
  h.Functions.TheClipboard = nullptr;
  EXPECT_EQ(h.Run("<CALCULAR>"), Steps{});
}

TEST(CellCommandsTest, MenuBoardOrMenuBack) {
  Harness h;
  h.Player.MenuBoard.clear();
  EXPECT_EQ(h.Run("<OBRIR FORM MENU>"), Steps{});
  h.Player.NoMenuOn = true;
  EXPECT_EQ(h.Run("<OBRIR FORM MENU>"), (Steps{"toggle no menu"}));
}

TEST(CellCommandsTest, OpenDialogSuspendsExternalWindowMode) {
  Harness h;
  h.Player.ExternalOn = true;
  EXPECT_EQ(h.Run("<NEXO_MENU_Obrir>"),
            (Steps{Back, "suspend external", "menu MenuOpenFile", "resume external"}));
}

// A temporary folder named the way the player keeps its folders, with a trailing slash, holding scripts.
struct ScriptFolder : TempFolder {
  const std::string Dir = Root() + "/";
  void Write(const std::string& name, bool executable) const {
    std::ofstream(Dir + name) << "#!/bin/sh\n";
    chmod((Dir + name).c_str(), executable ? 0755 : 0644);
  }
};

TEST(CellCommandsTest, CompanionProgramIsLookedForWithAndWithoutExe) {
  for (const char* name : {"quadrix", "quadrix.exe"}) {
    ScriptFolder program;
    program.Write(name, true);
    Harness h;
    h.Player.Program = program.Dir;
    EXPECT_EQ(h.Run("<NEXOQUADRIX>"),
              (Steps{"start " + program.Dir + name + " [/boards/a.qdx]", "close window"}))
        << name;
  }
  // A companion that does not start keeps the program running and says so.
  ScriptFolder program;
  program.Write("quadrix", true);
  Harness h;
  h.Player.Program = program.Dir;
  h.Player.StartSucceeds = false;
  EXPECT_EQ(h.Run("<NEXOQUADRIX>"), (Steps{"start " + program.Dir + "quadrix [/boards/a.qdx]",
                                           "message " + std::string(CompanionMissingText) + program.Dir}));
}

// Our editor comes first, from the program folder and else from the search path, and is told the
// player closed for it; a "quadrix" the user installed is the fallback. With no board on screen no
// board is passed at all: an empty argument would open a board named "".
TEST(CellCommandsTest, CompanionEditorIsOursFirstAndGetsNoEmptyBoard) {
  struct Case {
    const char* Name;
    std::vector<std::string> InProgramFolder;
    bool EditorOnPath;
    std::string Board;
    std::string Started; // relative to "prog/" or "path/"
    std::vector<std::string> Arguments;
  };
  const std::string back(CompanionReturnOption);
  const std::vector<Case> cases = {
      {"beside the player",
       {"nexoquadrix-editor", "quadrix"},
       true,
       "/b/x y.qdx",
       "prog/nexoquadrix-editor",
       {back, "/b/x y.qdx"}},
      {"on the path", {"quadrix"}, true, "/b/a.qdx", "path/nexoquadrix-editor", {back, "/b/a.qdx"}},
      {"fallback", {"quadrix.exe"}, false, "/b/a.qdx", "prog/quadrix.exe", {"/b/a.qdx"}},
      {"no board, ours", {"nexoquadrix-editor"}, false, "", "prog/nexoquadrix-editor", {back}},
      {"no board, fallback", {"quadrix"}, false, "", "prog/quadrix", {}},
  };
  for (const Case& c : cases) {
    ScriptFolder root;
    std::filesystem::create_directories(root.Dir + "prog");
    std::filesystem::create_directories(root.Dir + "path");
    for (const std::string& name : c.InProgramFolder)
      root.Write("prog/" + name, true);
    if (c.EditorOnPath) root.Write("path/nexoquadrix-editor", true);
    Harness h;
    h.Functions.SetSearchPath("/nonexistent:" + root.Dir + "path");
    h.Player.Program = root.Dir + "prog/";
    h.Player.Board = c.Board;
    std::string expected = "start " + root.Dir + c.Started;
    for (const std::string& argument : c.Arguments)
      expected += " [" + argument + "]";
    EXPECT_EQ(h.Run("<NEXOQUADRIX>"), (Steps{expected, "close window"})) << c.Name;
  }
}

TEST(CellCommandsTest, ExecutarStartsWhatTheBoardNamesWithItsArgumentsAsWritten) {
  ScriptFolder board;
  board.Write("escriu", true);
  std::ofstream(board.Dir + "M\xC3\xBAsica.mp3") << "x";
  Harness h;
  h.Player.Folder = board.Dir;
  EXPECT_EQ(h.Run("<EXECUTAR escriu.exe M\xFAsica! \"dos tres\">"),
            (Steps{"start " + board.Dir + "escriu [M\xC3\xBAsica!] [dos tres]"}));
  EXPECT_EQ(h.Run("<EXECUTAR M\xFAsica.mp3>"), (Steps{"document " + board.Dir + "M\xC3\xBAsica.mp3"}));
  EXPECT_EQ(h.Run("<EXECUTAR Musica.mp3>"), Steps{});
}

// Steps that reach another program or start one; everything else stays inside the player.
bool ReachedOutside(const Steps& steps) {
  // Looking for the editor and telling it is missing counts: it would have started a program.
  const std::string companionMissing = "message " + std::string(CompanionMissingText);
  for (const std::string& step : steps)
    for (const std::string outside :
         {"start ", "document ", "key ", "down ", "up ", "close foreground", companionMissing.c_str()})
      if (step.starts_with(outside)) return true;
  return false;
}

// Whatever the dispatcher does outside the player, a folder that is not trusted stops, and
// ReachesOutside (the rule imports use) says so for the same text.
TEST(CellCommandsTest, NothingReachesOutsideWithoutTheFoldersTrust) {
  ScriptFolder board;
  board.Write("escriu", true);
  std::ofstream(board.Dir + "nota.txt") << "x";
  const std::vector<std::string> texts = {
      "<EXECUTAR escriu.exe a>",
      "say <executar escriu.exe>",
      "<EXECUTAR nota.txt>",
      "<EXECUTAR https://example.org/>",
      "<KEY_COMBINATION D17,U17,>",
      "x <key_combinati\xF3n D65,U65,>",
      "<RETURN>",
      "<ESC>",
      "<TANCAR APLICACI\xD3>",
      "<NEXOQUADRIX>",
      "<NEXO_MENU_Edicion>",
      "<CALCULAR>",
      "<CASA>",
      "<LLEGIR MISSATGE>",
      "<NEXO_MENU_MenuSpeak>",
      "<OBRIR FORM MENU>",
      "<TANCAR QUADRIX>",
      "<EXEC!UTAR escriu.exe>",
      "hola",
      "<casa>",
  };
  for (const std::string& text : texts) {
    Harness open;
    open.Player.Folder = board.Dir;
    open.Player.ExternalOn = true;
    open.Player.Line = "1+1";
    const Steps trusted = open.Run(text);
    EXPECT_EQ(ReachesOutside(text), ReachedOutside(trusted)) << text;
    EXPECT_EQ(open.Player.Asked.size(), ReachesOutside(text) ? 1U : 0U) << text;

    Harness closed;
    closed.Player.Folder = board.Dir;
    closed.Player.ExternalOn = true;
    closed.Player.Line = "1+1";
    closed.Player.Trusted = false;
    EXPECT_FALSE(ReachedOutside(closed.Run(text))) << text;
    // Without a gate at all nothing reaches outside either.
    Harness none;
    none.Functions.Gate = nullptr;
    none.Player.Folder = board.Dir;
    none.Player.ExternalOn = true;
    EXPECT_FALSE(ReachedOutside(none.Run(text))) << text;
  }
}

TEST(CellCommandsTest, TheQuestionShowsTheProgramAndEachArgumentAsTheyWillRun) {
  ScriptFolder board;
  board.Write("escriu", true);
  Harness h;
  h.Player.Folder = board.Dir;
  h.Run("<EXECUTAR escriu.exe uno \"dos tres\" \"l\xEDnea\nfalsa\">");
  ASSERT_EQ(h.Player.Asked.size(), 1U);
  const std::string& asked = h.Player.Asked[0];
  for (const std::string& part : {board.Dir + "escriu", std::string("\xABuno\xBB"),
                                  std::string("\xAB"
                                              "dos tres\xBB"),
                                  std::string("\xABl\xEDnea\\x0A"
                                              "falsa\xBB")})
    EXPECT_NE(asked.find(part), std::string::npos) << part << " in " << asked;
  // A line break in an argument cannot pass for a line of the question.
  EXPECT_EQ(std::count(asked.begin(), asked.end(), '\n'), 3);
  // Nothing that names nothing is asked about; a key command dropped while keys are busy neither.
  h.Player.Asked.clear();
  h.Run("<EXECUTAR missing.exe>");
  h.Player.ButtonsBusy = true;
  h.Run("<RETURN>");
  h.Player.ButtonsBusy = false;
  h.Run("<KEY_COMBINATION D17,U17,>"); // not in external-window mode: does nothing
  EXPECT_TRUE(h.Player.Asked.empty());
}

// A link beside the board called like a harmless program is shown as the file it really starts.
TEST(CellCommandsTest, TheQuestionShowsWhatALinkReallyStarts) {
  ScriptFolder board;
  board.Write("escriu", true);
  std::filesystem::create_symlink(board.Dir + "escriu", board.Dir + "calc");
  Harness h;
  h.Player.Folder = board.Dir;
  h.Run("<EXECUTAR calc.exe>");
  h.Run("<EXECUTAR escriu.exe>");
  ASSERT_EQ(h.Player.Asked.size(), 2U);
  const std::string real = std::filesystem::canonical(board.Dir + "escriu").string();
  EXPECT_NE(h.Player.Asked[0].find(real), std::string::npos) << h.Player.Asked[0];
  EXPECT_EQ(h.Player.Asked[1].find(real), h.Player.Asked[1].rfind(real)) << h.Player.Asked[1];
}

// A desktop launcher opened as a document may start what it names: the question says so.
TEST(CellCommandsTest, TheQuestionSaysALauncherMayStartAProgram) {
  ScriptFolder board;
  board.Write("Nota.txt", false);
  board.Write("Nota.DESKTOP", false);
  Harness h;
  h.Player.Folder = board.Dir;
  h.Run("<EXECUTAR Nota.txt>");
  h.Run("<EXECUTAR Nota.DESKTOP>");
  ASSERT_EQ(h.Player.Asked.size(), 2U);
  EXPECT_EQ(std::count(h.Player.Asked[0].begin(), h.Player.Asked[0].end(), '\n'), 0);
  EXPECT_EQ(std::count(h.Player.Asked[1].begin(), h.Player.Asked[1].end(), '\n'), 1) << h.Player.Asked[1];
}

TEST(CellCommandsTest, AProgramOthersCanChangeIsRefusedWithOneMessagePerBoard) {
  ScriptFolder board;
  board.Write("escriu", true);
  chmod(board.Dir.c_str(), 0777);
  Harness h;
  h.Player.Folder = board.Dir;
  const Steps first = h.Run("<EXECUTAR escriu.exe>");
  ASSERT_EQ(first.size(), 1U);
  EXPECT_TRUE(first[0].starts_with("message ") && first[0].find(board.Dir + "escriu") != std::string::npos)
      << first[0];
  EXPECT_EQ(h.Run("<EXECUTAR escriu.exe>"), Steps{});
  h.Player.Board = "/boards/b.qdx";
  EXPECT_EQ(h.Run("<EXECUTAR escriu.exe>").size(), 1U);
  EXPECT_TRUE(h.Player.Asked.empty());
}

} // namespace
} // namespace nq::test
