#include "calc/Calculator.h"

#include <gtest/gtest.h>

namespace nq {
namespace {

const std::string ParseError(CalcParseError);
const std::string CalculationError(CalcCalculationError);

struct Case {
  std::string expression;
  std::string result; // what follows " = "
};

void ExpectResults(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(EvaluateExpressionText(c.expression), c.expression + " = " + c.result) << c.expression;
  }
}

TEST(Calculator, Arithmetic) {
  ExpectResults({
      {"2+3", "5"},
      {"7/2", "3,5"},
      {"1/3", "0,333333"},
      {"2/3", "0,666667"},
      {"2-5", "-3"},
      {"2+3*4", "14"},
      {"(2+3)*4", "20"},
      {"10/4/5", "0,5"},
      {"10-4-3", "3"},
      {"0,5", "0,5"},
      {"2,5", "2,5"},
      {"2.", "2"},
      {".5", "0,5"},
      {"0", "0"},
      {"007", "7"},
  });
}

TEST(Calculator, DecimalSeparatorsAndBlanks) {
  ExpectResults({
      {"2,5*2", "5"},
      {"2'5*2", "5"},
      {"2.5*2", "5"},
      {"1 000 + 1", "1001"},
      {"  2  +  3  ", "5"},
      {"2 PI", "6,283186"},
      {"s i n ( 0 )", "0"},
  });
}

TEST(Calculator, ConstantsAndImplicitProducts) {
  ExpectResults({
      {"2(3+4)", "14"},
      {"2PI", "6,283186"},
      {"PI", "3,141593"},
      {"pi", "3,141593"},
      {"P", "3,141593"},
      {"PI2*10", "31,415932"}, // the constant runs on into the digit that follows it
      {"NE", "2,718282"},
      {"2NE", "5,436564"},
      {"2X", "0"},
      {"X+1", "1"},
      {"2SIN(0)+1", "1"},
      {"3LN(NE)", "3"},
  });
}

TEST(Calculator, SignsAndPrecedence) {
  ExpectResults({
      {"-2^2", "-4"},
      {"2^3^2", "64"},
      {"2*(-3)", "-6"},
      {"+5", "5"},
      {"-5", "-5"},
      {"(-2)^2", "4"},
      {"-(2+3)*2", "-10"},
      {"2*(+3)", "6"},
      {"2^-1", ParseError},
      {"2*-3", ParseError},
      {"2+-3", ParseError},
      {"--2", ParseError},
  });
}

TEST(Calculator, ParseErrors) {
  ExpectResults({
      {"", ParseError},
      {"2+", ParseError},
      {"(2)(3)", ParseError},
      {"()", ParseError},
      {"(", ParseError},
      {")", ParseError},
      {"(2", ParseError},
      {"2)", ParseError},
      {"2)+(3", ParseError},
      {"Y+1", ParseError},
      {"z", ParseError},
      {"u", ParseError},
      {"V", ParseError},
      {"*2", ParseError},
      {"2**3", ParseError},
      {"1.2.3", ParseError},
      {"1..2", ParseError},
      {".", ParseError},
      {"2E5", ParseError},
      {"SIN 2", ParseError},
      {"SINX", ParseError},
      {"ASIN(1)", ParseError},
      {"XX", ParseError},
      {"X2", ParseError},
      {"X(2)", ParseError},
      {"XSIN(1)", ParseError},
      {"(2)3", ParseError},
      {"(2)X", ParseError},
      {"(2)SIN(1)", ParseError},
      {"2^", ParseError},
      {"SIN()", ParseError},
      {"2\t+3", ParseError},
      {"2 = 3", ParseError},
      {"\xE0", ParseError},
      {std::string("2\0"
                   "3",
                   3),
       ParseError},
      {"PP", ParseError},
      {"12345678901234567890", ParseError}, // 20 characters in one number
  });
}

TEST(Calculator, NumberLengthLimit) {
  ExpectResults({
      {"1234567890123456789", "1234567890122833920"}, // 19 digits read, stored with a 40-bit mantissa
      {"0.00000000000000001", "0"},
      {"0.000000000000000001", ParseError},
  });
}

TEST(Calculator, CalculationErrors) {
  ExpectResults({
      {"1/0", CalculationError},
      {"1/(1-1)", CalculationError},
      {"LN(0)", CalculationError},
      {"LN(-1)", CalculationError},
      {"LOG(0)", CalculationError},
      {"ASI(2)", CalculationError},
      {"ACO(-1,5)", CalculationError},
      {"0^0", CalculationError},
      {"0^(-1)", CalculationError},
      {"(-2)^(-1)", CalculationError},
      {"(-8)^0,5", CalculationError},
      {"EXP(44)", CalculationError},
      {"EXP(88)", CalculationError},
      {"EXP(-88)", CalculationError},
      {"1/0,00000000000000000001", ParseError},
      {"9999999999999999999*2", CalculationError},
      {"9999999999999999999+1", CalculationError},
      {"9999999999999999999", CalculationError}, // rounds to just above 1e19
      {"999999999999999999", "999999999999737856"},
      {"10000000000^2", CalculationError},
  });
}

TEST(Calculator, Functions) {
  ExpectResults({
      {"SIG(30)", "0,5"},       {"SEG(30)", "0,5"},
      {"sin(30)", "-0,988032"}, {"SEN(30)", "-0,988032"},
      {"COG(60)", "0,5"},       {"COS(0)", "1"},
      {"TAN(0)", "0"},          {"TAG(45)", "1"},
      {"ASI(1)", "1,570796"},   {"ASE(-1)", "-1,570796"},
      {"ASI(0,5)", "0,523599"}, {"ASG(1)", "90"},
      {"ASG(-1)", "-90"},       {"ASG(0,5)", "30"},
      {"ACO(0)", "1,570796"},   {"ACO(1)", "0"},
      {"ACO(-1)", "3,141593"},  {"ACG(-1)", "180"},
      {"ACG(0)", "90"},         {"ACG(0,5)", "60"},
      {"ATA(1)", "0,785398"},   {"ATG(1)", "45"},
      {"ABS(-2,5)", "2,5"},     {"LOG(1000)", "3"},
      {"LN(1)", "0"},           {"LN(NE)", "1"},
      {"EXP(0)", "1"},          {"ALN(1)", "2,718282"},
      {"ALO(2)", "100"},        {"ALO(-2)", "0,01"},
      {"ALO(0,5)", "3,162278"}, {"EXP(43)", "4727839468231327744"},
      {"LN(EXP(50))", "50"},    {"ABS(SIN(-PI/2))", "1"},
  });
}

TEST(Calculator, DegreeTangentNearTheRightAngleIsLargeButFinite) {
  const std::string line = EvaluateExpressionText("TAG(90)");
  ASSERT_TRUE(line.starts_with("TAG(90) = -577350")) << line;
  EXPECT_NE(line.find(','), std::string::npos) << line;
}

TEST(Calculator, Powers) {
  ExpectResults({
      {"(-2)^(-2)", "0,25"},
      {"(-8)^(1/3)", "-2"},
      {"(-8)^(2/3)", "4"},
      {"(-2)^0", "1"},
      {"(-2)^3", "-8"},
      {"2^0", "1"},
      {"2^0,5", "1,414214"},
      {"4^0,5", "2"},
      {"0^2", "0"},
      {"0^0,5", "0"},
      {"2^(-2)", "0,25"},
      {"2^62", "4611686018427387904"},
      {"2^64", CalculationError},
      {"2^100", CalculationError}, // not whole-looped: e^(100 ln 2) is out of the exp range
      {"1^1000", "1"},
      {"10^(-19)", "0"},
  });
}

TEST(Calculator, Formatting) {
  ExpectResults({
      {"123456,78", "123456"},
      {"-123456,78", "-123456,78"},
      {"100000,5", "100000"},
      {"99999,5", "99999,5"},
      {"0,0000001", "0"},
      {"-0,0000001", "0"},
      {"0,0000006", "0,000001"},
      {"2,50000001", "2,5"},
      {"3000000000,5", "3000000000"},
      {"-3000000000,5", "-3000000000,5"},
      {"SIN(PI)", "0"},
  });
}

// A chain of n ones joined by "+" makes 2n + 1 tokens with the outer parentheses.
std::string OnesAdded(int count) {
  std::string text = "1";
  for (int i = 1; i < count; ++i)
    text += "+1";
  return text;
}

TEST(Calculator, TextAndTokenLimits) {
  ExpectResults({
      {"1+1" + std::string(197, ' '), "2"},                     // 200 characters
      {"1+1" + std::string(198, ' '), ParseError},              // 201 characters
      {OnesAdded(99), "99"},                                    // 199 tokens
      {OnesAdded(100), ParseError},                             // 201 tokens
      {"-" + OnesAdded(98), "96"},                              // 199 tokens after the sign becomes -1*
      {"-" + OnesAdded(99), ParseError},                        // 201 tokens after the sign becomes -1*
      {std::string(31, 'P'), ParseError},                       // constants expand past the readable length
      {std::string(98, '(') + "1" + std::string(98, ')'), "1"}, // deep nesting, 199 tokens
      {std::string(99, '(') + "1" + std::string(99, ')'), ParseError}, // 201 tokens
  });
}

TEST(Calculator, ResultLineIsCutAt255) {
  const std::string huge(10000, '1');
  const std::string line = EvaluateExpressionText(huge);
  EXPECT_EQ(line, huge.substr(0, 255));
  EXPECT_EQ(EvaluateExpressionText(std::string(250, ' ')).size(), 255u);
}

} // namespace
} // namespace nq
