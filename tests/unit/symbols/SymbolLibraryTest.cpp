// The symbol library over a small CLDR-shaped sample and small folder trees: words found from names,
// keywords, stems and prefixes, accents ignored, results ranked, the saved index, a folder that changes.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "symbols/SymbolLibrary.h"

namespace nq::symbols {
namespace {

using test::TempFolder;
using test::WriteBytes;

std::string Annotations(const std::vector<std::tuple<std::string, std::string, std::string>>& rows) {
  std::string xml = "<ldml><annotations>\n";
  for (const auto& [cp, name, keywords] : rows) {
    xml += "<annotation cp=\"" + cp + "\">" + keywords + "</annotation>\n";
    xml += "<annotation cp=\"" + cp + "\" type=\"tts\">" + name + "</annotation>\n";
  }
  return xml + "</annotations></ldml>\n";
}

// Pictograms for a cat, a house, a girl, a boy and one pictogram beyond Unicode; CLDR names them
// (not the extra one) and also names a dragon no pictogram draws, and a letter.
class BuiltInSample : public ::testing::Test {
protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    const std::string pictograms = Root.Path("pictograms");
    fs::create_directories(pictograms + "/data");
    fs::create_directories(pictograms + "/color/svg");
    WriteBytes(pictograms + "/data/openmoji.json",
               R"([{"emoji":"🐈","hexcode":"1F408","annotation":"cat","tags":"pet"},
                  {"emoji":"🏠","hexcode":"1F3E0","annotation":"house","tags":"home"},
                  {"emoji":"👧","hexcode":"1F467","annotation":"girl","tags":""},
                  {"emoji":"👦","hexcode":"1F466","annotation":"boy","tags":""},
                  {"emoji":"","hexcode":"E001","annotation":"donkey","tags":"","openmoji_tags":"burro"},
                  {"emoji":"x","hexcode":"1F9FF","annotation":"no picture","tags":""},
                  {"emoji":"","hexcode":"1F467-1F3FE","annotation":"girl: medium-dark skin tone"},
                  {"emoji":"","hexcode":"1F408-200D-2B1B","annotation":"black cat","tags":""}])");
    for (const char* hex : {"1F408", "1F3E0", "1F467", "1F466", "E001", "1F467-1F3FE", "1F408-200D-2B1B"})
      WriteBytes(pictograms + "/color/svg/" + hex + ".svg", "<svg/>");
    const std::string annotations = Root.Path("cldr/common/annotations");
    fs::create_directories(annotations);
    fs::create_directories(Root.Path("cldr/common/annotationsDerived"));
    WriteBytes(annotations + "/ca.xml", Annotations({{"🐈", "gat", "animal | gat | mascota"},
                                                     {"⬛", "quadrat negre", "negre | quadrat"},
                                                     {"🏠", "casa", "casa | edifici | llar"},
                                                     {"🐉", "drac", "drac | conte"},
                                                     {"A", "lletra a", "a"}}));
    WriteBytes(annotations + "/es.xml", Annotations({{"🐈", "gato", "animal | gato"},
                                                     {"🏠", "casa", "casa | hogar"},
                                                     {"👧", "niña", "chica | niña"},
                                                     {"👦", "niño", "chico | niño"},
                                                     {"🏾", "tono de piel oscuro medio", "piel"},
                                                     {"🐉", "dragón", "dragón"}}));
    // Latin American Spanish: keywords Spain's file lacks, and a name of its own that is not taken.
    WriteBytes(annotations + "/es_419.xml", Annotations({{"🏠", "hogar dulce", "casa | vivienda"}}));
    WriteBytes(annotations + "/en.xml", Annotations({{"🐈", "cat", "cat | pet"},
                                                     {"🏠", "house", "home | house"},
                                                     {"🐉", "dragon", "dragon | fairy tale"},
                                                     {"A", "letter a", "a"}}));
    Files.BuiltIn = {pictograms, Root.Path("cldr")};
  }

  TempFolder Root;
  LibraryFiles Files;
};

std::vector<std::string> Found(const SymbolIndex& index, const std::string& query, Language language) {
  std::vector<std::string> names;
  for (const SearchResult& result : index.Search(query, language, 10))
    names.push_back(result.Item->Name(language));
  return names;
}

