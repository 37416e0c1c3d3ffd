// One job's list indexes as the renderer takes them: the window and the named run both hand their job here, so the
// defaults and each list's items come out as the lists show them.
#include "app/render_settings_for.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace quillet {
namespace {

TEST(RenderSettingsFor, TurnsEachListIndexIntoItsValue) {
  const std::vector<std::string> fonts = {"Arial", "DejaVu Serif"};
  std::array<Rgb, 16> colours{};
  for (uint8_t i = 0; i < 16; ++i) colours[i] = Rgb{i, 0, 0};
  EXPECT_EQ(RenderSettingsFor(JobSettings{}, fonts, colours, 72),
            (RenderSettings{FontDesc{"Arial", 20, kCharsetDefault, false, {}, 72}, Alignment::Center, 30, -4, 3,
                            VideoStandard::Pal, RoleRgb{colours[0], colours[0], colours[0]}}));
  JobSettings other;
  other.fontname = 1;
  other.fontsize = 34;     // "50"
  other.fontcharset = 13;  // "RUSSIAN"
  other.fontstyle = 6;     // "Bold+It+Und"
  other.align = 2;         // "right"
  other.offset = 100;
  other.offsetor = -2;
  other.outline = 2;  // "4"
  other.pal = false;
  other.colorantialias = 3;
  other.coloroutline = 15;
  other.colortext = -1;  // no selection: entry 0
  EXPECT_EQ(RenderSettingsFor(other, fonts, colours, 72),
            (RenderSettings{FontDesc{"DejaVu Serif", 50, kCharsetRussian, false, {true, true, true, false}, 72},
                            Alignment::Right, 100, -2, 4, VideoStandard::Ntsc,
                            RoleRgb{colours[3], colours[15], colours[0]}}));
  other.fontname = 2;  // past the list: no face
  EXPECT_EQ(FontFor(other, fonts, 72).faceName, "");
}

TEST(RenderSettingsFor, NoSizeOrOutlineSelectedIsAConversionError) {
  JobSettings noSize;
  noSize.fontsize = 35;
  JobSettings noOutline;
  noOutline.outline = -1;
  EXPECT_THROW(RenderSettingsFor(noSize, {"Arial"}, {}, 96), ConversionError);
  EXPECT_THROW(RenderSettingsFor(noOutline, {"Arial"}, {}, 96), ConversionError);
  EXPECT_EQ(FontFor(noOutline, {"Arial"}, 96).sizePt, 20);  // the font alone needs no outline width
}

}  // namespace
}  // namespace quillet
