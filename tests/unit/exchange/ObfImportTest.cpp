// Importing boards of the Open Board Format: every button at its place with its texts, pictures,
// sounds, links and commands; and broken or hostile sets refused with nothing written.
#include <gtest/gtest.h>

#include "exchange/LabelEmoji.h"
#include "exchange/ObfImport.h"
#include "support/ZipTestFiles.h"
#include "unit/exchange/ExchangeTestSupport.h"

namespace nq::exchange {
namespace {

using test::AnyNoteHas;
using test::ReadBoard;

const std::string Fixtures = std::string(NQ_FIXTURES) + "/obf/";

TEST(ObfImport, PutsEveryButtonOfALoneBoardAtItsPlace) {
  test::TempFolder temp;
  const ImportResult result = ImportBoardSet(Fixtures + "full.obf", temp.Path("out"), nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_EQ(result.RootBoard, "full.qdx");
  const Board board = ReadBoard(temp.Path("out/full.qdx"));
  ASSERT_EQ(board.Columns, 4);
  ASSERT_EQ(board.Rows, 3);
  struct Expected {
    int Column, Row;
    std::string Caption, Read, SpecialFunction, Link;
    int32_t Frame;
  };
  const Expected cells[] = {
      {1, 1, "Hola", "hola a todos", "", "", 0x0000FF},
      {2, 1, "Menjar", "Menjar", "", "", 0}, // a board on the web: no link
      {3, 1, "Borrar", "Borrar", "<ESBORRAR TOT>", "", 0x00FF00},
      {4, 1, "Casa", "Casa", "<ESBORRAR ULTIM>", "", 0}, // one command per cell: the first
      {1, 2, "", "", "", "", 0},                         // null stays empty
      {2, 2, "a", "a", "", "", 0x008000}, // spelling has no equivalent; the background is the frame
      {3, 2, // the emoji is left out of the caption; a character without a Windows-1252 form is "?"
       "L\xF3"
       "dz ? \"ok\"",
       "  l\xEDnea nueva ", "", "", 0},
      {1, 3, "Web", "Web", "", "", 0},
      {2, 3, "S\xEDmbolo", "S\xEDmbolo", "", "", 0},
      {3, 3, "contento", "contento", "<LLEGIR MISSATGE>", "full.qdx", 0}, // strings of "es"; a link to itself
      {4, 3, "", "", "", "", 0},                                          // an id with no button
  };
  for (const Expected& e : cells) {
    const CellRecord& cell = board.Cell(e.Column, e.Row);
    SCOPED_TRACE("cell " + std::to_string(e.Column) + "," + std::to_string(e.Row));
    EXPECT_EQ(cell.Caption, e.Caption);
    EXPECT_EQ(cell.Read, e.Read);
    EXPECT_EQ(cell.SpecialFunction, e.SpecialFunction);
    EXPECT_EQ(cell.Link, e.Link);
    EXPECT_EQ(cell.FrameCellColour, e.Frame);
  }
  // The inline picture is written and named by the cell; the others are only reported.
  ASSERT_FALSE(board.Cell(1, 1).Picture.empty());
  EXPECT_EQ(test::ReadBytes(temp.Path("out/" + board.Cell(1, 1).Picture)).substr(1, 3), "PNG");
  EXPECT_TRUE(board.Cell(1, 3).Picture.empty());
  for (const char* note :
       {"no se ha descargado", "\"symbolstix\"", "\":home\" no usada", "\"+a\" no tiene equivalente",
        "sin sitio en la cuadrícula", "que el tablero no tiene", "sin forma en Windows-1252",
        "colores de fondo", "fuera del conjunto", "(http://example.org/ding.mp3)"})
    EXPECT_TRUE(AnyNoteHas(result.Notes, note)) << note;
  EXPECT_EQ(test::ReadBytes(temp.Path("out/root-board.txt")), "full.qdx\n");
  EXPECT_TRUE(test::Exists(temp.Path("out/import-report.txt")));
}

TEST(ObfImport, FollowsLinksOfASetBothWaysAndKeepsPicturesAndSounds) {
  test::TempFolder temp;
  ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), test::FolderEntries(Fixtures + "set")));
  test::SvgOnlyConverter converter;
  const ImportResult result = ImportBoardSet(temp.Path("set.obz"), temp.Path("out"), &converter);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_EQ(result.RootBoard, "home.qdx");
  EXPECT_EQ(result.Boards, 2);
  const Board home = ReadBoard(temp.Path("out/home.qdx"));
  const Board food = ReadBoard(temp.Path("out/food.qdx"));
  ASSERT_EQ(home.Columns, 2);
  ASSERT_EQ(food.Columns, 3);
  EXPECT_EQ(home.Cell(1, 1).Link, "food.qdx");
  EXPECT_EQ(food.Cell(1, 1).Link, "home.qdx"); // the cycle back home, by id
  EXPECT_EQ(food.Cell(2, 1).Link, "food.qdx"); // a board linking to itself
  // The SVG went through the converter; the PNG and the sound are the set's own bytes.
  EXPECT_EQ(converter.Sides, std::vector<int>{512});
  EXPECT_EQ(test::ReadBytes(temp.Path("out/" + home.Cell(1, 2).Picture)),
            std::string("\x89PNG\r\n\x1A\nconverted", 17));
  EXPECT_EQ(home.Cell(1, 2).Read, "una poma");
  EXPECT_EQ(test::ReadBytes(temp.Path("out/" + food.Cell(3, 1).Picture)),
            test::ReadBytes(Fixtures + "set/images/pear.png"));
  EXPECT_EQ(home.Cell(2, 2).Read, "snd_bell.wav");
  EXPECT_EQ(test::ReadBytes(temp.Path("out/snd_bell.wav")),
            test::ReadBytes(Fixtures + "set/sounds/bell.wav"));
}

