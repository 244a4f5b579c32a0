// Values from the outside world fitted into a board file: text, colours and set paths.
#include <gtest/gtest.h>

#include "exchange/TextFit.h"

namespace nq::exchange {
namespace {

TEST(FitText, KeepsWindows1252AndReportsTheRest) {
  struct Case {
    std::string Utf8;
    std::string Cp1252;
    std::set<std::string> Missing;
  };
  const Case cases[] = {
      {"Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xE9 \x80", {}},                         // é and € exist
      {"\xC5\x81\xC3\xB3\x64\xC5\xBA", "L\xF3\x64z", {"\xC5\x81", "\xC5\xBA"}}, // Ł ź have near letters
      {"a \xE2\x9C\x93 b", "a ? b", {"\xE2\x9C\x93"}},                          // ✓ has none
      {"one\r\ntwo\tthree", "one  two three", {}},                              // one line of the file
      {"\xC3\x28", "?(", {"\xEF\xBF\xBD"}},                                     // malformed UTF-8
      {"\xF0\x9F\x98\x80!", "?!", {"\xF0\x9F\x98\x80"}},                        // outside the BMP
  };
  for (const Case& c : cases) {
    std::set<std::string> missing;
    EXPECT_EQ(FitText(c.Utf8, missing), c.Cp1252) << c.Utf8;
    EXPECT_EQ(missing, c.Missing) << c.Utf8;
  }
}

TEST(FitText, CutsAtTheBoardFilesLimitWithoutSplittingACharacter) {
  std::set<std::string> missing;
  EXPECT_EQ(FitText(std::string(2000, 'x'), missing).size(), 1023u);
  const std::string fitted = FitText(std::string(1022, 'x') + "\xC3\xA9\xC3\xA9", missing);
  EXPECT_EQ(fitted, std::string(1022, 'x') + "\xE9");
}

TEST(ParseColour, ReadsTheFormsBoardsUse) {
  struct Case {
    std::string Text;
    std::optional<int32_t> Colour;
  };
  const Case cases[] = {
      {"rgb(255, 0, 0)", 0x0000FF},
      {"rgb(0,0,55)", 0x370000},
      {"RGBA(255, 255, 255, 0.2)", 0xFFFFFF},
      {"rgba(0, 0, 0, 0.5)", 0x808080}, // half black over white
      {"rgba(0, 0, 0, 0)", 0xFFFFFF},
      {"#00ff00", 0x00FF00},
      {"#0F0", 0x00FF00},
      {"#11223344", 0x332211},
      {"white", 0xFFFFFF},
      {"rgb(300, -5, 12)", 0x0C00FF}, // clamped
      {"rgb(1, 2)", std::nullopt},
      {"rgb(a, b, c)", std::nullopt},
      {"#12345", std::nullopt},
      {"", std::nullopt},
      {"hsl(0, 100%, 50%)", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseColour(c.Text), c.Colour) << c.Text;
  EXPECT_EQ(ColourText(0x0C00FF), "rgb(255, 0, 12)");
}

TEST(CleanSetPath, KeepsEveryPathInsideTheSet) {
  struct Case {
    std::string Path;
    std::optional<std::string> Clean;
  };
  const Case cases[] = {
      {"images/a.png", "images/a.png"},
      {"./images//a.png", "images/a.png"},
      {"images\\a.png", "images/a.png"},
      {"../a.png", std::nullopt},
      {"images/../../a.png", std::nullopt},
      {"images/../a.png", "a.png"},
      {"images/..", std::nullopt},
      {"/etc/passwd", std::nullopt},
      {"\\\\server\\share\\a.png", std::nullopt},
      {"C:\\a.png", std::nullopt},
      {"C:a.png", std::nullopt},
      {"", std::nullopt},
      {"./", std::nullopt},
      {std::string("a\0b", 3), std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CleanSetPath(c.Path), c.Clean) << c.Path;
}

TEST(SafeFileStem, MakesPlainNames) {
  EXPECT_EQ(SafeFileStem("Menjar i beure"), "Menjar_i_beure");
  EXPECT_EQ(SafeFileStem("../x"), "___x");
  EXPECT_EQ(SafeFileStem(""), "board");
  EXPECT_EQ(SafeFileStem(std::string(100, 'a')).size(), 60u);
}

} // namespace
} // namespace nq::exchange