TEST_F(BuiltInSample, FindsSymbolsByWordsStemsAndPrefixesInEachLanguage) {
  const SymbolIndex index(ReadAllSymbols(Files));
  struct Case {
    const char* Query;
    Language In;
    const char* First;
  } cases[] = {
      {"gat", Language::Ca, "gat"},         {"gats", Language::Ca, "gat"},
      {"GATS", Language::Ca, "gat"},        {"llars", Language::Ca, "casa"},
      {"gatos", Language::Es, "gato"},      {"niñas", Language::Es, "niña"},
      {"ninos", Language::Es, "niño"},      {"hog", Language::Es, "casa"},
      {"la casa", Language::Es, "casa"},    {"drac", Language::Ca, "drac"},
      {"burro", Language::Es, "donkey"},    {"donkey", Language::Ca, "donkey"},
      {"tengo gato", Language::Es, "gato"},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> found = Found(index, c.Query, c.In);
    ASSERT_FALSE(found.empty()) << c.Query;
    EXPECT_EQ(found.front(), c.First) << c.Query;
  }
}

TEST_F(BuiltInSample, ListsPictogramsAndOnlyThePictographsTheFontAloneDraws) {
  const std::vector<Symbol> symbols = ReadAllSymbols(Files);
  const auto find = [&](const std::string& english) {
    return std::find_if(symbols.begin(), symbols.end(),
                        [&](const Symbol& s) { return s.Names[2] == english; });
  };
  ASSERT_NE(find("cat"), symbols.end());
  EXPECT_EQ(find("cat")->Source, SymbolSource::OpenMoji);
  ASSERT_NE(find("dragon"), symbols.end());
  EXPECT_EQ(find("dragon")->Source, SymbolSource::EmojiFont);
  EXPECT_TRUE(find("dragon")->Picture.empty());
  EXPECT_EQ(find("letter a"), symbols.end());   // a letter is no symbol
  EXPECT_EQ(find("no picture"), symbols.end()); // a pictogram whose SVG is missing
  EXPECT_EQ(find("girl")->Names[0], "girl");    // no Catalan name: the pictogram's own
  EXPECT_EQ(find("girl")->Untranslated, (std::array<bool, 3>{true, false, false}));
  EXPECT_EQ(find("cat")->Untranslated, (std::array<bool, 3>{}));
  EXPECT_EQ(find("dragon")->Untranslated, (std::array<bool, 3>{}));
}

TEST_F(BuiltInSample, NamesWhatCldrLacksFromTheEmojiItIsMadeOf) {
  const std::vector<Symbol> symbols = ReadAllSymbols(Files);
  const auto byText = [&](const std::string& text) {
    const auto found =
        std::find_if(symbols.begin(), symbols.end(), [&](const Symbol& s) { return s.Text == text; });
    return found == symbols.end() ? Symbol{} : *found;
  };
  // A skin tone CLDR does not list for this person: the person's name and the tone's, as CLDR does.
  const Symbol toned = byText("👧🏾");
  EXPECT_EQ(toned.Names[1], "niña: tono de piel oscuro medio");
  EXPECT_FALSE(toned.Untranslated[1]);
  EXPECT_EQ(toned.Names[0], "girl: medium-dark skin tone"); // neither CLDR names the girl in Catalan
  EXPECT_TRUE(toned.Untranslated[0]);
  // A sequence beyond CLDR keeps its English name and is found by the names of its parts.
  const Symbol blackCat = byText("🐈\u200D⬛");
  EXPECT_EQ(blackCat.Names[0], "black cat");
  EXPECT_TRUE(blackCat.Untranslated[0]);
  const SymbolIndex index{std::vector<Symbol>(symbols)};
  const std::vector<std::string> found = Found(index, "quadrat negre", Language::Ca);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.front(), "black cat");
  // The regional file adds its keywords, never its names.
  EXPECT_EQ(Found(index, "vivienda", Language::Es), std::vector<std::string>{"casa"});
}

TEST_F(BuiltInSample, NothingFoundForNoWordsOrUnknownOnes) {
  const SymbolIndex index(ReadAllSymbols(Files));
  EXPECT_TRUE(index.Search("", Language::Ca, 10).empty());
  EXPECT_TRUE(index.Search(" ·, ", Language::Ca, 10).empty());
  EXPECT_TRUE(index.Search("xyzzy", Language::Ca, 10).empty());
}

Symbol Named(const std::string& name, const std::string& keywords, const std::string& text = "") {
  Symbol symbol;
  symbol.Text = text;
  symbol.Names.fill(name);
  symbol.Keywords.fill(keywords);
  return symbol;
}

std::string First(const SymbolIndex& index, const std::string& query, Language language) {
  const std::vector<SearchResult> results = index.Search(query, language, 10);
  return results.empty() ? "(nothing)" : results.front().Item->Names[static_cast<size_t>(language)];
}

