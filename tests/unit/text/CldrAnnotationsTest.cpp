// The CLDR annotations as the symbol library and imported boards read them: names and keywords by
// emoji, derived sequences where the plain file has none, and a language code that is no file name.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "text/CldrAnnotations.h"

namespace nq {
namespace {

TEST(CldrAnnotations, ReadsNamesKeywordsAndEntities) {
  const auto names = ReadCldrAnnotations(
      "<annotations>\n"
      "<annotation cp=\"\xE2\x9D\xA4\xEF\xB8\x8F\">amor | cor </annotation>\n" // ❤️: the key without FE0F
      "<annotation cp=\"\xE2\x9D\xA4\" type=\"tts\">cor vermell</annotation>\n" //
      "<annotation cp=\"&amp;\" type=\"tts\">i comercial &#x26; &lt;</annotation>\n"
      "<annotation cp=\"broken\">no end\n");
  ASSERT_EQ(names.count("\xE2\x9D\xA4"), 1u);
  EXPECT_EQ(names.at("\xE2\x9D\xA4").Name, "cor vermell");
  EXPECT_EQ(names.at("\xE2\x9D\xA4").Keywords, "amor|cor");
  ASSERT_EQ(names.count("&"), 1u);
  EXPECT_EQ(names.at("&").Name, "i comercial & <");
  EXPECT_EQ(names.count("broken"), 0u);
}

TEST(CldrAnnotations, ALanguageWithItsDerivedNamesAndNoOtherFile) {
  namespace fs = std::filesystem;
  test::TempFolder root;
  fs::create_directories(root.Path("cldr/common/annotations"));
  fs::create_directories(root.Path("cldr/common/annotationsDerived"));
  const std::string thumb = "\xF0\x9F\x91\x8D", toned = thumb + "\xF0\x9F\x8F\xBD";
  test::WriteBytes(root.Path("cldr/common/annotations/ca.xml"),
                   "<annotation cp=\"" + thumb + "\" type=\"tts\">polze cap amunt</annotation>");
  test::WriteBytes(root.Path("cldr/common/annotationsDerived/ca.xml"),
                   "<annotation cp=\"" + thumb +
                       "\" type=\"tts\">not this one</annotation>"
                       "<annotation cp=\"" +
                       toned + "\" type=\"tts\">polze cap amunt: pell morena</annotation>");
  test::WriteBytes(root.Path("secret.xml"), "<annotation cp=\"x\" type=\"tts\">secret</annotation>");
  const auto catalan = ReadCldrLanguage(root.Path("cldr"), "ca");
  EXPECT_EQ(catalan.at(thumb).Name, "polze cap amunt");
  EXPECT_EQ(catalan.at(toned).Name, "polze cap amunt: pell morena");
  for (const char* code : {"", "xx", "../../../secret", "ca/../ca"})
    EXPECT_TRUE(ReadCldrLanguage(root.Path("cldr"), code).empty()) << code;
  EXPECT_TRUE(ReadCldrLanguage("", "ca").empty());
}

} // namespace
} // namespace nq
