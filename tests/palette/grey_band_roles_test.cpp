#include "palette/grey_band_roles.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "ifo_bytes.h"

namespace quillet {
namespace {

using test::Grey;

constexpr uint32_t kNotGrey = 0x00518AF0;

// Entries not listed are a colour that is never picked.
std::array<uint32_t, 16> Palette(std::initializer_list<std::pair<int, uint32_t>> set) {
  std::array<uint32_t, 16> palette;
  palette.fill(kNotGrey);
  for (auto [n, entry] : set) palette[n] = entry;
  return palette;
}

struct BandCase {
  const char* name;
  std::array<uint32_t, 16> palette;
  bool accepted;
  bool dark, middle, bright;
  RoleSelection roles;  // background, text, outline, antialias; only the fields of the bands found count
};

TEST(RunBandTest, PicksTheLowestGreyOfEachBand) {
  std::array<uint32_t, 16> identical;
  identical.fill(Grey(128));
  const BandCase cases[] = {
      {"usual greys",
       Palette({{0, Grey(16)}, {1, Grey(128)}, {2, Grey(235)}, {3, Grey(128)}}),
       true,
       true,
       true,
       true,
       {0, 2, 0, 1}},
      {"70 is dark, 201 bright",
       Palette({{4, Grey(201)}, {5, Grey(70)}, {6, Grey(100)}}),
       true,
       true,
       true,
       true,
       {5, 4, 5, 6}},
      {"70 is dark", Palette({{0, Grey(70)}, {1, Grey(128)}, {2, Grey(255)}}), true, true, true, true, {0, 2, 0, 1}},
      {"71 is middle", Palette({{0, Grey(71)}, {1, Grey(0)}, {2, Grey(255)}}), true, true, true, true, {1, 2, 1, 0}},
      {"200 is middle", Palette({{0, Grey(200)}, {1, Grey(0)}, {2, Grey(255)}}), true, true, true, true, {1, 2, 1, 0}},
      {"201 is bright", Palette({{0, Grey(201)}, {1, Grey(0)}, {2, Grey(128)}}), true, true, true, true, {1, 0, 1, 2}},
      {"200 is not bright",
       Palette({{0, Grey(0)}, {1, Grey(200)}, {2, Grey(200)}}),
       false,
       true,
       true,
       false,
       {0, 0, 0, 1}},
      {"chroma 8081 never picked",
       Palette({{0, 0x00FF8081}, {1, 0x00108081}, {2, 0x00808180}, {3, Grey(0)}, {4, Grey(80)}, {5, Grey(255)}}),
       true,
       true,
       true,
       true,
       {3, 5, 3, 4}},
      {"16 identical mid-greys", identical, false, false, true, false, {0, 0, 0, 0}},
      {"greys only in 13 to 15",
       Palette({{13, Grey(250)}, {14, Grey(5)}, {15, Grey(128)}}),
       true,
       true,
       true,
       true,
       {14, 13, 14, 15}},
      {"later greys of a band lose",
       Palette({{7, Grey(40)}, {8, Grey(20)}, {9, Grey(90)}, {10, Grey(180)}, {11, Grey(255)}, {12, Grey(210)}}),
       true,
       true,
       true,
       true,
       {7, 11, 7, 9}},
      {"no greys", Palette({}), false, false, false, false, {0, 0, 0, 0}},
      {"top byte only shifts the digits",
       Palette({{0, 0xFF108080}, {1, Grey(128)}, {2, Grey(235)}}),
       true,
       true,
       true,
       true,
       {0, 2, 0, 1}},
  };
  for (const BandCase& c : cases) {
    const BandTestResult result = RunBandTest(MakeIfoPaletteDisplay(c.palette));
    EXPECT_EQ(result.accepted, c.accepted) << c.name;
    EXPECT_EQ(result.darkFound, c.dark) << c.name;
    EXPECT_EQ(result.middleFound, c.middle) << c.name;
    EXPECT_EQ(result.brightFound, c.bright) << c.name;
    const RoleSelection untouched{9, 9, 9, 9};
    const RoleSelection after = result.ApplyTo(untouched);
    EXPECT_EQ(after.background, c.dark ? c.roles.background : 9) << c.name;
    EXPECT_EQ(after.outline, c.dark ? c.roles.outline : 9) << c.name;
    EXPECT_EQ(after.antialias, c.middle ? c.roles.antialias : 9) << c.name;
    EXPECT_EQ(after.text, c.bright ? c.roles.text : 9) << c.name;
  }
}

TEST(RunBandTest, FindsNothingInTheGenericPalettesShortTooltips) {
  const BandTestResult result = RunBandTest(MakeGenericPalette());
  EXPECT_FALSE(result.accepted);
  EXPECT_FALSE(result.darkFound || result.middleFound || result.brightFound);
}

TEST(ChooseIfoPalette, KeepsAnAcceptedTableAndItsRoles) {
  IfoContents contents;
  contents.palette = Palette({{0, Grey(16)}, {1, Grey(128)}, {2, Grey(235)}, {3, Grey(128)}});
  contents.videoAttributes = 0x4000;
  const IfoPaletteChoice choice = ChooseIfoPalette(contents);
  EXPECT_FALSE(choice.monochromatic);
  EXPECT_EQ(choice.standard, VideoStandard::Ntsc);
  EXPECT_EQ(choice.display, MakeIfoPaletteDisplay(contents.palette));
  EXPECT_EQ(choice.roles, (RoleSelection{.background = 0, .text = 2, .outline = 0, .antialias = 1}));
}

TEST(ChooseIfoPalette, ReplacesARejectedTableByTheGenericPalette) {
  IfoContents contents;
  contents.palette.fill(Grey(128));
  contents.videoAttributes = 0x5000;
  const IfoPaletteChoice choice = ChooseIfoPalette(contents);
  EXPECT_TRUE(choice.monochromatic);
  EXPECT_TRUE(choice.bandTest.middleFound);  // the walk selected antialias 0 before the table was rejected
  EXPECT_EQ(choice.standard, VideoStandard::Pal);
  EXPECT_EQ(choice.display, MakeGenericPalette());
  EXPECT_EQ(choice.roles, kGenericRoles);
  EXPECT_EQ(kGenericRoles, (RoleSelection{.background = 0, .text = 3, .outline = 0, .antialias = 1}));
}

}  // namespace
}  // namespace quillet