TEST(ObfImport, ReportsPicturesNoConverterCanDraw) {
  test::TempFolder temp;
  ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), test::FolderEntries(Fixtures + "set")));
  const ImportResult result = ImportBoardSet(temp.Path("set.obz"), temp.Path("out"), nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_TRUE(AnyNoteHas(result.Notes, "\"apple\" (image/svg+xml) no se ha podido convertir"));
  EXPECT_TRUE(ReadBoard(temp.Path("out/home.qdx")).Cell(1, 2).Picture.empty());
}

// Every broken board of the corpus, alone or as the root of an archive, leaves no folder behind.
TEST(ObfImport, ABrokenBoardLeavesNothingWritten) {
  for (const auto& fault : std::filesystem::directory_iterator(Fixtures + "faults")) {
    const std::string name = fault.path().filename().string();
    SCOPED_TRACE(name);
    test::TempFolder temp;
    const std::string bytes = test::ReadText(fault.path().string());
    test::WriteBytes(temp.Path(name), bytes);
    ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), {{"board.obf", bytes}}));
    const std::vector<std::string> before = test::Listing(temp.Root());
    for (const std::string& source : {temp.Path(name), temp.Path("set.obz")}) {
      const ImportResult result = ImportBoardSet(source, temp.Path("out"), nullptr);
      EXPECT_FALSE(result.Ok);
      EXPECT_FALSE(result.Error.empty());
      EXPECT_EQ(test::Listing(temp.Root()), before);
    }
  }
}

struct SetFault {
  const char* Name;
  std::vector<test::ZipEntry> Entries;
  const char* Message;
};

std::string BoardJson(const std::string& id, const std::string& buttons = "[]",
                      const std::string& grid = "[[null]]", int columns = 1) {
  return R"({"format":"open-board-0.1","id":")" + id + R"(","grid":{"rows":1,"columns":)" +
         std::to_string(columns) + R"(,"order":)" + grid + R"(},"buttons":)" + buttons + "}";
}

TEST(ObfImport, RefusesSetsThatCannotBeShownFaithfully) {
  const std::string wide = BoardJson(
      "w", R"([{"id":"a","label":"A"},{"id":"z","label":"Z"}])",
      R"([["a",null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,"z"]])",
      22);
  const std::vector<SetFault> faults = {
      {"no board", {{"readme.txt", "hi"}}, "no .obf board"},
      {"several boards, no manifest",
       {{"a.obf", BoardJson("a")}, {"b.obf", BoardJson("b")}},
       "no manifest.json"},
      {"manifest root missing",
       {{"manifest.json", R"({"root":"boards/x.obf"})"}, {"a.obf", BoardJson("a")}},
       "does not hold"},
      {"manifest not JSON",
       {{"manifest.json", "{root"}, {"a.obf", BoardJson("a")}},
       "manifest.json is not valid JSON"},
      {"manifest without root",
       {{"manifest.json", R"({"paths":{}})"}, {"a.obf", BoardJson("a")}},
       "no \"root\""},
      {"two boards with one id",
       {{"manifest.json", R"({"root":"a.obf","paths":{"boards":{"1":"a.obf","2":"b.obf"}}})"},
        {"a.obf", BoardJson("same")},
        {"b.obf", BoardJson("same")}},
       "two boards have the id \"same\""},
      {"broken linked board",
       {{"manifest.json", R"({"root":"a.obf"})"},
        {"a.obf", BoardJson("a", R"([{"id":"x","load_board":{"path":"b.obf"}}])", R"([["x"]])")},
        {"b.obf", "{"}},
       "b.obf: not valid JSON"},
      {"grid of 22 columns in use", {{"w.obf", wide}}, "refused rather than split"},
      {"board over the size limit", {{"a.obf", std::string(17u << 20, ' ')}}, "larger than 16 MB"},
  };
  for (const SetFault& fault : faults) {
    SCOPED_TRACE(fault.Name);
    test::TempFolder temp;
    ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), fault.Entries));
    const ImportResult result = ImportBoardSet(temp.Path("set.obz"), temp.Path("out"), nullptr);
    EXPECT_FALSE(result.Ok);
    EXPECT_NE(result.Error.find(fault.Message), std::string::npos) << result.Error;
    EXPECT_FALSE(test::Exists(temp.Path("out")));
  }
}

