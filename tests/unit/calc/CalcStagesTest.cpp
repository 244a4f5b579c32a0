#include <cmath>

#include <gtest/gtest.h>

#include "calc/CalcEvaluator.h"
#include "calc/CalcFormat.h"
#include "calc/CalcTokens.h"
#include "calc/Real48.h"

namespace nq {
namespace {

Real48 R(long double v) {
  return Real48::FromExtended(v).value();
}

TEST(Real48, RoundsToFortyBitMantissaWithTiesToEven) {
  struct Case {
    long double input;
    long double expected;
  };
  const long double ulp = std::ldexp(1.0L, -39);
  const Case cases[] = {
      {1, 1},
      {-2.5L, -2.5L},
      {1 + ulp / 2, 1},                 // tie, stays even
      {1 + 3 * ulp / 2, 1 + 2 * ulp},   // tie, goes to even
      {1 + ulp / 2 + ulp / 8, 1 + ulp}, // above the tie
      {2 - ulp / 4, 2},                 // carries into the exponent
      {std::ldexp(1.0L, -128), std::ldexp(1.0L, -128)},
      {std::ldexp(1.0L, -129), 0}, // below the range: zero
      {-std::ldexp(1.0L, -130), 0},
      {std::ldexp(2 - ulp, 126), std::ldexp(2 - ulp, 126)},
      {0.1L, 0.1L + (R(0.1L).Value() - 0.1L)},
  };
  for (const auto& c : cases) {
    const auto r = Real48::FromExtended(c.input);
    ASSERT_TRUE(r.has_value()) << static_cast<double>(c.input);
    EXPECT_EQ(r->Value(), c.expected) << static_cast<double>(c.input);
  }
  EXPECT_FALSE(std::signbit(R(-std::ldexp(1.0L, -140)).Value()));
  EXPECT_NE(R(0.1L).Value(), 0.1L);
  EXPECT_LT(std::fabs(R(0.1L).Value() - 0.1L), 0.1L * ulp);
}

TEST(Real48, RefusesValuesOutsideItsRange) {
  const long double ulp = std::ldexp(1.0L, -39);
  const long double refused[] = {std::ldexp(1.0L, 127),
                                 -std::ldexp(1.0L, 127),
                                 std::ldexp(2 - ulp / 4, 126),
                                 1e39L,
                                 INFINITY,
                                 -INFINITY,
                                 NAN};
  for (const long double v : refused)
    EXPECT_FALSE(Real48::FromExtended(v).has_value()) << static_cast<double>(v);
}

TEST(PrepareExpressionText, ExpandsConstantsProductsAndNames) {
  struct Case {
    std::string input;
    std::string prepared;
  };
  const Case cases[] = {
      {"2+3", "(2+3)"},         {"2pi", "(2*3.141593)"},
      {"PI2", "(3.1415932)"},   {"2P", "(2*3.141593)"},
      {"2ne", "(2*2.718282)"},  {"2 PI", "(2*3.141593)"},
      {"exp(1)", "(ALN(1))"},   {"sen(1)+ase(1)+seg(1)", "(SIN(1)+ASI(1)+SIG(1))"},
      {"2,5+1'5", "(2.5+1.5)"}, {"2(3)", "(2*(3))"},
      {"2x", "(2*X)"},          {"2sin(1)", "(2*SIN(1))"},
      {"2ln(1)", "(2*LN(1))"},  {"xsin(1)", "(XSIN(1))"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PrepareExpressionText(c.input).value_or("<error>"), c.prepared) << c.input;
  const std::string refused[] = {"", "y", "2+Z", std::string(201, '1'), std::string(40, 'P')};
  for (const auto& text : refused) {
    EXPECT_FALSE(PrepareExpressionText(text).has_value()) << text;
  }
}

std::string Dump(const CalcTokenList& tokens) {
  std::string text;
  for (const auto& t : tokens) {
    if (!text.empty()) text += ' ';
    if (t.Code == CalcCode::Number) {
      text += std::to_string(static_cast<double>(t.Number.Value()));
    } else {
      text += CalcCodeText(t.Code);
    }
  }
  return text;
}

TEST(ParseExpression, BuildsTheTokenList) {
  struct Case {
    std::string input;
    std::string tokens;
  };
  const Case cases[] = {
      {"2+3", "( 2.000000 + 3.000000 )"},
      {"-2^2", "( -1.000000 * 2.000000 ^ 2.000000 )"},
      {"+X", "( X )"},
      {"ln(exp(1))", "( LNE ( EXP ( 1.000000 ) ) )"},
      {"log(1)*alo(1)/abs(1)", "( LOG ( 1.000000 ) * ALO ( 1.000000 ) / ABS ( 1.000000 ) )"},
      {"cos(cog(aco(acg(1))))", "( COS ( COG ( ACO ( ACG ( 1.000000 ) ) ) ) )"},
      {"tan(tag(ata(atg(asg(1)))))", "( TAN ( TAG ( ATA ( ATG ( ASG ( 1.000000 ) ) ) ) ) )"},
      {"2*(-X)", "( 2.000000 * ( -1.000000 * X ) )"},
  };
  for (const auto& c : cases) {
    const auto tokens = ParseExpression(c.input);
    ASSERT_TRUE(tokens.has_value()) << c.input;
    EXPECT_EQ(Dump(*tokens), c.tokens) << c.input;
  }
}

TEST(CheckExpressionCharacters, RefusesBadNeighbours) {
  const std::string refused[] = {"(2+*3)", "(2+-)", "(*2)",   "(XX)",    "(X.)",    "(2.X)",
                                 "(2)3)",  "(.)",   "(2..3)", "(1.2.3)", "((2).5)", "(X3)"};
  for (const auto& text : refused)
    EXPECT_FALSE(CheckExpressionCharacters(text)) << text;
  const std::string accepted[] = {"(2+3)", "(2.)", "(.5)", "(1.2+3.4)", "(-X)", "(SIN(1))"};
  for (const auto& text : accepted)
    EXPECT_TRUE(CheckExpressionCharacters(text)) << text;
}

TEST(CutIntoTokens, RefusesWhatIsNoToken) {
  const std::string refused[] = {"(SINX(1))", "(B)", "(2)+(3)", "((2)", "(2))", "(12345678901234567890)",
                                 "(LN)",      "(E)"};
  for (const auto& text : refused)
    EXPECT_FALSE(CutIntoTokens(text).has_value()) << text;
}

TEST(CheckTokens, NeverGrowsPastTheTable) {
  CalcTokenList tokens(MaxCalcTokens - 1, CalcToken{CalcCode::Number, R(1)});
  tokens.front() = {CalcCode::Open, {}};
  tokens[1] = {CalcCode::Minus, {}};
  tokens.back() = {CalcCode::Close, {}};
  EXPECT_TRUE(CheckTokens(tokens));
  EXPECT_EQ(tokens.size(), MaxCalcTokens);
  tokens = CalcTokenList(MaxCalcTokens, CalcToken{CalcCode::Number, R(1)});
  tokens.front() = {CalcCode::Open, {}};
  tokens[1] = {CalcCode::Minus, {}};
  EXPECT_FALSE(CheckTokens(tokens));
}

TEST(EvaluateTokens, UsesTheCallersX) {
  const auto tokens = ParseExpression("X^2+1").value();
  EXPECT_EQ(EvaluateTokens(tokens, R(3)).value(), R(10));
  EXPECT_EQ(EvaluateTokens(tokens, R(0)).value(), R(1));
  EXPECT_FALSE(EvaluateTokens(tokens, R(1e10)).has_value()); // 1e20 is over the limit
}

TEST(EvaluateTokens, RefusesMalformedListsWithoutCrashing) {
  const CalcTokenList lists[] = {
      {},
      {{CalcCode::Close, {}}},
      {{CalcCode::Open, {}}, {CalcCode::Close, {}}},
      {{CalcCode::Open, {}}, {CalcCode::Plus, {}}, {CalcCode::Close, {}}},
      {{CalcCode::Open, {}}, {CalcCode::Number, R(1)}, {CalcCode::Number, R(2)}, {CalcCode::Close, {}}},
      {{CalcCode::Sin, {}}},
      {{CalcCode::Number, R(1)}, {CalcCode::Plus, {}}},
  };
  for (const auto& list : lists)
    EXPECT_FALSE(EvaluateTokens(list, Real48{}).has_value()) << Dump(list);
}

TEST(CalcPower, FollowsTheWholeAndNegativeRules) {
  struct Case {
    long double base;
    long double exponent;
    std::optional<long double> expected;
  };
  const Case cases[] = {
      {2, 10, 1024},
      {-2, 3, -8},
      {-2, -2, 0.25L},
      {-2, -1, std::nullopt}, // a negative r cannot be inverted
      {0, -1, std::nullopt},
      {0, 0, std::nullopt},
      {0, 3, 0},
      {0, 0.5L, 0},
      {-2, 0, 1},
      {-8, 0.5L, std::nullopt},
      {1e10L, 2, 1e20L},        // r may pass 1e19 on the last multiplication
      {1e10L, 3, std::nullopt}, // but not before one
      {2e19L, 1, std::nullopt}, // the base itself is over the limit
      {-2e19L, 1, -2e19L},      // plain comparison: a large negative base passes
      {2, 200, std::nullopt},   // e^(200 ln 2) is outside the exponential's range
      {10, -1, 0.1L},
  };
  for (const auto& c : cases) {
    const auto r = CalcPower(R(c.base), R(c.exponent));
    if (c.expected) {
      ASSERT_TRUE(r.has_value()) << static_cast<double>(c.base) << "^" << static_cast<double>(c.exponent);
      EXPECT_EQ(r->Value(), R(*c.expected).Value())
          << static_cast<double>(c.base) << "^" << static_cast<double>(c.exponent);
    } else {
      EXPECT_FALSE(r.has_value()) << static_cast<double>(c.base) << "^" << static_cast<double>(c.exponent);
    }
  }
  EXPECT_NEAR(static_cast<double>(CalcPower(R(-8), R(1.0L / 3)).value().Value()), -2.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(CalcPower(R(-32), R(0.2L)).value().Value()), -2.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(CalcPower(R(-8), R(-1.0L / 3)).value().Value()), -0.5, 1e-9);
}

TEST(CalcPower, NegativeBaseWithTinyOrHugeExponentEnds) {
  EXPECT_NEAR(static_cast<double>(CalcPower(R(-2), R(1e-7L)).value().Value()), 1.0, 1e-6);
  EXPECT_FALSE(CalcPower(R(-2), R(1e30L)).has_value());
  EXPECT_TRUE(CalcPower(R(-1), R(1e30L)).has_value());
}

TEST(ApplyCalcFunction, HugeArgumentsGiveZeroForSineAndCosine) {
  EXPECT_EQ(ApplyCalcFunction(CalcCode::Sin, R(1e20L)).value(), Real48{});
  EXPECT_EQ(ApplyCalcFunction(CalcCode::Cos, R(-1e30L)).value(), Real48{});
  EXPECT_FALSE(ApplyCalcFunction(CalcCode::Tan, R(1e20L)).has_value());
  EXPECT_TRUE(ApplyCalcFunction(CalcCode::Abs, R(1e38L)).has_value());
  EXPECT_FALSE(ApplyCalcFunction(CalcCode::Number, R(1)).has_value());
}

TEST(FormatCalculatorNumber, WritesWholeNumbersAndDecimalCommas) {
  struct Case {
    long double value;
    std::string text;
  };
  const Case cases[] = {
      {0, "0"},
      {5, "5"},
      {-3, "-3"},
      {2.5L, "2,5"},
      {0.5L, "0,5"},
      {-0.25L, "-0,25"},
      {1.0L / 3, "0,333333"},
      {2.0L / 3, "0,666667"},
      {123456.78L, "123456"},
      {-123456.78L, "-123456,78"},
      {100000.5L, "100000"},
      {2000000000, "2000000000"},
      {-2000000000.5L, "-2000000000,5"},
      {1e18L, "999999999999737856"},
      {1e-7L, "0"},
      {-1e-7L, "0"},
      {1.9999999L, "2"},
      {1e38L, "99999999999991818610061493230523908096"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatCalculatorNumber(R(c.value)), c.text) << static_cast<double>(c.value);
}

} // namespace
} // namespace nq
