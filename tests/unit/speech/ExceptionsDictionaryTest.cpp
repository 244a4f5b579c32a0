#include "speech/ExceptionsDictionary.h"

#include <gtest/gtest.h>

#include "settings/SettingsStore.h"
#include "unit/speech/SpeechFakes.h"

namespace nq::test {
namespace {

struct RewriteCase {
  const char* Text;
  const char* Word;
  const char* Replacement;
  const char* Expected;
};

class ReplaceWholeWordTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(ReplaceWholeWordTest, RewritesWholeWordsOnly) {
  const RewriteCase& c = GetParam();
  std::string text = c.Text;
  ReplaceWholeWord(text, c.Word, c.Replacement);
  EXPECT_EQ(text, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceWholeWordTest,
    ::testing::Values(
        RewriteCase{"Sr. Pi, sr Pi", "sr", "senyor", "senyor. Pi, senyor Pi"},
        RewriteCase{"srs sr-pi", "sr", "senyor", "srs sr-pi"}, RewriteCase{"de de", "de", "del", "del del"},
        RewriteCase{"\xC0VIA", "\xE0via", "iaia", "\xC0VIA"}, // accents are not folded
        RewriteCase{"\xE0VIA", "\xE0via", "iaia", "iaia"}, RewriteCase{"a;b,a.a", "a", "x", "x;b,x.x"},
        RewriteCase{"a\tb a?", "a", "x", "a\tb a?"}, // tab and "?" are no boundaries
        RewriteCase{"", "a", "x", ""},
        // Without resuming, the scan that restarts from the start joins "a," and the
        // inserted "b" into a new occurrence; that result must stay as it always was.
        RewriteCase{"a,a,b", "a,b", "b", "b"},
        // Replacements holding their own word end after one pass.
        RewriteCase{"sr Pi i sr", "sr", "SR.", "SR. Pi i SR."},
        RewriteCase{"ok ok", "ok", "ok ok", "ok ok ok ok"}, RewriteCase{"Pi", "pi", "PI", "PI"}));

TEST(ReplaceWholeWord, GrowingReplacementStopsBeforeTheTextGetsHuge) {
  std::string text(5000, ' ');
  for (std::size_t i = 0; i < text.size(); i += 2)
    text[i] = 'a';
  ReplaceWholeWord(text, "a", std::string(1000, 'b'));
  EXPECT_LE(text.size(), MaxRewrittenTextBytes);
}

TEST(FindEntrySeparator, FindsTheSeparatorByKind) {
  const std::pair<const char*, std::size_t> cases[] = {{"Sr senyor", 3}, {"Sr,senyor", 3}, {"ONU,o n u", 6},
                                                       {"a;b,c", 4},     {"a;b", 2},       {"a\tb", 2},
                                                       {"abc", 0},       {"", 0}};
  for (const auto& [line, expected] : cases)
    EXPECT_EQ(FindEntrySeparator(line), expected) << line;
}

TEST(ParseDictionaryText, SplitsLinesAndDropsUnusableOnes) {
  const auto entries =
      ParseDictionaryText("Sr senyor\r\nONU,o n u\rtab\tx\n lead blank\nsingle\n\n,x\r\nDr;doctor");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].Word, "Sr");
  EXPECT_EQ(entries[0].Replacement, "senyor");
  EXPECT_EQ(entries[1].Word, "ONU,o");
  EXPECT_EQ(entries[1].Replacement, "nu");
  EXPECT_EQ(entries[2].Word, "tab");
  EXPECT_EQ(entries[2].Replacement, "x");
  EXPECT_EQ(entries[3].Word, "Dr");
  EXPECT_EQ(entries[3].Replacement, "doctor");
}

TEST(ParseDictionaryText, KeepsTheFirstThousandEntries) {
  std::string text;
  for (int i = 0; i < 1200; ++i)
    text += "w" + std::to_string(i) + " r\n";
  const auto entries = ParseDictionaryText(text);
  ASSERT_EQ(entries.size(), MaxDictionaryEntries);
  EXPECT_EQ(entries.back().Word, "w999");
}

class DictionaryTest : public ::testing::Test {
protected:
  std::string Stored(const char* key) {
    return Settings.ReadSettingText("FormDiccionariExcepcions", key, "<none>");
  }

