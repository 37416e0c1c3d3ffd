// Decimal numbers as the command line and the subtitle readers read them, and rounding half to even.
#include "base/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

TEST(RoundHalfToEven, TiesGoToTheEvenNeighbour) {
  struct Case {
    long double value;
    long double expected;
  } cases[] = {{0.5L, 0},    {1.5L, 2},    {2.5L, 2},   {-0.5L, 0}, {-1.5L, -2}, {-2.5L, -2},
               {2.4999L, 2}, {2.5001L, 3}, {-2.6L, -3}, {7.0L, 7},  {-7.0L, -7}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfToEven(c.value), c.expected) << static_cast<double>(c.value);
}

TEST(RoundHalfToEven, KeepsValuesBeyondEveryIntegerType) {
  // A start time of years in milliseconds times 90 no longer fits 64 bits; it must stay exact, not wrap.
  EXPECT_EQ(RoundHalfToEven(1e30L), 1e30L);
  EXPECT_EQ(RoundHalfToEven(-1e30L), -1e30L);
  EXPECT_EQ(RoundHalfToEven(static_cast<long double>(4294967296.0 * 4294967296.0) + 0.5L),
            static_cast<long double>(4294967296.0 * 4294967296.0));
}

TEST(DecimalText, IntegersTakeOneSignAndDigitsOnly) {
  EXPECT_EQ(ParseDecimalInteger("+12"), 12);
  EXPECT_EQ(ParseDecimalInteger("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "+", "-", "+-1", " 1", "1 ", "0x10", "2147483648", "1.0"}) {
    EXPECT_FALSE(ParseDecimalInteger(bad).has_value()) << bad;
  }
}

TEST(DecimalText, NumbersUseADotWhateverTheLocale) {
  EXPECT_EQ(ParseDecimalNumber("23.976"), 23.976);
  EXPECT_EQ(ParseDecimalNumber("+2.5e1"), 25.0);
  for (const char* bad : {"23,976", ".", "1e", "inf", "nan", "0x1p3", " 1"}) {
    EXPECT_FALSE(ParseDecimalNumber(bad).has_value()) << bad;
  }
  EXPECT_FALSE(ParseDecimalNumber("1e400").has_value());
  EXPECT_EQ(DecimalIsNonZero("1e-400"), true);
  EXPECT_EQ(DecimalIsNonZero("-0.0e99"), false);
}

TEST(DecimalText, LongValuesAreCutInMessages) {
  EXPECT_EQ(QuoteForMessage("abc"), "'abc'");
  EXPECT_EQ(QuoteForMessage(std::string(100, 'x')), "'" + std::string(60, 'x') + "...'");
}

}  // namespace
}  // namespace quillet
