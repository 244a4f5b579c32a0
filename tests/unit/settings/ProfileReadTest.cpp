#include <gtest/gtest.h>

#include <string>

#include "settings/ProfileDocument.h"
#include "settings/ProfileFile.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

struct ReadCase {
  const char* Name;
  std::string Content;
  const char* Section;
  const char* Key;
  std::optional<std::string> Expected;
};

class ProfileReadRules : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadRules, ReadsValueFromMemoryAndFromDisk) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ProfileDocument(c.Content).Find(c.Section, c.Key), c.Expected);

  test::TempFolder folder;
  test::WriteBytes(folder.Path("f.ini"), c.Content);
  EXPECT_EQ(ProfileFile(folder.Path("f.ini")).ReadValue(c.Section, c.Key), c.Expected);
}

const std::string Long2000(2000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileReadRules,
    testing::Values(
        ReadCase{"SectionAndKeyIgnoreCase", "[Grid]\r\nColumns=3\r\n", "gRID", "COLUMNS", "3"},
        ReadCase{"OnlyAsciiFolds", "[\xC9s]\nk=1\n", "\xE9s", "k", std::nullopt},
        ReadCase{"HighBytesMatchExactly", "[\xC9s]\nk=1\n", "\xC9s", "K", "1"},
        ReadCase{"BlanksAroundEverything", "  [  Grid  ]  \n\t Rows \t=\t 4 \t\n", "Grid", "Rows", "4"},
        ReadCase{"LookupNamesTrimmed", "[Grid]\nRows=4\n", " Grid ", " Rows ", "4"},
        ReadCase{"DoubleQuotesStripped", "[s]\nk=\"  a b  \"\n", "s", "k", "  a b  "},
        ReadCase{"SingleQuotesStripped", "[s]\nk='x'\n", "s", "k", "x"},
        ReadCase{"OnlyOnePairStripped", "[s]\nk=\"\"x\"\"\n", "s", "k", "\"x\""},
        ReadCase{"MismatchedQuotesKept", "[s]\nk=\"x'\n", "s", "k", "\"x'"},
        ReadCase{"LoneQuoteKept", "[s]\nk=\"\n", "s", "k", "\""},
        ReadCase{"SplitAtFirstEquals", "[s]\nk=a=b\n", "s", "k", "a=b"},
        ReadCase{"NoInlineComments", "[s]\nk=1 ; two\n", "s", "k", "1 ; two"},
        ReadCase{"EmptyValueIsPresent", "[s]\nk=\n", "s", "k", ""},
        ReadCase{"FirstKeyWins", "[s]\nk=1\nK=2\n", "s", "k", "1"},
        ReadCase{"FirstSectionOnly", "[s]\na=1\n[t]\n[S]\nb=2\n", "s", "b", std::nullopt},
        ReadCase{"FirstSectionValueWins", "[s]\na=1\n[S]\na=2\n", "s", "a", "1"},
        ReadCase{"KeysBeforeAnySectionIgnored", "k=1\n[s]\n", "s", "k", std::nullopt},
        ReadCase{"LineWithoutEqualsIgnored", "[s]\njust words\nk=2\n", "s", "just words", std::nullopt},
        ReadCase{"LoneCrEndsLine", "[s]\rk=1\rj=2", "s", "j", "2"},
        ReadCase{"CrLfEndsLine", "[s]\r\nk=1\r\n", "s", "k", "1"},
        ReadCase{"MixedEndings", "[s]\r\na=1\nb=2\rc=3", "s", "c", "3"},
        ReadCase{"NoTrailingNewline", "[s]\nk=last", "s", "k", "last"},
        ReadCase{"EmptyFile", "", "s", "k", std::nullopt},
        ReadCase{"UnclosedSectionIgnored", "[s]\n[broken\nk=1\n", "s", "k", "1"},
        ReadCase{"TextAfterBracketIgnored", "[s] tail\nk=1\n", "s", "k", "1"},
        ReadCase{"CutAt1023", "[s]\nk=" + Long2000 + "\n", "s", "k", std::string(1023, 'x')},
        ReadCase{"CutAfterQuotesStripped", "[s]\nk=\"" + Long2000 + "\"\n", "s", "k", std::string(1023, 'x')},
        ReadCase{"Windows1252BytesKept", "[Cell 1]\nCaption=Caf\xE8\n", "cell 1", "caption", "Caf\xE8"},
        ReadCase{"NulBytesAreData", std::string("[s]\nk=a\0b\n", 9), "s", "k", std::string("a\0b", 3)}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.Name; });

