#include "text/TextUtilities.h"

#include <gtest/gtest.h>

namespace nq {
namespace {

struct Conversion {
  std::string input;
  std::string expected;
};

TEST(FoldAccents, FoldsTheTableAndKeepsEverythingElse) {
  const Conversion cases[] = {
      {"\xBFQu\xE8 \xE9s?", "Que es"},
      {"Fa\xE7"
       "ana",
       "Fasana"},
      {"\xC7\xD1", "SN"},
      {"<CASA>", "<CASA>"},
      {"\xA1Hola!", "Hola"},
      {"\xE0\xE1\xE8\xE9\xEC\xED\xEF\xF2\xF3\xF9\xFA\xFC\xE7\xF1", "aaeeiiioouuusn"},
      {"\xC0\xC1\xC8\xC9\xCC\xCD\xCF\xD2\xD3\xD9\xDA\xDC\xC7\xD1", "AAEEIIIOOUUUSN"},
      // Circumflex, tilde (other than the enye) and the other accented letters are not folded.
      {"\xE2\xEA\xF4\xFB\xE3\xF5\xC2\xE4\xEB", "\xE2\xEA\xF4\xFB\xE3\xF5\xC2\xE4\xEB"},
      {"", ""},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FoldAccents(c.input), c.expected) << c.input;
}

TEST(UpperAscii, UpperCasesOnlyAsciiLetters) {
  const Conversion cases[] = {
      {"\xE0"
       "b",
       "\xE0"
       "B"},
      {"abcxyz ABC 09 {}`@", "ABCXYZ ABC 09 {}`@"},
      {"\xF1\xE7\xFF", "\xF1\xE7\xFF"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UpperAscii(c.input), c.expected) << c.input;
}

TEST(ContainsIgnoringCase, ComparesWithoutCase) {
  struct Case {
    std::string needle;
    std::string haystack;
    bool expected;
  };
  const Case cases[] = {
      {"<executar", "<EXECUTAR notepad.exe>", true},
      {"", "<EXECUTAR notepad.exe>", false},
      {"", "", false},
      {"notepad.EXE>", "<EXECUTAR notepad.exe>", true},
      {"<executarx", "<EXECUTAR notepad.exe>", false},
      {"\xE0", "\xC0", false}, // accented letters keep their case
      {"long needle", "short", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContainsIgnoringCase(c.needle, c.haystack), c.expected) << c.needle << " in " << c.haystack;
  }
}

TEST(JoinLines, ReplacesOnlyCrLfPairs) {
  const Conversion cases[] = {
      {"a\r\nb\r\nc", "a b c"}, {"a\rb", "a\rb"},   {"a\nb", "a\nb"}, {"a\n\rb", "a\n\rb"},
      {"\r\r\n\n", "\r \n"},    {"\r\n\r\n", "  "}, {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JoinLines(c.input), c.expected);
}

TEST(RemoveBlanks, DeletesEveryBlankOnly) {
  const Conversion cases[] = {
      {" a b ", "ab"},
      {"   ", ""},
      {"a\tb\r\n", "a\tb\r\n"},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string text = c.input;
    RemoveBlanks(text);
    EXPECT_EQ(text, c.expected);
  }
}

TEST(ReplaceAll, ReplacesEveryOccurrence) {
  struct Case {
    std::string text;
    std::string searched;
    std::string replacement;
    std::string expected;
  };
  const Case cases[] = {
      {"a-b-c", "-", "+", "a+b+c"},
      {"a--b", "-", "", "ab"},
      {"aaaa", "aa", "b", "bb"},
      {"abc", "x", "y", "abc"},
      {"abc", "abc", "", ""},
      {"", "a", "b", ""},
      // A replacement that contains the searched text must still end.
      {"a.b.", ".", "..", "a..b.."},
      {"xx", "x", "xx", "xxxx"},
      {"ab", "ab", "abab", "abab"},
      // An empty searched text does nothing.
      {"abc", "", "z", "abc"},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    ReplaceAll(text, c.searched, c.replacement);
    EXPECT_EQ(text, c.expected) << c.text << " / " << c.searched << " / " << c.replacement;
  }
}

} // namespace
} // namespace nq
