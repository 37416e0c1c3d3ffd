// One job's list indexes as the renderer takes them, for the window and the named run alike.
#include "app/render_settings_for.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace quillet {
namespace {

TEST(RenderSettingsFor, TurnsEachListIndexIntoItsValue) {
  const std::vector<std::string> fonts = {"Arial", "DejaVu Serif"};
  std::array<Rgb, 16> colours{};
  for (int i = 0; i < 16; ++i) colours[static_cast<std::size_t>(i)] = Rgb{static_cast<uint8_t>(i), 0, 0};
  struct Case {
    const char* what;
    JobSettings job;
    FontDesc font;
    Alignment align;
    int outlinePx;
    VideoStandard standard;
  };
  JobSettings other;
  other.fontname = 1;
  other.fontsize = 34;     // "50"
  other.fontcharset = 13;  // "RUSSIAN"
  other.fontstyle = 6;     // "Bold+It+Und"
  other.align = 2;         // "right"
  other.outline = 2;       // "4"
  other.pal = false;
  JobSettings unknownFont;
  unknownFont.fontname = 2;
  const Case cases[] = {
      {"defaults", JobSettings{}, FontDesc{"Arial", 20, kCharsetDefault, false, {}, 72}, Alignment::Center, 3,
       VideoStandard::Pal},
      {"other items", other, FontDesc{"DejaVu Serif", 50, kCharsetRussian, false, {true, true, true, false}, 72},
       Alignment::Right, 4, VideoStandard::Ntsc},
      {"a font index past the list", unknownFont, FontDesc{"", 20, kCharsetDefault, false, {}, 72}, Alignment::Center,
       3, VideoStandard::Pal},
  };
  for (const Case& c : cases) {
    JobSettings job = c.job;
    job.offset = 100;
    job.offsetor = -2;
    job.colorantialias = 3;
    job.coloroutline = 15;
    job.colortext = -1;  // no selection: entry 0
    const RenderSettings s = RenderSettingsFor(job, fonts, colours, 72);
    EXPECT_EQ(s.font, c.font) << c.what;
    EXPECT_EQ(s.align, c.align) << c.what;
    EXPECT_EQ(s.outlineWidthPx, c.outlinePx) << c.what;
    EXPECT_EQ(s.standard, c.standard) << c.what;
    EXPECT_EQ(s.offset, 100) << c.what;
    EXPECT_EQ(s.offsetOr, -2) << c.what;
    EXPECT_EQ(s.roles.antialias, colours[3]) << c.what;
    EXPECT_EQ(s.roles.outline, colours[15]) << c.what;
    EXPECT_EQ(s.roles.text, colours[0]) << c.what;
  }
}

TEST(RenderSettingsFor, NoSizeOrOutlineSelectedIsAConversionError) {
  JobSettings noSize;
  noSize.fontsize = 35;
  JobSettings noOutline;
  noOutline.outline = -1;
  for (const JobSettings& job : {noSize, noOutline}) {
    EXPECT_THROW(RenderSettingsFor(job, {"Arial"}, {}, 96), ConversionError);
  }
  EXPECT_EQ(FontFor(noOutline, {"Arial"}, 96).sizePt, 20);  // the font alone needs no outline width
}

}  // namespace
}  // namespace quillet
