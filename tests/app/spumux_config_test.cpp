// spumux's configurations, as the authoring programs write them, read into mux jobs; and spumux's command line.
#include "app/spumux_config.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillet {
namespace {

TEST(SpumuxColour, ReadsEveryFormSpumuxTakes) {
  const std::pair<const char*, std::optional<uint32_t>> cases[] = {
      {"white", 0xFFFFFFFF},        {"Green", 0xFF008000},           {"#FF8080", 0xFFFF8080},
      {"#f80", 0xFFFF8800},         {"#FFFF00000000", 0xFFFF0000},   {"rgb(255, 0, 128)", 0xFFFF0080},
      {"rgba(0,0,255,255)", 0xFF0000FF}, {"rgba(0,0,0,0)", 0},        {"rgb(100%,50%,0%)", 0xFFFF8000},
      {"gray(128)", 0xFF808080},    {"transparent", 0},              {"#12345", std::nullopt},
      {"rgb(1,2)", std::nullopt},   {"rgb(256,0,0)", std::nullopt},  {"hsv(120,50%,90%)", std::nullopt},
      {"chartreuse-ish", std::nullopt}};
  for (const auto& [text, colour] : cases) EXPECT_EQ(ParseSpumuxColour(text), colour) << text;
}

// What a configuration becomes: the options a mux run takes.
struct ConfigCase {
  const char* name;
  std::string xml;
  std::function<void(const SpumuxJob&)> check;
};

std::string Textsub(const std::string& attributes, const std::string& format = "PAL") {
  return "<subpictures format=\"" + format + "\">\n\t<stream>\n\t\t<textsub filename=\"/films/a.srt\" " + attributes +
         " />\n\t</stream>\n</subpictures>";
}

TEST(SpumuxConfig, ReadsTheConfigurationsOfTheAuthoringProgramsAndRefusesWhatIsNotDrawn) {
  const std::string dejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  const ConfigCase cases[] = {
      // DeVeDe 4.17: a colour of six digits, a whole thickness, a font by name, always the aspect and force.
      {"devede",
       Textsub("characterset=\"ISO-8859-15\" fontsize=\"28.0\" bottom-margin=\"50\" fill-color=\"#FFFF00\" "
               "outline-color=\"#000000\" outline-thickness=\"3\" font=\"arial\" horizontal-alignment=\"center\" "
               "vertical-alignment=\"bottom\" aspect=\"16:9\" force=\"yes\""),
       [](const SpumuxJob& job) {
         EXPECT_EQ(job.options.files, std::vector<std::string>{"/films/a.srt"});
         EXPECT_EQ(job.characterSet, "ISO-8859-15");
         EXPECT_EQ(kSizeList[static_cast<std::size_t>(job.options.job.fontsize)], "28");
         EXPECT_EQ(job.options.job.offset, 50);
         EXPECT_EQ(job.options.fontName, "arial");
         EXPECT_EQ(job.options.job.outline, 1);  // 3 pixels
         EXPECT_TRUE(job.front.textColour == 0xFFFF00u && job.front.outlineColour == 0x000000u);
         EXPECT_TRUE(job.front.widescreen && job.front.forced);
         EXPECT_TRUE(job.options.job.pal && job.options.standardGiven);
         EXPECT_EQ(job.options.fps, 25.0);  // a frame-counted file is timed at the format's rate
         EXPECT_TRUE(job.notices.empty());
       }},
      // DVDStyler: an XML declaration, the font as a file, rgba colours, a transparent shadow, the movie's size.
      {"dvdstyler",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
           Textsub("characterset=\"UTF-8\" font=\"" + dejaVuBold +
                       "\" fontsize=\"31\" fill-color=\"rgba(255,255,255,255)\" outline-color=\"rgba(0,0,255,255)\" "
                       "outline-thickness=\"2.000000\" shadow-color=\"rgba(0,0,0,0)\" shadow-offset=\"3,3\" "
                       "horizontal-alignment=\"left\" subtitle-fps=\"23.976\" movie-width=\"720\" "
                       "movie-height=\"480\"",
                   "NTSC"),
       [](const SpumuxJob& job) {
         EXPECT_EQ(job.characterSet, "");
         EXPECT_EQ(job.options.fontName, "DejaVu Sans");
         EXPECT_EQ(kStyleList[static_cast<std::size_t>(job.options.job.fontstyle)], "Bold");
         EXPECT_EQ(job.front.outlineColour, 0x0000FFu);
         EXPECT_EQ(job.options.job.outline, 0);
         EXPECT_EQ(job.options.job.align, 1);
         EXPECT_EQ(job.options.fps, 23.976);
         EXPECT_FALSE(job.options.job.pal);
         EXPECT_FALSE(job.front.forced);
         ASSERT_EQ(job.notices.size(), 1u);  // 31 lies between 30 and 32
         EXPECT_EQ(job.notices[0], "fontsize 31 is drawn at size 30, the nearest size there is");
       }},
  };
  for (const ConfigCase& c : cases) {
    if (c.name == std::string("dvdstyler") && !std::filesystem::exists(dejaVuBold)) continue;  // fonts-dejavu-core
    const SpumuxParse parse = ReadSpumuxConfig(c.xml);
    ASSERT_TRUE(parse.job) << c.name << ": " << parse.error;
    c.check(*parse.job);
  }
  // Accepted: centred lines keep equal side margins.
  EXPECT_TRUE(ReadSpumuxConfig(Textsub("left-margin=\"40\" right-margin=\"40\"")).job);
  const std::pair<std::string, const char*> refusals[] = {
      {Textsub("shadow-offset=\"2, 2\""), "shadow-offset=\"2,2\" is not drawn: there are no shadows"},
      {Textsub("vertical-alignment=\"top\""), "vertical-alignment=\"top\" is not drawn"},
      {Textsub("horizontal-alignment=\"left\" left-margin=\"60\""), "left-margin=\"60\" is not drawn"},
      {Textsub("fill-color=\"rgba(255,255,255,128)\""), "fill-color=\"rgba(255,255,255,128)\" is not opaque"},
      {Textsub("subtitle-fps=\"25\" movie-fps=\"29.97\""), "not rescaled"},
      {Textsub("outline-thickness=\"1\""), "outlines are 2, 3 or 4 pixels thick"},
      {Textsub("movie-height=\"520\""), "is not drawn: a DVD's frame is 576 or 480 high"},
      {Textsub("movie-height=\"480\""), "not the height of the format"},
      {Textsub("colour=\"red\""), "<textsub>: colour=\"red\" is not an attribute spumux knows"},
      {Textsub("font=\"/nowhere/font.ttf\""), "is not a font file that can be read"},
      {"<subpictures><stream><spu start=\"00:00:01.00\" image=\"a.png\"/></stream></subpictures>",
       "<spu>: image subpictures (menus, buttons) are not made here"},
      {"<subpictures><stream><textsub filename=\"a.srt\"/><textsub filename=\"b.srt\"/></stream></subpictures>",
       "one text subtitle stream at a time"},
      {"<subpictures><stream><textsub font=\"arial\"/></stream></subpictures>", "names no subtitle file"},
      {"<subpictures><stream><textsub filename=\"a.srt\"/></stream>", "<subpictures> is not closed"},
      {"<subpictures><stream><textsub filename=a.srt/>", "not well-formed XML (at byte 21)"},
  };
  for (const auto& [xml, error] : refusals) {
    const SpumuxParse parse = ReadSpumuxConfig(xml);
    EXPECT_FALSE(parse.job) << error;
    EXPECT_NE(parse.error.find(error), std::string::npos) << error << ": " << parse.error;
  }
}

TEST(SpumuxArgumentsTest, ReadsTheCommandLinesTheAuthoringProgramsGive) {
  const std::tuple<std::vector<std::string>, int, bool, std::string> cases[] = {
      {{"-m", "dvd", "-s", "2", "film.mpg_s2.xml"}, 2, false, ""},  // DeVeDe
      {{"-P", "-s", "1", "title_spumux.xml"}, 1, true, ""},         // DVDStyler
      {{"-Ps3", "-v0", "c.xml"}, 3, true, ""},
      {{"-m", "svcd", "c.xml"}, 0, false, "only DVD subpictures"},
      {{"-s", "32", "c.xml"}, 0, false, "-s 32: a stream is 0 to 31"},
      {{"--nomux", "c.xml"}, 0, false, "--nomux is not supported"},
      {{"-x", "c.xml"}, 0, false, "-x is not an option"},
      {{"-s"}, 0, false, "-s needs a value"},
      {{"a.xml", "b.xml"}, 0, false, "one configuration file, not 2"},
  };
  for (const auto& [args, stream, bytes, error] : cases) {
    const SpumuxArguments parsed = ParseSpumuxArguments(args);
    EXPECT_NE(parsed.error.find(error), std::string::npos) << args.back() << ": " << parsed.error;
    if (!error.empty()) continue;
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.stream, stream);
    EXPECT_EQ(parsed.byteProgress, bytes);
    EXPECT_EQ(parsed.config, args.back());
  }
}

}  // namespace
}  // namespace quillet