  TempFolder Folder;
  SettingsStore Settings{Folder.Path("nexoquadrix.ini"), Folder.Path("Quadrix.ini")};
  FakeDialogs DialogsFake;
  ExceptionsDictionary Dictionary{Settings, DialogsFake, "/prog/"};
};

TEST_F(DictionaryTest, LaterEntriesSeeEarlierRewrites) {
  Dictionary.LoadExceptionsDictionary(Folder.Write("ab.txt", "a b\nb c\n"));
  std::string text = "a";
  Dictionary.ApplyExceptionsDictionary(text);
  EXPECT_EQ(text, "c");

  Dictionary.LoadExceptionsDictionary(Folder.Write("ba.txt", "b c\na b\n"));
  text = "a";
  Dictionary.ApplyExceptionsDictionary(text);
  EXPECT_EQ(text, "b");
}

TEST_F(DictionaryTest, LoadStoresTheOutcome) {
  const std::string good = Folder.Write("good.txt", "sr senyor\n");
  Dictionary.LoadExceptionsDictionary(good);
  EXPECT_TRUE(Dictionary.IsOn());
  EXPECT_EQ(Stored("HiHaDiccionariExcepcions"), "SI");
  EXPECT_EQ(Stored("NomFitxerDiccionariExcepcions"), good);

  Dictionary.LoadExceptionsDictionary(Folder.Write("useless.txt", "single\n\n"));
  EXPECT_FALSE(Dictionary.IsOn());
  EXPECT_EQ(Stored("HiHaDiccionariExcepcions"), "NO");
  EXPECT_EQ(Stored("NomFitxerDiccionariExcepcions"), "");
}

TEST_F(DictionaryTest, UnreadableFileKeepsThePreviousNameForTheNextStart) {
  const std::string good = Folder.Write("good.txt", "sr senyor\n");
  Dictionary.LoadExceptionsDictionary(good);
  Dictionary.LoadExceptionsDictionary(Folder.Path("missing.txt"));
  EXPECT_FALSE(Dictionary.IsOn());
  EXPECT_TRUE(Dictionary.Entries().empty());
  EXPECT_EQ(Stored("HiHaDiccionariExcepcions"), "SI");
  EXPECT_EQ(Stored("NomFitxerDiccionariExcepcions"), good);
  std::string text = "sr";
  Dictionary.ApplyExceptionsDictionary(text);
  EXPECT_EQ(text, "sr");
}

TEST_F(DictionaryTest, StartUpLoadsTheStoredDictionaryOnlyWhenInUse) {
  const std::string good = Folder.Write("good.txt", "sr senyor\n");
  Settings.WriteSettingText("FormDiccionariExcepcions", "NomFitxerDiccionariExcepcions", good);
  Settings.WriteSettingText("FormDiccionariExcepcions", "HiHaDiccionariExcepcions", "si");
  Dictionary.FormCreate();
  EXPECT_FALSE(Dictionary.IsOn()); // only the exact "SI" counts

  Settings.WriteSettingText("FormDiccionariExcepcions", "HiHaDiccionariExcepcions", "SI");
  Dictionary.FormCreate();
  EXPECT_TRUE(Dictionary.IsOn());
  EXPECT_EQ(Dictionary.FileName(), good);
}

TEST_F(DictionaryTest, ChooseAsksWithTheDialogTextsAndHonoursCancel) {
  EXPECT_FALSE(Dictionary.ChooseExceptionsDictionary());
  ASSERT_EQ(DialogsFake.FileQuestions.size(), 1u);
  EXPECT_EQ(DialogsFake.FileQuestions[0],
            (FileQuestion{"QUADRIX - Obrir diccionari d'excepcions",
                          "TXT (*.txt)|*.txt|Tot tipus de fitxers (*.*)|*.*", "txt", "/prog/", ""}));
  EXPECT_EQ(Stored("HiHaDiccionariExcepcions"), "<none>");

  DialogsFake.FileChoice = Folder.Write("d.txt", "ONU o-n-u\n");
  EXPECT_TRUE(Dictionary.ChooseExceptionsDictionary());
  std::string text = "la onu.";
  Dictionary.ApplyExceptionsDictionary(text);
  EXPECT_EQ(text, "la o-n-u.");

  Dictionary.SwitchOff();
  text = "onu";
  Dictionary.ApplyExceptionsDictionary(text);
  EXPECT_EQ(text, "onu");
  EXPECT_EQ(Stored("HiHaDiccionariExcepcions"), "SI"); // switching off leaves the settings
}

TEST_F(DictionaryTest, ReadsTheFixtureFile) {
  Dictionary.LoadExceptionsDictionary(std::string(NQ_FIXTURES) + "/speech/diccionari.txt");
  ASSERT_TRUE(Dictionary.IsOn());
  std::string text = "bon dia Sr. Puig, la ONU diu";
  Dictionary.ApplyExceptionsDictionary(text);
  EXPECT_EQ(text, "bon dia senyor. Puig, la o\xA0n\xA0u diu"); // no-break spaces survive
}

} // namespace
} // namespace nq::test