// "0,0,...": n values for a list nobody reads.
std::string Zeros(std::size_t n) {
  std::string out(2 * n - 1, ',');
  for (std::size_t i = 0; i < out.size(); i += 2)
    out[i] = '0';
  return out;
}

// A root board linking to a second; each carries `junk` values besides its few own.
std::vector<test::ZipEntry> TwoBoardSet(std::size_t junk) {
  const std::string padding = R"(,"x":[)" + Zeros(junk) + "]";
  std::string a = BoardJson("a", R"([{"id":"x","load_board":{"path":"b.obf"}}])", R"([["x"]])");
  std::string b = BoardJson("b");
  a.insert(a.size() - 1, padding);
  b.insert(b.size() - 1, padding);
  return {{"manifest.json", R"({"root":"a.obf"})"}, {"a.obf", a}, {"b.obf", b}};
}

TEST(ObfImport, OneBudgetOfJsonValuesCoversTheWholeSet) {
  test::TempFolder temp;
  ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), TwoBoardSet(600)));
  ImportOptions options;
  options.JsonValues = 1000; // each board fits alone, both together do not
  const ImportResult refused = ImportBoardSet(temp.Path("set.obz"), temp.Path("out"), nullptr, options);
  EXPECT_FALSE(refused.Ok);
  EXPECT_EQ(refused.Problem, ImportProblem::TooLarge);
  EXPECT_EQ(refused.Where, "b.obf");
  EXPECT_FALSE(test::Exists(temp.Path("out")));
  options.JsonValues = 2000;
  EXPECT_TRUE(ImportBoardSet(temp.Path("set.obz"), temp.Path("out"), nullptr, options).Ok);

  // The manifest counts too.
  ASSERT_TRUE(test::WriteZip(
      temp.Path("manifest.obz"),
      {{"manifest.json", R"({"root":"a.obf","x":[)" + Zeros(3000) + "]}"}, {"a.obf", BoardJson("a")}}));
  options.JsonValues = 2000;
  const ImportResult manifest = ImportBoardSet(temp.Path("manifest.obz"), temp.Path("m"), nullptr, options);
  EXPECT_FALSE(manifest.Ok);
  EXPECT_EQ(manifest.Problem, ImportProblem::TooLarge);
}

TEST(ObfImport, ReportsProgressAndStopsWhenCancelledLeavingNothing) {
  test::TempFolder temp;
  ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), test::FolderEntries(Fixtures + "set")));
  ImportProgress progress;
  ImportOptions options;
  options.Progress = &progress;
  ASSERT_TRUE(ImportBoardSet(temp.Path("set.obz"), temp.Path("done"), nullptr, options).Ok);
  EXPECT_GT(progress.Total, 0);
  EXPECT_EQ(progress.Done, progress.Total);

  // Cancelled from the converter, the way a click on the cancel button reaches a running import.
  class CancellingConverter : public PictureConverter {
  public:
    explicit CancellingConverter(ImportProgress& progress) : Progress(progress) {}
    std::optional<std::string> ToPng(const std::string&, const std::string&, int) override {
      Progress.Cancel = true;
      return std::nullopt;
    }
    ImportProgress& Progress;
  };
  ImportProgress cancelled;
  CancellingConverter converter(cancelled);
  options.Progress = &cancelled;
  const std::vector<std::string> before = test::Listing(temp.Root());
  const ImportResult result = ImportBoardSet(temp.Path("set.obz"), temp.Path("out"), &converter, options);
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Problem, ImportProblem::Cancelled);
  EXPECT_LT(cancelled.Done, cancelled.Total);
  EXPECT_EQ(test::Listing(temp.Root()), before);
}

