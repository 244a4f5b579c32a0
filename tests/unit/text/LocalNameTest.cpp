// File names from outside: UTF-8 names become Windows-1252, names already in Windows-1252 bytes (not
// UTF-8) are kept as they are instead of turning their accented letters into "?".
#include <gtest/gtest.h>

#include "text/Encoding.h"

namespace nq {
namespace {

TEST(LocalName, Utf8IsConvertedAndOtherBytesAreKept) {
  struct Case {
    std::string Name;
    std::string Expected;
  } cases[] = {
      {"/b/inici.qdx", "/b/inici.qdx"},
      {"/b/caf\xC3\xA9.qdx", "/b/caf\xE9.qdx"},                     // UTF-8 é
      {"/b/caf\xE9.qdx", "/b/caf\xE9.qdx"},                         // already Windows-1252
      {"/b/\xE0\xE8\xF2 i \xC7.qdx", "/b/\xE0\xE8\xF2 i \xC7.qdx"}, // several, one looking like a lead byte
      {"/b/\xE2\x82\xAC.qdx", "/b/\x80.qdx"},                       // the euro sign
      {"/b/\xFF\xFE.png", "/b/\xFF\xFE.png"},                       // bytes that are never UTF-8
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LocalNameToWindows1252(c.Name), c.Expected) << c.Name;
}

} // namespace
} // namespace nq
