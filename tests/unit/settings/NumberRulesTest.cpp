#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "settings/ProfileFile.h"

namespace nq {
namespace {

struct NumberCase {
  const char* Text;
  std::optional<int32_t> Expected;
};

TEST(NumberRules, ProfileIntegerRule) {
  const NumberCase cases[] = {
      {"0", 0},
      {"-0", 0},
      {"00012", 12},
      {"0x7FFFFFFF", INT32_MAX},
      {"0xffffffff", {}},
      {"0x", {}},
      {"0X", {}},
      {"0x1g", {}},
      {"-0x1", {}},
      {"$-1", {}},
      {"$", {}},
      {"$7fffffff", INT32_MAX},
      {" 1", {}},
      {"1 ", {}},
      {"+", {}},
      {"-", {}},
      {"-2147483649", {}},
      {"12345678901234567890123", {}},
  };
  for (const NumberCase& c : cases)
    EXPECT_EQ(ParseProfileInteger(c.Text), c.Expected) << c.Text;
}

TEST(NumberRules, LenientRuleTakesTheLeadingNumber) {
  const struct {
    const char* Text;
    int32_t Expected;
  } cases[] = {
      {"15", 15},
      {"   7", 7},
      {"\t7", 7},
      {"7abc", 7},
      {"-7", -7},
      {"-7abc", 7},
      {"+3", 3},
      {" 12 ", 12},
      {"$1F", 31},
      {"$1Fz", 31},
      {"$", 0},
      {"NO", 0},
      {"", 0},
      {"-", 0},
      {"0", 0},
      {"101", 101},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"-99999999999x", INT32_MAX},
      {"$FFFFFFFFFF", INT32_MAX},
      {"-2147483648", INT32_MIN},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseLenientNumber(c.Text), c.Expected) << c.Text;
}

TEST(NumberRules, StrictRuleRefusesTrailingCharacters) {
  const NumberCase cases[] = {
      {"2", 2},
      {"0", 0},
      {" 5", 5},
      {"-1", -1},
      {"$10", 16},
      {"-2147483648", INT32_MIN},
      {"3a", {}},
      {"", {}},
      {"5 ", {}},
      {"+", {}},
      {"$", {}},
      {"2147483648", {}},
      {"NO", {}},
      {"1.5", {}},
      {"$1g", {}},
      {"--1", {}},
      {"99999999999999999999", {}},
  };
  for (const NumberCase& c : cases)
    EXPECT_EQ(ParseStrictNumber(c.Text), c.Expected) << c.Text;
}

} // namespace
} // namespace nq