TEST(ObfImport, LeavesOutAndReportsCommandsThatReachOutsideThePlayerUnlessAskedToKeepThem) {
  struct Case {
    std::string Json;    // the button's command fields
    std::string Command; // the cell's command when kept
    bool ReachesOutside;
  };
  // A line break in any text the importer writes would end the value and start a cell of the set's
  // choosing; these aim at the last cell, whose own command is harmless.
  const std::string injected = R"(A\r\n[Cell LAST]\r\nSpecial Function=<EXECUTAR sh.exe -c \"id\">)";
  const Case cases[] = {
      {R"("ext_nexoquadrix_special_function":"<EXECUTAR sh.exe -c \"id | tee PWNED\">")",
       "<EXECUTAR sh.exe -c \"id | tee PWNED\">", true},
      {R"("ext_nexoquadrix_special_function":"<TANCAR APLICACIO>")", "<TANCAR APLICACIO>", true},
      {R"("ext_nexoquadrix_special_function":"  <executar sh>  ")", "  <executar sh>  ", true},
      {R"("ext_nexoquadrix_special_function":"<CASA><EXECUTAR sh>")", "<CASA><EXECUTAR sh>", true},
      {R"("ext_nexoquadrix_special_function":"<ALT! F4>")", "<ALT! F4>", true},
      {R"("ext_nexoquadrix_special_function":"<NEXO_KEY_ALT>")", "<NEXO_KEY_ALT>", true},
      {R"("ext_nexoquadrix_special_function":"<key_combination D18,D115,U115,U18,>")",
       "<key_combination D18,D115,U115,U18,>", true},
      {R"("ext_nexoquadrix_special_function":"<NEXOQUADRIX>")", "<NEXOQUADRIX>", true},
      // Letters without a Windows-1252 form become near ones: the command is judged as written.
      {R"("ext_nexoquadrix_special_function":"<\u0112XECUTAR sh>")", "<EXECUTAR sh>", true},
      {R"("ext_nexoquadrix_special_function":"<CASA>\r\nSpecial Function=<RETURN>")",
       "<CASA>  Special Function=<RETURN>", false},
      {R"("ext_nexoquadrix_cell":{"Font Name":")" + injected + R"("})", "", false},
      {R"("vocalization":"<EXECUTAR sh>","action":"<EXECUTAR sh>")", "", false},
      {R"("ext_nexoquadrix_special_function":"<ESBORRAR TOT>")", "<ESBORRAR TOT>", false},
      {R"("action":":clear")", "<ESBORRAR TOT>", false},
  };
  const std::string last = std::to_string(std::size(cases));
  std::string buttons;
  std::string order;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string id = "b" + std::to_string(i);
    std::string fields = cases[i].Json;
    if (const std::size_t at = fields.find("LAST"); at != std::string::npos) fields.replace(at, 4, last);
    buttons += std::string(i ? "," : "") + R"({"id":")" + id + R"(","label":"L",)" + fields + "}";
    order += std::string(i ? "," : "") + "\"" + id + "\"";
  }
  std::string board =
      BoardJson("h", "[" + buttons + "]", "[[" + order + "]]", static_cast<int>(std::size(cases)));
  // The board's own font name comes before every cell: a line break in it would name the first.
  board.insert(board.size() - 1, R"(,"ext_nexoquadrix_board":{"Grid Font.Name":")" + injected + R"("})");
  board.replace(board.find("LAST"), 4, "1");
  test::TempFolder temp;
  ASSERT_TRUE(test::WriteZip(temp.Path("hostile.obz"), {{"board.obf", board}}));
  for (const bool keep : {false, true}) {
    SCOPED_TRACE(keep ? "kept" : "left out");
    ImportOptions options;
    options.KeepCommands = keep;
    const std::string out = temp.Path(keep ? "kept" : "dropped");
    const ImportResult result = ImportBoardSet(temp.Path("hostile.obz"), out, nullptr, options);
    ASSERT_TRUE(result.Ok) << result.Error;
    const Board imported = ReadBoard(out + "/board.qdx");
    int dropped = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      const bool left = cases[i].ReachesOutside && !keep;
      dropped += left;
      EXPECT_EQ(imported.Cell(static_cast<int>(i) + 1, 1).SpecialFunction, left ? "" : cases[i].Command)
          << cases[i].Json;
      if (cases[i].Command.empty()) continue;
      // One line of the report names the button and exactly what it would have run, kept or not.
      const std::string button = "\"b" + std::to_string(i) + "\"";
      EXPECT_EQ(std::any_of(result.Notes.begin(), result.Notes.end(),
                            [&](const std::string& note) {
                              return note.find(button) != std::string::npos &&
                                     note.find("\"" + cases[i].Command + "\"") != std::string::npos;
                            }),
                cases[i].ReachesOutside)
          << cases[i].Command;
      EXPECT_EQ(test::ReadBytes(out + "/import-report.txt").find(cases[i].Command) != std::string::npos,
                cases[i].ReachesOutside);
    }
    EXPECT_EQ(result.DroppedCommands, dropped);
    const auto outside =
        std::count_if(std::begin(cases), std::end(cases), [](const Case& c) { return c.ReachesOutside; });
    EXPECT_EQ(test::OutsideCommandsIn(out), keep ? outside : 0);
    EXPECT_EQ(result.KeptCommands, keep ? outside : 0);
  }
}