TEST(SymbolRanking, StopWordsCountOnlyWhenAlone) {
  const SymbolIndex index({Named("mans obertes", ""), Named("parada", "para"), Named("elefante", ""),
                           Named("mona", "me"), Named("metro", ""), Named("home a la sauna", ""),
                           Named("aigua", "")});
  struct Case {
    const char* Query;
    Language In;
    const char* First;
  } cases[] = {
      {"me duele", Language::Es, "(nothing)"}, // "me" does not bring the metro when "duele" meets nothing
      {"m'agrada", Language::Ca, "(nothing)"}, // nor "m" the hands
      {"la mona", Language::Es, "mona"},
      {"para", Language::Es, "parada"}, // a stop word alone is the beginning of a word being typed,
      {"el", Language::Es, "elefante"}, // never the little word inside a name
      {"a", Language::Ca, "aigua"},
      {"la", Language::Es, "home a la sauna"}, // the word itself when no longer word begins so
  };
  for (const Case& c : cases)
    EXPECT_EQ(First(index, c.Query, c.In), c.First) << c.Query;
}

TEST(SymbolRanking, TheRarerWordOfTheQueryLeads) {
  // "manos" meets many symbols, "lavarse" only the soap: the soap is what is meant.
  const SymbolIndex index({Named("manos abiertas", ""), Named("manos en oración", ""),
                           Named("manos aplaudiendo", ""), Named("jabón", "lavarse | pastilla")});
  EXPECT_EQ(First(index, "lavarse las manos", Language::Es), "jabón");
}

TEST(SymbolRanking, AmongKeywordMatchesTheNameThatAlsoSaysTheWordLeads) {
  // Neither the shortest name nor the one that begins like the query: the note is music itself.
  const SymbolIndex index({Named("banjo", "cuerda|música"), Named("micrófono", "música|cantar"),
                           Named("nota musical", "música|nota")});
  EXPECT_EQ(First(index, "música", Language::Es), "nota musical");
}

TEST(SymbolRanking, SkinTonesAfterTheOtherSymbolsOfTheWord) {
  const SymbolIndex index({Named("noi: pell fosca", "nen", "👦🏾"),
                           Named("noi: pell clara", "nen", "👦🏻"),
                           Named("criatura petita", "nen", "🧒"), Named("noi", "nen", "👦")});
  std::vector<std::string> names;
  for (const SearchResult& result : index.Search("nen", Language::Ca, 10))
    names.push_back(result.Item->Names[0]);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "noi");
  EXPECT_EQ(names[1], "criatura petita"); // before the variants, though its name is the longest
}

TEST(SymbolRanking, UntranslatedNamesAfterEveryNativeMatch) {
  Symbol jar = Named("jar with red content", "jar|pot");
  jar.Untranslated = {true, true, false};
  const SymbolIndex index({jar, Named("cara contenta", "content|feliç"), Named("contenidor", "")});
  struct Case {
    const char* Query;
    Language In;
    const char* First;
  } cases[] = {
      {"content", Language::Ca, "cara contenta"}, // the English word, though whole, comes last
      {"cont", Language::Ca, "cara contenta"},
      {"content", Language::En, "jar with red content"},
      {"jar", Language::Ca, "jar with red content"}, // still found when nothing else is
  };
  for (const Case& c : cases)
    EXPECT_EQ(First(index, c.Query, c.In), c.First) << c.Query;
  const std::vector<SearchResult> all = index.Search("content", Language::Ca, 10);
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back().Item->Names[0], "jar with red content");
  EXPECT_EQ(all.back().Match, MatchKind::Untranslated);
}

TEST(SymbolRanking, AnInfinitiveFindsTheWordsOfItsRoot) {
  const SymbolIndex index({Named("cantante", "estrella"), Named("cuenta", "")});
  EXPECT_EQ(First(index, "cantar", Language::Es), "cantante");
  EXPECT_EQ(index.Search("cantar", Language::Es, 10).size(), 1u);
}

TEST(SymbolRanking, WholeNameBeforeWordBeforeKeywordBeforeStemBeforePrefix) {
  const auto make = [](const std::string& name, const std::string& keywords) {
    Symbol symbol;
    symbol.Names.fill(name);
    symbol.Keywords.fill(keywords);
    return symbol;
  };
  // Given in the reverse of the expected order, so that the order found is the ranking's own.
  const SymbolIndex index({make("pomarada", ""), make("pomera", ""), make("poma vermella tallada", "pomes"),
                           make("fruita", "poma"), make("poma vermella", ""), make("poma", "")});
  const std::vector<SearchResult> results = index.Search("poma", Language::Ca, 10);
  std::vector<std::string> names;
  for (const SearchResult& result : results)
    names.push_back(result.Item->Names[0]);
  EXPECT_EQ(names, (std::vector<std::string>{"poma", "poma vermella", "poma vermella tallada", "fruita",
                                             "pomera", "pomarada"}));
  EXPECT_EQ(results.front().Match, MatchKind::WholeName);
  EXPECT_EQ(results.back().Match, MatchKind::NamePrefix);
  // More of the query's words met comes first, whatever the kind of match.
  EXPECT_EQ(index.Search("poma vermel", Language::Ca, 1).front().Item->Names[0], "poma vermella");
}

