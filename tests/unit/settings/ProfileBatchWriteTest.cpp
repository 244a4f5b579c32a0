#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <set>

#include "settings/ProfileDocument.h"

namespace nq {
namespace {

std::string Folded(std::string text) {
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool WritesAKeyTwice(const std::vector<ProfileDocument::ValueWrite>& writes) {
  std::set<std::pair<std::string, std::string>> seen;
  for (const auto& write : writes)
    if (!seen.insert({Folded(write.Section), Folded(write.Key)}).second) return true;
  return false;
}

// Many writes in one pass must give the bytes that the same writes one at a time give.
TEST(ProfileBatchWrite, EqualsWritingEachValueInTurn) {
  const std::vector<std::string> bases = {
      "",
      "[A]\r\nx=1\r\n",
      "; c\r\n[A]\r\nx = 1 \r\n\r\n[b]\r\ny='2'\r\n[A]\r\nz=3\r\n",
      "[A]\nx=1\n[B]\ny=",
      "[A]\rx=\"q\"\r[C]",
  };
  const std::vector<std::string> sections = {"A", "a", "B", "C", "New", "new "};
  const std::vector<std::string> keys = {"x", "X", "y", "z", "w"};
  const std::vector<std::string> values = {"", "1", " padded ", "'q'", "caf\xE9"};
  std::mt19937 random(7);
  auto any = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  for (int round = 0; round < 2000; ++round) {
    const std::string base = any(bases);
    std::vector<ProfileDocument::ValueWrite> writes;
    const int count = std::uniform_int_distribution<int>(0, 6)(random);
    for (int i = 0; i < count; ++i)
      writes.push_back({any(sections), any(keys), any(values)});
    std::string sequential = base;
    for (const auto& write : writes)
      sequential = *ProfileDocument(sequential).WithValue(write.Section, write.Key, write.Value);
    const std::optional<std::string> batch = ProfileDocument(base).WithValues(writes);
    ASSERT_TRUE(batch);
    if (!WritesAKeyTwice(writes)) {
      ASSERT_EQ(*batch, sequential) << "round " << round;
    } else {
      // A key written twice gets only its last value, in place: fewer bytes change, same reading.
      const ProfileDocument a(*batch), b(sequential);
      for (const std::string& section : sections)
        for (const std::string& key : keys)
          ASSERT_EQ(a.Find(section, key), b.Find(section, key)) << "round " << round;
    }
  }
}

TEST(ProfileBatchWrite, RefusesWhatASingleWriteRefuses) {
  const ProfileDocument document("[A]\r\nx=1\r\n");
  EXPECT_FALSE(document.WithValues({{"A", "x", "2"}, {"A", "y", "line\nbreak"}}));
  EXPECT_FALSE(document.WithValues({{"A]", "x", "2"}}));
  EXPECT_EQ(document.WithValues({}), document.Content());
}

} // namespace
} // namespace nq