TEST(ObfImport, NamesFromTheSetNeverBecomeBoardsLinesOfABoardOrPathsOutOfIt) {
  // "Sounds" that are boards with a command, under a board's name or a type that makes one; a picture
  // whose own name breaks the line that names it and starts a cell of its choosing; a link and a played
  // sound above the set; a web address the button would open.
  const std::string board = R"({"id":"r","grid":{"rows":1,"columns":4,"order":[["a","b","c","d"]]},"buttons":[
      {"id":"a","label":"A","sound_id":"s","ext_nexoquadrix_link":"../../outside.qdx"},
      {"id":"b","label":"B","image_id":"i","ext_nexoquadrix_picture":"other.png"},
      {"id":"c","label":"C","ext_nexoquadrix_read":"..\\..\\x.wav"},{"id":"d","label":"D","url":"file:///bin/sh","sound_id":"t"}],
      "sounds":[{"id":"s","data":"data:audio/ogg,[Cell 1]%0D%0ASpecial Function=<EXECUTAR sh>",
                 "ext_nexoquadrix_file":"extra.qdx"},
                {"id":"t","data":"data:audio/qdx,[Cell 1]%0D%0ASpecial Function=<EXECUTAR sh>"}],
      "images":[{"id":"i","data":"data:image/png,%89PNG%0D%0A%1A%0A",
                 "ext_nexoquadrix_file":"p\r\n[Cell 3]\r\nSpecial Function=<EXECUTAR sh>\r\n.png"}]})";
  test::TempFolder temp;
  ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), {{"root.obf", board}}));
  const ImportResult result = ImportBoardSet(temp.Path("set.obz"), temp.Path("out"), nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_EQ(test::OutsideCommandsIn(temp.Path("out")), 0);
  for (const std::string& name : test::Listing(temp.Path("out"))) {
    EXPECT_TRUE(name == "root.qdx" || name.find(".qdx") == std::string::npos) << name;
    EXPECT_EQ(name.find_first_of("\r\n"), std::string::npos) << name;
  }
  const Board imported = ReadBoard(temp.Path("out/root.qdx"));
  EXPECT_EQ(imported.Cell(1, 1).Link, "");
  EXPECT_EQ(imported.Cell(3, 1).Read, "C");
  EXPECT_TRUE(AnyNoteHas(result.Notes, "../../outside.qdx")) << "the link left out is named";
  EXPECT_TRUE(AnyNoteHas(result.Notes, "..\\..\\x.wav")) << "the sound left out is named";
  EXPECT_EQ(imported.Cell(4, 1).SpecialFunction + imported.Cell(4, 1).Link, "");
  EXPECT_TRUE(AnyNoteHas(result.Notes, "file:///bin/sh")) << "the page left out is named";
}

TEST(ObfImport, ALargeGridWhoseEndIsEmptyKeepsItsButtonsInPlace) {
  test::TempFolder temp;
  // 3 rows, of which only the first is used, by 25 columns: the columns are cut, the rows stay.
  test::WriteBytes(temp.Path("t.obf"),
                   R"({"id":"t","grid":{"rows":3,"columns":25,"order":[[null,"a"],[],[]]},)"
                   R"("buttons":[{"id":"a","label":"A"}]})");
  const ImportResult tall = ImportBoardSet(temp.Path("t.obf"), temp.Path("tall"), nullptr);
  ASSERT_TRUE(tall.Ok) << tall.Error;
  EXPECT_EQ(ReadBoard(temp.Path("tall/t.qdx")).Rows, 3);
  EXPECT_EQ(ReadBoard(temp.Path("tall/t.qdx")).Columns, 2);
  const std::string board = BoardJson(
      "w", R"([{"id":"a","label":"A"},{"id":"b","label":"B"}])",
      R"([[null,"a",null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null]])",
      25);
  test::WriteBytes(temp.Path("w.obf"), board);
  const ImportResult result = ImportBoardSet(temp.Path("w.obf"), temp.Path("out"), nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  const Board imported = ReadBoard(temp.Path("out/w.qdx"));
  EXPECT_EQ(imported.Columns, 2);
  EXPECT_EQ(imported.Cell(2, 1).Caption, "A");
}

TEST(ObfImport, HostileArchiveEntriesNeverLeaveTheFolder) {
  test::TempFolder temp;
  const std::string board = R"({"id":"r","grid":{"rows":1,"columns":3,"order":[["a","b","c"]]},"buttons":[
      {"id":"a","label":"A","image_id":"up"},{"id":"b","label":"B","image_id":"abs"},{"id":"c","label":"C","image_id":"lnk"}],
      "images":[{"id":"up","path":"../evil.png"},{"id":"abs","path":"/tmp/evil.png"},{"id":"lnk","path":"images/link.png"}]})";
  ASSERT_TRUE(test::WriteZip(temp.Path("set.obz"), {{"root.obf", board},
                                                    {"../evil.png", "\x89PNG\r\n\x1A\nevil"},
                                                    {"/tmp/evil.png", "\x89PNG\r\n\x1A\nevil"},
                                                    {"images/link.png", "/etc/passwd", true}}));
  const ImportResult result = ImportBoardSet(temp.Path("set.obz"), temp.Path("sub/out"), nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_TRUE(AnyNoteHas(result.Notes, "\"../evil.png\" del archivo no usada"));
  EXPECT_TRUE(AnyNoteHas(result.Notes, "\"images/link.png\" del archivo no usada"));
  EXPECT_EQ(test::Listing(temp.Root()), (std::vector<std::string>{"set.obz", "sub"}));
  EXPECT_EQ(test::Listing(temp.Path("sub")), std::vector<std::string>{"out"});
  EXPECT_EQ(test::Listing(temp.Path("sub/out")),
            (std::vector<std::string>{"import-report.txt", "root-board.txt", "root.qdx"}));
}

