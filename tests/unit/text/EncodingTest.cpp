#include "text/Encoding.h"

#include <gtest/gtest.h>

namespace nq {
namespace {

struct EncodingCase {
  std::string windows1252;
  std::string utf8;
};

TEST(Encoding, ConvertsBothWays) {
  const EncodingCase cases[] = {
      {"", ""},
      {"abc 123", "abc 123"},
      {"S\xCD", "S\xC3\x8D"},
      {"\xE0\xE9\xF1\xC7", "\xC3\xA0\xC3\xA9\xC3\xB1\xC3\x87"},
      {"\x80", "\xE2\x82\xAC"}, // euro sign
      {"\x9F", "\xC5\xB8"},     // Y with diaeresis
      {"\x85", "\xE2\x80\xA6"}, // ellipsis
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Windows1252ToUtf8(c.windows1252), c.utf8) << c.utf8;
    EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.windows1252) << c.utf8;
  }
}

TEST(Encoding, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

TEST(Encoding, UnrepresentableAndMalformedBecomeQuestionMarks) {
  const EncodingCase cases[] = {
      {"?", "\xE4\xB8\xAD"},     // CJK character
      {"?", "\xF0\x9F\x98\x80"}, // emoji (4 bytes)
      {"?", "\xC2\x80"},         // U+0080 is not in the table
      {"?a", "\xC3"
             "a"},               // truncated sequence, next byte kept
      {"?", "\xC3"},             // truncated at the end
      {"??", "\xC0\xAF"},        // overlong slash: bad lead byte, then a stray continuation
      {"?", "\xE0\x80\xAF"},     // overlong three-byte form
      {"?", "\xED\xA0\x80"},     // surrogate
      {"?", "\xF4\x90\x80\x80"}, // above U+10FFFF
      {"?x", "\x80x"},           // lone continuation byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.windows1252) << testing::PrintToString(c.utf8);
  }
}

} // namespace
} // namespace nq
