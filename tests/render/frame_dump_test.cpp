// Writes sample frames as PNG files for a person to look at:
//   QUILLET_RENDER_DUMP_DIR=/tmp/frames ./test_render --gtest_filter='FrameDump.*'
// Without the variable the test is skipped. QUILLET_RENDER_DUMP_LINE1 / _LINE2 / _FONT / _SIZE / _STYLE /
// _CHARSET / _OUTLINE add one frame of your own ("custom.png").
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "render/subtitle_renderer.h"
#include "render_test_support.h"

namespace quillet {
namespace {

std::string Env(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : fallback;
}

struct Sample {
  const char* file;
  const char* line1;
  const char* line2;
  const char* style;
  const char* charset;
  int sizePt;
  int outline;
  VideoStandard standard;
};

TEST(FrameDump, WritesSampleFrames) {
  const char* dir = std::getenv("QUILLET_RENDER_DUMP_DIR");
  if (dir == nullptr) GTEST_SKIP() << "set QUILLET_RENDER_DUMP_DIR to write the frames";
  std::filesystem::create_directories(dir);

  const RoleRgb roles{Rgb{128, 128, 128}, Rgb{0, 0, 0}, Rgb{255, 255, 255}};
  const Sample samples[] = {
      {"outline2.png", "Rethymno.", "Crete Hellas.", "Normal", "DEFAULT", 20, 2, VideoStandard::Pal},
      {"outline4.png", "Rethymno.", "Crete Hellas.", "Normal", "DEFAULT", 20, 4, VideoStandard::Pal},
      {"bold_italic_underline.png", "Rethymno, the old town", "by the harbour.", "Bold+It+Und", "DEFAULT", 30, 3,
       VideoStandard::Pal},
      {"strikeout_ntsc.png", "Struck out text", "on an NTSC frame", "StrikeOut", "DEFAULT", 24, 3, VideoStandard::Ntsc},
      {"greek.png", "\xC5\xEB\xEB\xDC\xE4\xE1, \xCA\xF1\xDE\xF4\xE7", "\xD1\xDD\xE8\xF5\xEC\xED\xEF.", "Normal",
       "GREEK", 26, 3, VideoStandard::Pal},
      {"cyrillic.png", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!", "\xD0\xE5\xF2\xE8\xEC\xED\xEE.", "Bold", "RUSSIAN",
       26, 3, VideoStandard::Pal},
      {"utf8_default.png",
       "\xC3\x89t\xC3\xA9 \xC3\xA0 R\xC3\xA9thymno \xE2\x80\x94 \xCE\x9A\xCF\x81\xCE\xAE\xCF\x84\xCE\xB7",
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC 5", "Italic", "DEFAULT", 24, 3,
       VideoStandard::Pal},
      {"size6.png", "Tiny text at size six", "second line", "Normal", "DEFAULT", 6, 2, VideoStandard::Pal},
      {"size50.png", "Big Rethymno.", "Crete Hellas.", "Bold", "DEFAULT", 50, 4, VideoStandard::Pal},
      // Other scripts with "Arial": stand-in faces, right-to-left lines, joined letters.
      {"chinese.png", "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C\xEF\xBC\x81",
       "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF \xE4\xB8\xAD\xE6\x96\x87", "Normal", "DEFAULT", 20,
       3, VideoStandard::Pal},
      {"hebrew.png", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D",
       "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 123 world (\xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D)", "Normal", "DEFAULT", 20, 3,
       VideoStandard::Pal},
      {"arabic.png",
       "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85",
       "\xD8\xA7\xD9\x84\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xD8\xB9\xD9\x84\xD9\x8A\xD9\x83\xD9\x85 2024", "Bold",
       "DEFAULT", 20, 3, VideoStandard::Pal},
      {"mixed.png",
       "Hello \xE4\xB8\xAD\xE6\x96\x87 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7",
       "no font: \xF4\x8F\xBF\xBD \xE0\xB8\x81\xE0\xB8\x82", "Italic", "DEFAULT", 20, 3, VideoStandard::Pal},
  };
  for (const Sample& s : samples) {
    const FontDesc font = test::Font(s.sizePt, StyleFromText(s.style), "Arial", CharsetFromText(s.charset));
    const RenderedFrame f = RenderFrame(test::SharedEngine(), s.line1, s.line2,
                                        RenderSettings{font, Alignment::Center, 30, -4, s.outline, s.standard, roles});
    test::WritePng(std::string(dir) + "/" + s.file, f.frame);
  }

  const std::string line1 = Env("QUILLET_RENDER_DUMP_LINE1", "");
  if (!line1.empty()) {
    const FontDesc font =
        test::Font(std::atoi(Env("QUILLET_RENDER_DUMP_SIZE", "20").c_str()),
                   StyleFromText(Env("QUILLET_RENDER_DUMP_STYLE", "Normal")), Env("QUILLET_RENDER_DUMP_FONT", "Arial"),
                   CharsetFromText(Env("QUILLET_RENDER_DUMP_CHARSET", "DEFAULT")));
    const RenderedFrame f = RenderFrame(
        test::SharedEngine(), line1, Env("QUILLET_RENDER_DUMP_LINE2", ""),
        RenderSettings{font, Alignment::Center, 30, -4, std::atoi(Env("QUILLET_RENDER_DUMP_OUTLINE", "3").c_str()),
                       VideoStandard::Pal, roles});
    test::WritePng(std::string(dir) + "/custom.png", f.frame);
  }
}

}  // namespace
}  // namespace quillet