TEST(ObfImport, ALoneBoardReadsNoHiddenFileBesideIt) {
  test::TempFolder temp;
  std::filesystem::create_directories(temp.Path(".ssh"));
  test::WriteBytes(temp.Path(".ssh/id_rsa"), "secret");
  test::WriteBytes(temp.Path("ok.wav"), test::ReadBytes(Fixtures + "set/sounds/bell.wav"));
  test::WriteBytes(temp.Path("b.obf"),
                   R"({"id":"b","grid":{"rows":1,"columns":2,"order":[["a","c"]]},"buttons":[
      {"id":"a","label":"A","sound_id":"key"},{"id":"c","label":"C","sound_id":"ok"}],
      "sounds":[{"id":"key","path":".ssh/id_rsa"},{"id":"ok","path":"./ok.wav"}]})");
  const ImportResult result = ImportBoardSet(temp.Path("b.obf"), temp.Path("out"), nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_TRUE(AnyNoteHas(result.Notes, "\".ssh/id_rsa\" no está junto al tablero"));
  EXPECT_EQ(test::Listing(temp.Path("out")),
            (std::vector<std::string>{"b.qdx", "import-report.txt", "root-board.txt", "snd_ok.wav"}));
  EXPECT_EQ(ReadBoard(temp.Path("out/b.qdx")).Cell(2, 1).Read, "snd_ok.wav");
}

TEST(ObfImport, AZipBombIsRefusedBeforeItIsUnpacked) {
  test::TempFolder temp;
  const std::string board = R"({"id":"r","grid":{"rows":1,"columns":1,"order":[["a"]]},"buttons":[
      {"id":"a","label":"A","image_id":"big"}],"images":[{"id":"big","path":"big.png"}]})";
  ASSERT_TRUE(test::WriteZip(temp.Path("bomb.obz"),
                             {{"root.obf", board}, {"big.png", std::string(65u << 20, '\0')}}));
  EXPECT_LT(std::filesystem::file_size(temp.Path("bomb.obz")), 1u << 20);
  const ImportResult result = ImportBoardSet(temp.Path("bomb.obz"), temp.Path("out"), nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  EXPECT_TRUE(AnyNoteHas(result.Notes, "\"big.png\" ocupa 65 MB descomprimido, más de los 64 MB"));
  EXPECT_EQ(test::Listing(temp.Path("out")),
            (std::vector<std::string>{"import-report.txt", "root-board.txt", "root.qdx"}));
}

TEST(ObfImport, NeverWritesIntoAFolderThatHoldsFiles) {
  test::TempFolder temp;
  std::filesystem::create_directory(temp.Path("out"));
  test::WriteBytes(temp.Path("out/mine.qdx"), "keep");
  const ImportResult result = ImportBoardSet(Fixtures + "full.obf", temp.Path("out"), nullptr);
  EXPECT_FALSE(result.Ok);
  EXPECT_NE(result.Error.find("not empty"), std::string::npos);
  EXPECT_EQ(test::Listing(temp.Path("out")), std::vector<std::string>{"mine.qdx"});
  EXPECT_EQ(test::Listing(temp.Root()), std::vector<std::string>{"out"});
  // An empty folder is fine.
  std::filesystem::create_directory(temp.Path("empty"));
  EXPECT_TRUE(ImportBoardSet(Fixtures + "full.obf", temp.Path("empty"), nullptr).Ok);
}

TEST(ObfImport, NotAnArchive) {
  test::TempFolder temp;
  test::WriteBytes(temp.Path("x.obz"), "PK\x03\x04 not really");
  const ImportResult result = ImportBoardSet(temp.Path("x.obz"), temp.Path("out"), nullptr);
  EXPECT_FALSE(result.Ok);
  EXPECT_NE(result.Error.find("not a readable .obz archive"), std::string::npos) << result.Error;
  EXPECT_FALSE(ImportBoardSet(temp.Path("missing.obz"), temp.Path("out"), nullptr).Ok);
}

TEST(DecodeDataUri, Base64AndPercentForms) {
  std::string type;
  EXPECT_EQ(DecodeDataUri("data:image/png;base64,aGVsbG8=", type), std::optional<std::string>("hello"));
  EXPECT_EQ(type, "image/png");
  EXPECT_EQ(DecodeDataUri("data:image/svg+xml,%3Csvg%3E", type), std::optional<std::string>("<svg>"));
  EXPECT_EQ(type, "image/svg+xml");
  EXPECT_FALSE(DecodeDataUri("data:image/png;base64,a*b", type));
  EXPECT_FALSE(DecodeDataUri("http://x/a.png", type));
  EXPECT_FALSE(DecodeDataUri("data:no-comma", type));
}

} // namespace
} // namespace nq::exchange

