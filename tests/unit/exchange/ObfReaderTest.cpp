// Reading .obf boards: every field the importer uses, and each kind of broken board refused with
// a message that says what is wrong.
#include <gtest/gtest.h>

#include "exchange/ExchangeLimits.h"
#include "exchange/ObfReader.h"
#include "support/ZipTestFiles.h"

namespace nq::exchange {
namespace {

const std::string Fixtures = std::string(NQ_FIXTURES) + "/obf/";

TEST(ObfReader, ReadsEveryFieldOfTheFullBoard) {
  const ObfParse parsed = ParseObfBoard(test::ReadText(Fixtures + "full.obf"), "full.obf");
  ASSERT_TRUE(parsed.Board) << parsed.Error;
  const ObfBoard& board = *parsed.Board;
  EXPECT_EQ(board.Id, "full");
  EXPECT_EQ(board.Rows, 3);
  EXPECT_EQ(board.Columns, 4);
  ASSERT_EQ(board.Order.size(), 3u);
  EXPECT_EQ(board.Order[0][1], std::optional<std::string>("2")); // a numeric id is read as text
  EXPECT_FALSE(board.Order[1][0]);
  ASSERT_EQ(board.Buttons.size(), 10u);
  EXPECT_EQ(board.Buttons[0].Vocalization, std::optional<std::string>("hola a todos"));
  EXPECT_EQ(board.Buttons[0].BorderColor, "rgb(255, 0, 0)");
  EXPECT_EQ(board.Buttons[0].ImageId, "red");
  ASSERT_TRUE(board.Buttons[1].LoadBoard);
  EXPECT_EQ(board.Buttons[1].LoadBoard->DataUrl, "http://example.org/api/food");
  // "action" first, then the "actions" it does not repeat.
  EXPECT_EQ(board.Buttons[3].Actions, (std::vector<std::string>{":backspace", ":home"}));
  EXPECT_EQ(board.Images.size(), 3u);
  EXPECT_EQ(board.Images[2].SymbolSet, "symbolstix");
  EXPECT_EQ(board.Sounds[0].Url, "http://example.org/ding.mp3");
  // "es-ES" falls back to the "es" string list.
  ASSERT_EQ(board.Strings.size(), 2u);
}

struct Fault {
  const char* File;
  const char* Message; // a part of the message the user reads
};

class ObfReaderFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(ObfReaderFaults, RefusesWithAClearMessage) {
  const ObfParse parsed =
      ParseObfBoard(test::ReadText(Fixtures + "faults/" + GetParam().File), GetParam().File);
  EXPECT_FALSE(parsed.Board);
  EXPECT_NE(parsed.Error.find(GetParam().Message), std::string::npos) << parsed.Error;
  EXPECT_EQ(parsed.Error.rfind(GetParam().File, 0), 0u) << "the message names the file: " << parsed.Error;
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, ObfReaderFaults,
    ::testing::Values(Fault{"malformed.obf", "not valid JSON"},
                      Fault{"not-object.obf", "must be a JSON object"}, Fault{"no-id.obf", "has no \"id\""},
                      Fault{"no-grid.obf", "has no \"grid\""}, Fault{"no-order.obf", "has no \"order\""},
                      Fault{"no-buttons.obf", "no \"buttons\""},
                      Fault{"rows-text.obf", "\"rows\" must be a whole number"},
                      Fault{"rows-zero.obf", "must be at least 1"},
                      Fault{"label-number.obf", "\"label\" must be text"},
                      Fault{"buttons-object.obf", "\"buttons\" must be a list"},
                      Fault{"order-object.obf", "instead of a button id"},
                      Fault{"duplicate-button.obf", "two buttons have the id \"a\""},
                      Fault{"duplicate-image.obf", "listed twice"},
                      Fault{"load-board-text.obf", "\"load_board\" must be an object"},
                      Fault{"too-many-buttons.obf", "10000 buttons"}, Fault{"deep.obf", "nested deeper"}),
    [](const auto& info) {
      std::string name = info.param.File;
      name = name.substr(0, name.find('.'));
      for (char& c : name)
        c = c == '-' ? '_' : c;
      return name;
    });

TEST(ObfReader, RefusesBytesThatAreNotText) {
  const std::string cases[] = {"", std::string("\xFF\xFE{\0}", 5), "{\"id\":\"\xC3\x28\"}", "{\"id\":"};
  for (const std::string& bytes : cases) {
    const ObfParse parsed = ParseObfBoard(bytes, "b.obf");
    EXPECT_FALSE(parsed.Board);
    EXPECT_FALSE(parsed.Error.empty());
  }
}

TEST(ObfReader, AcceptsAByteOrderMarkAndWarnsOfAnUnknownFormat) {
  const std::string json = "\xEF\xBB\xBF{\"format\":\"other-1\",\"id\":1,\"grid\":{\"rows\":1,\"columns\":1,"
                           "\"order\":[[null]]},\"buttons\":[]}";
  const ObfParse parsed = ParseObfBoard(json, "b.obf");
  ASSERT_TRUE(parsed.Board) << parsed.Error;
  EXPECT_EQ(parsed.Board->Id, "1");
  ASSERT_EQ(parsed.Warnings.size(), 1u);
}

// A board of the given grid and order, with extra members (",..." text) after its buttons.
std::string GridBoard(int rows, int columns, const std::string& order, const std::string& buttons = "[]",
                      const std::string& extra = "") {
  return R"({"id":"b","grid":{"rows":)" + std::to_string(rows) + R"(,"columns":)" + std::to_string(columns) +
         R"(,"order":)" + order + R"(},"buttons":)" + buttons + extra + "}";
}

// n copies of `item` joined by commas.
std::string Repeated(const std::string& item, std::size_t n) {
  std::string out;
  out.reserve((item.size() + 1) * n);
  for (std::size_t i = 0; i < n; ++i)
    out += (i ? "," : "") + item;
  return out;
}

TEST(ObfReader, RefusesAnOrderLargerThanItsGrid) {
  struct Case {
    const char* What;
    std::string Order;
    bool Read;
  };
  const Case cases[] = {
      {"as declared", "[[null,null],[null,null]]", true},
      {"shorter rows and fewer rows", "[[null]]", true},
      {"one row too many", "[[null,null],[null,null],[]]", false},
      {"one place too many", "[[null,null,null],[null,null]]", false},
      {"a hundred thousand empty rows", "[" + Repeated("[]", 100000) + "]", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    const ObfParse parsed = ParseObfBoard(GridBoard(2, 2, c.Order), "b.obf");
    EXPECT_EQ(parsed.Board.has_value(), c.Read) << parsed.Error;
    if (!c.Read) {
      EXPECT_NE(parsed.Error.find("order"), std::string::npos) << parsed.Error;
    }
  }
}

TEST(ObfReader, CountsJsonValuesAgainstTheBoardsCeilingAndTheSetsBudget) {
  const auto board = [](std::size_t values) {
    // The board itself is a handful of values; the rest is a list nobody reads.
    return GridBoard(1, 1, "[[null]]", "[]", R"(,"x":[)" + Repeated("0", values) + "]");
  };
  EXPECT_TRUE(ParseObfBoard(board(1000), "b.obf").Board);
  const ObfParse huge = ParseObfBoard(board(MaxJsonValuesPerBoard), "b.obf");
  EXPECT_FALSE(huge.Board);
  EXPECT_EQ(huge.Problem, ImportProblem::TooLarge);

  // One budget shared by two boards: the first fits, the second finds too little left.
  JsonBudget budget{1500};
  const ObfParse first = ParseObfBoard(board(1000), "a.obf", &budget);
  ASSERT_TRUE(first.Board) << first.Error;
  EXPECT_LT(budget.Left, 500u);
  const ObfParse second = ParseObfBoard(board(1000), "b.obf", &budget);
  EXPECT_FALSE(second.Board);
  EXPECT_EQ(second.Problem, ImportProblem::TooLarge);
}

TEST(ObfReader, EqualCopiesOfAButtonAreOneButtonAndDifferentOnesAreRefused) {
  const std::string a = R"({"id":"a","label":"A","image_id":"i"})";
  const ObfParse copies = ParseObfBoard(GridBoard(1, 2, R"([["a","a"]])", "[" + a + "," + a + "]"), "b.obf");
  ASSERT_TRUE(copies.Board) << copies.Error;
  ASSERT_EQ(copies.Board->Buttons.size(), 1u);
  EXPECT_EQ(copies.Board->Buttons[0].ImageId, "i");

  const std::string other = R"({"id":"a","label":"A","image_id":"j"})";
  const ObfParse differing =
      ParseObfBoard(GridBoard(1, 2, R"([["a","a"]])", "[" + a + "," + other + "]"), "b.obf");
  EXPECT_FALSE(differing.Board);
  EXPECT_EQ(differing.Problem, ImportProblem::DuplicateButton);
}

TEST(ObfReader, RefusesMoreImagesAndSoundsThanTheLimitTogether) {
  // Images and sounds count together: half of each at the limit, then one more sound.
  const auto board = [](std::size_t images, std::size_t sounds) {
    std::string list[2];
    for (std::size_t i = 0; i < images + sounds; ++i) {
      std::string& to = list[i < images ? 0 : 1];
      to += (to.empty() ? "" : ",") + std::string(R"({"id":"r)") + std::to_string(i) + R"("})";
    }
    return GridBoard(1, 1, "[[null]]", "[]", R"(,"images":[)" + list[0] + R"(],"sounds":[)" + list[1] + "]");
  };
  const std::size_t half = MaxResourcesPerBoard / 2;
  EXPECT_TRUE(ParseObfBoard(board(half, MaxResourcesPerBoard - half), "b.obf").Board);
  const ObfParse over = ParseObfBoard(board(half, MaxResourcesPerBoard - half + 1), "b.obf");
  EXPECT_FALSE(over.Board);
  EXPECT_EQ(over.Problem, ImportProblem::TooLarge);
}

TEST(ObfReader, NestingDepthSkipsBracketsInsideStrings) {
  EXPECT_EQ(JsonNestingDepth(R"({"a":"[[[[\"{{{{"})"), 1u);
  EXPECT_EQ(JsonNestingDepth("[[[]]]"), 3u);
  EXPECT_EQ(JsonNestingDepth("]]]["), 1u);
}

} // namespace
} // namespace nq::exchange
