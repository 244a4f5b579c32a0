// Reading "<KEY_COMBINATION ...>" lists: items, the last one without its comma, and bad numbers.
#include "actions/KeyCombination.h"

#include <gtest/gtest.h>

namespace nq {
namespace {

struct ListCase {
  std::string List;
  std::vector<RawKeyEvent> Events;
  std::optional<std::string> Bad;
};

RawKeyEvent Down(uint8_t key) {
  return {key, true};
}
RawKeyEvent Up(uint8_t key) {
  return {key, false};
}

TEST(KeyCombinationTest, ParsesItems) {
  const std::vector<ListCase> cases = {
      {"D17,D67,U67,U17,", {Down(17), Down(67), Up(67), Up(17)}, std::nullopt},
      {"D17,D67,U67,U17", {Down(17), Down(67), Up(67), Up(17)}, std::nullopt}, // last item without comma
      {" D17 , U17 ", {Down(17), Up(17)}, std::nullopt},
      {"d17,U17,", {Up(17)}, std::nullopt}, // only capital D and U
      {"X5,D65,", {Down(65)}, std::nullopt},
      {",,D65,,", {Down(65)}, std::nullopt},
      {"", {}, std::nullopt},
      {"D321,", {Down(65)}, std::nullopt}, // the low byte is the key
      {"D-1,", {Down(255)}, std::nullopt},
      {"D+65,", {Down(65)}, std::nullopt},
      {"D0,D256,", {}, std::nullopt}, // key code 0 sends nothing
      {"D17,Dxx,U17", {Down(17)}, "xx"},
      {"D17,D,U17", {Down(17)}, ""},
      {"D6 5,", {}, "6 5"},
      {"D99999999999,", {}, "99999999999"},
      {"D2147483647,D-2147483648,", {Down(255)}, std::nullopt}, // the second has a zero low byte
      {"D2147483648,", {}, "2147483648"},
      {"U1x", {}, "1x"},
  };
  for (const ListCase& c : cases) {
    const KeyCombinationList parsed = ParseKeyCombinationList(c.List);
    EXPECT_EQ(parsed.Events, c.Events) << c.List;
    EXPECT_EQ(parsed.BadNumber, c.Bad) << c.List;
  }
}

TEST(KeyCombinationTest, CutsTheListFromTheFoldedText) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"<KEY_COMBINATION D17,U17,>", "D17,U17,"},
      {"<key_combination D17>", "D17"},
      {"<KEY_COMBINATION D17,U17,", std::nullopt},
      {"x<KEY_COMBINATION D1> y>", "D1"},
      {"<KEY_COMBINATION>", ""},
      {"<KEY_COMBINATIOND1,>", "D1,"},
      {"> <KEY_COMBINATION D1,>", "D1,"},
      {"no token", std::nullopt},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(CutKeyCombinationList(text), expected) << text;
}

TEST(KeyCombinationTest, MessageNamesTheBadNumber) {
  EXPECT_EQ(NotAnIntegerMessage("1x"), "'1x' is not a valid integer value");
}

} // namespace
} // namespace nq