namespace nq::exchange {
namespace {

TEST(LabelEmoji, SeparatesTheWordsFromTheEmoji) {
  struct Case {
    const char* Label;
    const char* Words;
    const char* Emoji;
    int Count;
  } cases[] = {
      {"\xF0\x9F\x8F\xA0 Home", "Home", "\xF0\x9F\x8F\xA0", 1}, // 🏠
      {"Casa", "Casa", "", 0},                                  //
      {"a \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD b \xF0\x9F\x98\x80", "a b", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD",
       2}, // 👍🏽, 😀
      {"\xF0\x9F\x87\xAA\xF0\x9F\x87\xB8\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", "",
       "\xF0\x9F\x87\xAA\xF0\x9F\x87\xB8", 2}, // 🇪🇸🇫🇷: two flags
      {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA7 fam\xC3\xADlia", "fam\xC3\xADlia",
       "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA7", 1},                      // 👨‍👧 joined
      {"\xE2\x9D\xA4\xEF\xB8\x8F amor", "amor", "\xE2\x9D\xA4\xEF\xB8\x8F", 1}, // ❤️ with its selector
  };
  for (const Case& c : cases) {
    const SplitLabel split = SplitEmoji(c.Label);
    EXPECT_EQ(split.Words, c.Words) << c.Label;
    EXPECT_EQ(split.Emoji, c.Emoji) << c.Label;
    EXPECT_EQ(split.Count, c.Count) << c.Label;
  }
}

TEST(LabelEmoji, KeycapsOlderSymbolsAndStraySelectorsLeaveNoQuestionMark) {
  struct Case {
    const char* Label;
    const char* Words;
    const char* Emoji;
    const char* Others;
  } cases[] = {
      {"1\uFE0F\u20E3 un", "un", "1\uFE0F\u20E3", ""},       // 1️⃣
      {"dos 2\u20E3", "dos", "2\u20E3", ""},                 // a keycap without its selector
      {"#\uFE0F\u20E3", "", "#\uFE0F\u20E3", ""},            // #️⃣ alone
      {"3 pomes", "3 pomes", "", ""},                        // a digit is a word
      {"1\uFE0F pomes", "1 pomes", "", ""},                  // a digit with a stray selector too
      {"Marca\u2122", "Marca\u2122", "", ""},                // ™ of a name is text...
      {"\u00A9\uFE0F drets", "drets", "\u00A9\uFE0F", ""},   // ...and © with the selector an emoji
      {"\u2194\uFE0F ample", "ample", "\u2194\uFE0F", ""},   // ↔️
      {"\u231A rellotge", "rellotge", "\u231A", ""},         // ⌚
      {"\u25B6\uFE0F jugar", "jugar", "\u25B6\uFE0F", ""},   // ▶️
      {"\u3030\uFE0F ona", "ona", "\u3030\uFE0F", ""},       // 〰️
      {"\u203C\uFE0F compte", "compte", "\u203C\uFE0F", ""}, // ‼️
      {"\u2600 sol", "sol", "\u2600", ""},                   // ☀ in text presentation
      {"hola\uFE0F", "hola", "", ""},                        // a selector after no emoji
      {"a\u200D b\U0001F3FD", "a b", "\U0001F3FD", ""},      // a stray joiner; a skin tone alone
      {"\U0001F34E poma \U0001F34C pl\u00E0tan \U0001F350", "poma pl\u00E0tan", "\U0001F34E",
       "\U0001F34C \U0001F350"},
      {"\U0001F3F4\U000E0065\U000E0073\U000E0063\U000E0074\U000E007F Catalunya", "Catalunya",
       "\U0001F3F4\U000E0065\U000E0073\U000E0063\U000E0074\U000E007F", ""}, // a flag of tags
      {"\U0001F469\u200D\u2695\uFE0F\U0001F44B\U0001F3FD", "", "\U0001F469\u200D\u2695\uFE0F",
       "\U0001F44B\U0001F3FD"}, // 👩‍⚕️👋🏽: two emoji without a blank
  };
  for (const Case& c : cases) {
    const SplitLabel split = SplitEmoji(c.Label);
    EXPECT_EQ(split.Words, c.Words) << c.Label;
    EXPECT_EQ(split.Emoji, c.Emoji) << c.Label;
    EXPECT_EQ(split.Others, c.Others) << c.Label;
  }
}

// Draws SVG pictures and emoji as small PNGs, as the tool's converter does with the symbol library.
class EmojiConverter : public test::SvgOnlyConverter {
public:
  std::optional<std::string> EmojiToPng(const std::string& utf8, int) override {
    Emoji.push_back(utf8);
    return std::string("\x89PNG\r\n\x1A\nemoji", 13);
  }
  // Knows one emoji, in Catalan only.
  std::string EmojiName(const std::string& utf8, const std::string& locale) override {
    return utf8 == "\U0001F44D" && locale == "ca" ? "polze cap amunt" : "";
  }
  std::vector<std::string> Emoji;
};

TEST(ObfImport, ALabelOfOnlyAnEmojiShowsThePictureAloneAndSaysItsName) {
  const std::string thumb = "\U0001F44D", apple = "\U0001F34E";
  const auto boardIn = [&](const std::string& locale) {
    return R"({"format":"open-board-0.1","id":"e","locale":")" + locale +
           R"(","grid":{"rows":1,"columns":4,"order":[["a","b","c","d"]]},"buttons":[)" + //
           R"({"id":"a","label":")" + thumb + R"("},)" +                                  //
           R"({"id":"b","label":")" + thumb + R"(","vocalization":"s\u00ed"},)" +         //
           R"({"id":"c","label":")" + apple + R"("},)" +                                  //
           R"({"id":"d","label":")" + apple + R"( poma )" + thumb + R"("}]})";
  };
  test::TempFolder temp;
  struct Case {
    const char* Locale;
    const char* ThumbSays;
  } cases[] = {{"ca", "polze cap amunt"}, {"es", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Locale);
    const std::string out = temp.Path(c.Locale);
    test::WriteBytes(temp.Path("board.obf"), boardIn(c.Locale));
    EmojiConverter converter;
    const ImportResult result = ImportBoardSet(temp.Path("board.obf"), out, &converter);
    ASSERT_TRUE(result.Ok) << result.Error;
    const Board imported = ReadBoard(out + "/board.qdx");
    // The board showed the emoji alone: so does the cell, with the picture and no caption.
    for (int column : {1, 2, 3}) {
      EXPECT_EQ(imported.Cell(column, 1).Caption, "") << column;
      EXPECT_FALSE(imported.Cell(column, 1).Picture.empty()) << column;
    }
    EXPECT_EQ(imported.Cell(1, 1).Read, c.ThumbSays);
    EXPECT_EQ(imported.Cell(2, 1).Read, "s\xED"); // its own words to say win
    EXPECT_EQ(imported.Cell(3, 1).Read, "");
    EXPECT_EQ(imported.Cell(4, 1).Caption, "poma");
    EXPECT_EQ(imported.Cell(4, 1).Read, "poma");
    // A cell that says nothing, and an emoji that left the caption without a picture, are reported.
    EXPECT_TRUE(AnyNoteHas(result.Notes, "\"c\" (" + apple + "): el texto era solo"));
    EXPECT_EQ(AnyNoteHas(result.Notes, "\"a\" (" + thumb + "): el texto era solo"),
              std::string(c.ThumbSays).empty());
    const std::string d = "\"d\" (" + apple + " poma " + thumb + "): ";
    EXPECT_TRUE(std::any_of(result.Notes.begin(), result.Notes.end(), [&](const std::string& note) {
      const size_t at = note.find(d);
      return at != std::string::npos && note.find(thumb, at + d.size()) != std::string::npos;
    })) << "the second emoji of a label is named";
  }
}

TEST(ObfImport, AnEmojiInALabelBecomesThePictureOfACellWithoutOne) {
  const std::string house = "\xF0\x9F\x8F\xA0";
  const std::string svg = "data:image/svg+xml,%3Csvg%3E%3C/svg%3E";
  const std::string buttons = R"([{"id":"a","label":")" + house + R"( Home"},)" + //
                              R"({"id":"b","label":"Casa )" + house + R"(","image_id":"i"}])";
  const std::string board =
      R"({"format":"open-board-0.1","id":"e","grid":{"rows":1,"columns":2,"order":[["a","b"]]},)"
      R"("buttons":)" +
      buttons + R"(,"images":[{"id":"i","data":")" + svg + R"("}]})";
  test::TempFolder temp;
  ASSERT_TRUE(test::WriteZip(temp.Path("emoji.obz"), {{"board.obf", board}}));
  struct Case {
    const char* Name;
    bool WithConverter;
  } cases[] = {{"drawn", true}, {"no converter", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EmojiConverter converter;
    const std::string out = temp.Path(c.Name);
    const ImportResult result =
        ImportBoardSet(temp.Path("emoji.obz"), out, c.WithConverter ? &converter : nullptr);
    ASSERT_TRUE(result.Ok) << result.Error;
    const Board imported = ReadBoard(out + "/board.qdx");
    // The words stay as caption and speech, never a "?" for the emoji.
    EXPECT_EQ(imported.Cell(1, 1).Caption, "Home");
    EXPECT_EQ(imported.Cell(1, 1).Read, "Home");
    EXPECT_EQ(imported.Cell(2, 1).Caption, "Casa");
    const std::string emojiPicture = imported.Cell(1, 1).Picture;
    EXPECT_EQ(!emojiPicture.empty(), c.WithConverter);
    if (c.WithConverter) {
      EXPECT_EQ(test::ReadBytes(out + "/" + emojiPicture).substr(8), "emoji");
      // The button with a picture of its own keeps it; its emoji is only left out of the caption.
      EXPECT_EQ(converter.Emoji, std::vector<std::string>{house});
      EXPECT_EQ(test::ReadBytes(out + "/" + imported.Cell(2, 1).Picture).substr(8), "converted");
    }
    EXPECT_TRUE(AnyNoteHas(result.Notes, c.WithConverter ? "es ahora la imagen" : "no se ha podido dibujar"));
    EXPECT_EQ(AnyNoteHas(result.Notes, "conserva su propia imagen"), c.WithConverter); // its SVG needs one
  }
}

} // namespace
} // namespace nq::exchange
