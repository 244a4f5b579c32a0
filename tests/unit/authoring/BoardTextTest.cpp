#include <gtest/gtest.h>

#include "actions/CommandTokens.h"
#include "authoring/BoardCheck.h"
#include "authoring/BoardText.h"
#include "authoring/CommandCatalogue.h"
#include "unit/authoring/AuthoringTestSupport.h"

namespace nq::authoring {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

TEST(BoardText, CharactersOutsideWindows1252AreRefusedByName) {
  struct Case {
    const char* Utf8;
    std::optional<std::string> Cp1252;
    std::string Refused;
  };
  const std::vector<Case> cases = {
      {"Caf\xC3\xA9 \xE2\x82\xAC \xC2\xB7", std::string("Caf\xE9 \x80 \xB7"), ""},
      {"gos \xF0\x9F\x90\xB6", std::nullopt, "\xF0\x9F\x90\xB6"},
      {"\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xBD\xA0", std::nullopt, "\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"a?b", std::string("a?b"), ""},
      {"two\nlines", std::nullopt, "\n"},
      {"", std::string(), ""},
  };
  for (const Case& c : cases) {
    std::string refused;
    EXPECT_EQ(ToBoardText(c.Utf8, &refused), c.Cp1252) << c.Utf8;
    EXPECT_EQ(refused, c.Refused) << c.Utf8;
  }
}

TEST(BoardText, PicturesAreCopiedBesideTheBoardUnderTheCaption) {
  TempFolder folder;
  WriteBytes(folder.Path("one.PNG"), "first");
  WriteBytes(folder.Path("two.png"), "second");
  const std::string board = folder.Root() + "/";
  EXPECT_EQ(ImportPicture(board, folder.Path("one.PNG"), "Caf\xE8 amb llet!"), "pictures\\cafe_amb_llet.png");
  EXPECT_EQ(ReadBytes(folder.Path("pictures/cafe_amb_llet.png")), "first");
  // The same picture again is the same file; another one with that caption gets a number.
  EXPECT_EQ(ImportPicture(board, folder.Path("one.PNG"), "Caf\xE8 amb llet"), "pictures\\cafe_amb_llet.png");
  EXPECT_EQ(ImportPicture(board, folder.Path("two.png"), "caf\xE8 AMB llet"),
            "pictures\\cafe_amb_llet_2.png");
  EXPECT_EQ(ImportPicture(board, folder.Path("two.png"), "\xA1\xBF?"), "pictures\\imatge.png");
  EXPECT_FALSE(ImportPicture(board, folder.Path("missing.png"), "x"));
}

TEST(CommandCatalogue, OffersEveryCommandThePlayerKnowsAndNothingElse) {
  for (Language language : {Language::Catalan, Language::Spanish, Language::English}) {
    const std::vector<CommandInfo> list = CommandCatalogue(language);
    EXPECT_EQ(list.size(), KnownCommandTokens().size());
    for (const CommandInfo& info : list) {
      const std::string stored = CommandWithArgument(info.Token, "x");
      EXPECT_TRUE(IsKnownCommandToken(stored)) << stored;
      EXPECT_FALSE(info.Description.empty()) << info.Token;
      EXPECT_EQ(info.TakesArgument, !info.Argument.empty()) << info.Token;
    }
  }
  // The languages really differ.
  EXPECT_NE(CommandCatalogue(Language::Catalan)[2].Description,
            CommandCatalogue(Language::English)[2].Description);
}

TEST(BoardCheck, FindsWhatWouldNotWorkInThePlayer) {
  TempFolder folder;
  WriteBytes(folder.Path("ok.png"), "not really a picture");
  WriteBytes(folder.Path("other.qdx"), test::WindowsBoard());
  BoardDocument document = test::LabelledBoard(3, 1);
  document.Change("problems", [](Board& b) {
    b.Cell(1, 1).Picture = "missing.png";
    b.Cell(1, 1).Read = "so.wav";
    b.Cell(2, 1).Picture = "OK.PNG";
    b.Cell(2, 1).Link = "OTHER.qdx#";
    b.Cell(2, 1).SpecialFunction = "<casa>";
    b.Cell(3, 1).Link = "ok.png";
    b.Cell(3, 1).SpecialFunction = "<EXECUTAR notes.txt>";
  });
  std::vector<std::pair<ProblemKind, int>> found;
  for (const BoardProblem& p : CheckBoardCells(document.Model(), folder.Root() + "/"))
    found.emplace_back(p.Kind, p.Cell);
  const std::vector<std::pair<ProblemKind, int>> expected = {
      {ProblemKind::MissingPicture, 1}, {ProblemKind::MissingSound, 1}, {ProblemKind::UnreadablePicture, 2},
      {ProblemKind::UnknownCommand, 2}, {ProblemKind::LinkNotBoard, 3},
  };
  EXPECT_EQ(found, expected);
}

TEST(BoardCheck, AFileCheckFindsStaleSectionsAndGridKeys) {
  TempFolder folder;
  WriteBytes(folder.Path("b.qdx"), "[Quadrix]\r\nName=Quadrix\r\nautor=Vellumor\r\n[Grid]\r\nColumns=two\r\n"
                                   "[Cell 1]\r\nCaption=a\r\n[Cell 2]\r\nCaption=b\r\n");
  std::vector<std::string> lines;
  for (const BoardProblem& p : CheckBoardFile(folder.Path("b.qdx")))
    lines.push_back(DescribeProblem(p));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find("Columns"), std::string::npos);
  EXPECT_NE(lines[1].find("Rows"), std::string::npos);
  EXPECT_NE(lines[2].find("[Cell 2]"), std::string::npos);
}

} // namespace
} // namespace nq::authoring
