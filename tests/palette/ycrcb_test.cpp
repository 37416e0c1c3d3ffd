#include "palette/ycrcb.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quillet {
namespace {

uint32_t Entry(int y, int cr, int cb) { return (uint32_t(y) << 16) | (uint32_t(cr) << 8) | uint32_t(cb); }

// value = numerator / 100000 rounded half to even, in integers: the exact decimal result of the conversion.
long long RoundExact(long long numerator) {
  long long q = numerator / 100000, r = numerator % 100000;
  if (r < 0) {
    q -= 1;
    r += 100000;
  }
  if (2 * r > 100000 || (2 * r == 100000 && (q & 1))) ++q;
  return q;
}

bool IsExactTie(long long numerator) { return ((numerator % 100000) + 100000) % 100000 == 50000; }

TEST(YCrCbToRGB, ConvertsExamplesAndWrapsOutOfRangeComponents) {
  struct Case {
    int y, cr, cb;
    RgbComponents components;
    Rgb colour;
  } cases[] = {
      {16, 128, 128, {16, 16, 16}, {16, 16, 16}},
      {81, 90, 240, {28, 70, 279}, {28, 70, 23}},  // blue overflows: 279 wraps to 23, no clamp to 255
      {1, 104, 128, {-33, 18, 1}, {223, 18, 1}},   // red underflows: -33 wraps to 223, no clamp to 0
      {235, 128, 128, {235, 235, 235}, {235, 235, 235}},
      {1, 128, 253, {1, -42, 222}, {1, 214, 222}},   // B = 222.5 exactly: to the even 222
      {2, 128, 253, {2, -41, 224}, {2, 215, 224}},   // B = 223.5 exactly: to the even 224
      {254, 128, 3, {254, 297, 32}, {254, 41, 32}},  // B = 32.5 exactly: to 32
      {255, 128, 3, {255, 298, 34}, {255, 42, 34}},  // B = 33.5 exactly: to 34
  };
  for (const Case& c : cases) {
    EXPECT_EQ(YCrCbComponents(c.y, c.cr, c.cb), c.components) << c.y << " " << c.cr << " " << c.cb;
    EXPECT_EQ(YCrCbToRGB(Entry(c.y, c.cr, c.cb)), c.colour) << c.y << " " << c.cr << " " << c.cb;
  }
}

TEST(YCrCbToRGB, IgnoresTheTopByteOfTheEntry) {
  EXPECT_EQ(YCrCbToRGB(0xFF108080), (Rgb{16, 16, 16}));
  EXPECT_EQ(YCrCbToRGB(0x00518AF0), YCrCbToRGB(0x7F518AF0));
}

TEST(YCrCbToRGB, GreysKeepTheirLuma) {
  for (int y = 0; y < 256; ++y) {
    const auto level = static_cast<uint8_t>(y);
    ASSERT_EQ(YCrCbToRGB(Entry(y, 128, 128)), (Rgb{level, level, level})) << y;
  }
}

// Against the exact decimal result: extended precision may only differ on exact halfway values, where the tiny
// error of the binary coefficients decides the side. Every (Y, Cr) and (Y, Cb) pair, and every (Cr, Cb) pair for
// a spread of lumas.
TEST(YCrCbToRGB, MatchesExactArithmeticExceptOnHalfwayValues) {
  auto check = [](int y, int cr, int cb) {
    const long long r = 100000LL * y + 140200LL * (cr - 128);
    const long long g = 100000LL * y - 34414LL * (cb - 128) - 71414LL * (cr - 128);
    const long long b = 100000LL * y + 177200LL * (cb - 128);
    const RgbComponents got = YCrCbComponents(y, cr, cb);
    for (auto [value, exact] : {std::pair{got.r, r}, std::pair{got.g, g}, std::pair{got.b, b}}) {
      const long long nearest = RoundExact(exact);
      if (value != nearest && !(IsExactTie(exact) && (value == nearest + 1 || value == nearest - 1))) return false;
    }
    return true;
  };
  for (int y = 0; y < 256; ++y) {
    for (int c = 0; c < 256; ++c) {
      ASSERT_TRUE(check(y, c, 128)) << "Y " << y << " Cr " << c;
      ASSERT_TRUE(check(y, 128, c)) << "Y " << y << " Cb " << c;
    }
  }
  for (int y : {0, 1, 16, 47, 81, 128, 235, 254, 255}) {
    for (int cr = 0; cr < 256; ++cr) {
      for (int cb = 0; cb < 256; ++cb) ASSERT_TRUE(check(y, cr, cb)) << "Y " << y << " Cr " << cr << " Cb " << cb;
    }
  }
}

// Colours asked for by name come back from the disc's entry as they were; saturated ones do not wrap round.
TEST(RgbToYCrCb, ComesBackCloseAndNeverWraps) {
  const Rgb colours[] = {{255, 255, 0}, {0, 0, 255}, {255, 0, 0},   {0, 255, 0},     {255, 255, 255},
                         {0, 0, 0},     {0, 255, 255}, {255, 0, 255}, {128, 64, 200}, {1, 254, 3}};
  for (const Rgb& colour : colours) {
    const Rgb back = YCrCbToRGB(RgbToYCrCb(colour));
    EXPECT_NEAR(back.r, colour.r, 2) << int(colour.r) << "," << int(colour.g) << "," << int(colour.b);
    EXPECT_NEAR(back.g, colour.g, 2) << int(colour.r) << "," << int(colour.g) << "," << int(colour.b);
    EXPECT_NEAR(back.b, colour.b, 2) << int(colour.r) << "," << int(colour.g) << "," << int(colour.b);
  }
  EXPECT_EQ(RgbToYCrCb({255, 255, 255}), Entry(255, 128, 128));
}

}  // namespace
}  // namespace quillet