struct IntegerCase {
  const char* Value;
  int32_t Expected; // default is -7
};

TEST(ProfileFileRead, IntegersAndFlagsFollowTheFileRule) {
  const IntegerCase cases[] = {
      {"3", 3},
      {"0x3", 3},
      {"0X1f", 31},
      {"$A", 10},
      {"-12", -12},
      {"+5", 5},
      {"\"42\"", 42},
      {"0x", -7},
      {"three", -7},
      {"3.5", -7},
      {"", -7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", -7},
      {"0x80000000", -7},
      {"99999999999999999999", -7},
      {"1 2", -7},
  };
  for (const IntegerCase& c : cases) {
    test::TempFolder folder;
    test::WriteBytes(folder.Path("f.ini"), "[s]\nk=" + std::string(c.Value) + "\n");
    const ProfileFile file(folder.Path("f.ini"));
    EXPECT_EQ(file.ReadInteger("s", "k", -7), c.Expected) << c.Value;
    EXPECT_EQ(file.ReadFlag("s", "k", false), c.Expected != 0 && c.Expected != -7) << c.Value;
  }
}

TEST(ProfileFileRead, MissingFileReadsAsDefaults) {
  test::TempFolder folder;
  const ProfileFile file(folder.Path("none.ini"));
  EXPECT_EQ(file.ReadValue("s", "k"), std::nullopt);
  EXPECT_EQ(file.ReadText("s", "k", "def"), "def");
  EXPECT_EQ(file.ReadInteger("s", "k", 12), 12);
  EXPECT_TRUE(file.ReadFlag("s", "k", true));
}

TEST(ProfileFileRead, FolderInsteadOfFileReadsAsDefaultsAndRefusesWrites) {
  test::TempFolder folder;
  ProfileFile file(folder.Root());
  EXPECT_EQ(file.ReadText("s", "k", "def"), "def");
  EXPECT_FALSE(file.WriteText("s", "k", "v"));
}

TEST(ProfileFileRead, RefreshSeesAnOutsideChangeOnlyAfterRefresh) {
  test::TempFolder folder;
  const std::string path = folder.Path("settings.ini");
  test::WriteBytes(path, "[s]\nk=1\n");
  ProfileFile reader(path);
  ProfileFile writer(path);
  ASSERT_TRUE(writer.WriteText("s", "k", "2"));
  EXPECT_EQ(reader.ReadText("s", "k", ""), "1"); // the parsed copy until Refresh()
  reader.Refresh();
  EXPECT_EQ(reader.ReadText("s", "k", ""), "2");

  // Same size, written again within the same second: still noticed (the inode changes on replace).
  test::WriteBytes(path, "[s]\nk=3\n");
  reader.Refresh();
  EXPECT_EQ(reader.ReadText("s", "k", ""), "3");

  std::remove(path.c_str());
  reader.Refresh();
  EXPECT_EQ(reader.ReadText("s", "k", "gone"), "gone");
}

TEST(ProfileFileRead, MovedFromObjectIsHarmless) {
  test::TempFolder folder;
  test::WriteBytes(folder.Path("f.ini"), "[s]\nk=1\n");
  ProfileFile first(folder.Path("f.ini"));
  ProfileFile second(std::move(first));
  EXPECT_EQ(second.ReadText("s", "k", ""), "1");
  EXPECT_EQ(first.ReadText("s", "k", "def"), "def"); // NOLINT(bugprone-use-after-move)
  EXPECT_FALSE(first.WriteText("s", "k", "2"));
  first.Refresh();
}

} // namespace
} // namespace nq