TEST(SymbolWords, FoldAccentsCaseAndCatalanMiddleDot) {
  struct Case {
    const char* Text;
    std::vector<std::string> Folded;
  } cases[] = {
      {"Niñas d’aigua", {"ninas", "d", "aigua"}},
      {"COL·LEGI", {"collegi"}},
      {"Nin\u0303as pa\u0301jaro", {"ninas", "pajaro"}}, // accents as marks of their own
      {"Çà-et-là", {"ca", "et", "la"}},
      {"dau·", {"dau"}},
      {"\xff\xfe broken", {"broken"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> folded;
    for (const std::string& word : SplitWords(c.Text))
      folded.push_back(FoldWord(word));
    EXPECT_EQ(folded, c.Folded) << c.Text;
  }
}

TEST(PictureFolders, NamesKeywordFilesAndChanges) {
  namespace fs = std::filesystem;
  TempFolder root;
  fs::create_directories(root.Path("pics/animals"));
  fs::create_directories(root.Path("pics/menjar"));
  WriteBytes(root.Path("pics/animals/gos_petit.png"), "x");
  WriteBytes(root.Path("pics/animals/notes.txt"), "not a picture");
  WriteBytes(root.Path("pics/menjar/Poma-Vermella.JPG"), "x");
  WriteBytes(root.Path("pics/menjar/GotDeLlet.svg"), "x");
  WriteBytes(root.Path("pics/animals/keywords.txt"), "gos_petit.png\tperro can\r\n");
  LibraryFiles files;
  files.UserFolders = {root.Path("pics")};
  files.CacheFile = root.Path("cache/symbols.index");

  SymbolLibrary library(files);
  std::shared_ptr<const SymbolIndex> index = library.Wait();
  ASSERT_EQ(index->Symbols().size(), 3u);
  struct Case {
    const char* Query;
    const char* File;
  } cases[] = {{"gos", "gos_petit.png"},
               {"perro", "gos_petit.png"},
               {"animals", "gos_petit.png"},
               {"poma vermella", "Poma-Vermella.JPG"},
               {"menjar vermella", "Poma-Vermella.JPG"},
               {"llet", "GotDeLlet.svg"}};
  for (const Case& c : cases) {
    const std::vector<SearchResult> results = index->Search(c.Query, Language::Es, 5);
    ASSERT_FALSE(results.empty()) << c.Query;
    EXPECT_EQ(fs::path(results.front().Item->Picture).filename(), c.File) << c.Query;
    EXPECT_EQ(results.front().Item->Source, SymbolSource::UserFolder);
  }

  // A picture added to the folder is found after a refresh; the old index answered meanwhile.
  WriteBytes(root.Path("pics/menjar/pa.png"), "x");
  library.RefreshIfChanged();
  index = library.Wait();
  ASSERT_FALSE(index->Search("pa", Language::Ca, 5).empty());
  EXPECT_EQ(fs::path(index->Search("pa", Language::Ca, 5).front().Item->Picture).filename(), "pa.png");
}

TEST(SavedIndex, ReadsBackOnlyAnIntactFileOfTheSameSources) {
  TempFolder root;
  Symbol symbol;
  symbol.Text = "🐈";
  symbol.Picture = "/p/1F408.svg";
  symbol.Names = {"gat", "gato", "cat"};
  symbol.Keywords = {"animal|gat", "gato", "pet"};
  symbol.Untranslated = {false, true, false};
  const std::string path = root.Path("a/b/symbols.index");
  ASSERT_TRUE(SaveIndexFile(path, 42, {symbol, Symbol{}}));
  const auto back = LoadIndexFile(path, 42);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, (std::vector<Symbol>{symbol, Symbol{}}));
  EXPECT_FALSE(LoadIndexFile(path, 43).has_value()); // sources changed

  const std::string bytes = test::ReadBytes(path);
  for (const std::string& damaged : {bytes.substr(0, bytes.size() - 1), bytes + "x", std::string("garbage"),
                                     std::string(), bytes.substr(0, 30) + std::string(4, '\xff')}) {
    WriteBytes(path, damaged);
    EXPECT_FALSE(LoadIndexFile(path, 42).has_value()) << damaged.size();
  }
}

} // namespace
} // namespace nq::symbols
