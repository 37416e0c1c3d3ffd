// The palette file and the project dvdauthor reads beside a muxed film.
#include "mux/dvdauthor_project.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(DvdauthorPalette, SixteenLinesOfYCrCbAsTheTableStoresThem) {
  std::array<uint32_t, 16> entries{};
  for (uint32_t i = 0; i < 16; ++i) entries[i] = 0x00108080 + i;
  entries[1] = 0xFF51F05A;  // the table's unused top byte is not part of the colour
  entries[2] = 0x00000000;
  const std::string text = DvdauthorPaletteText(entries);
  EXPECT_EQ(text.substr(0, 21), "108080\n51F05A\n000000\n");
  EXPECT_EQ(text.size(), 16u * 7);
  EXPECT_EQ(text.substr(text.size() - 7), "10808F\n");
}

TEST(DvdauthorProject, NamesFilmPaletteAndStreamsAndReadsItsLanguagesBack) {
  const struct { std::vector<std::string> languages; } cases[] = {{{}}, {{"en"}}, {{"en", "", "fr"}}};
  for (const auto& c : cases) {
    const DvdauthorProject project{"/films/a&b \"cut\".mpg", "/films/a&b.palette", VideoStandard::Ntsc, c.languages};
    const std::string xml = DvdauthorProjectXml(project);
    EXPECT_NE(xml.find("<vob file=\"/films/a&amp;b &quot;cut&quot;.mpg\" />"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<pgc palette=\"/films/a&amp;b.palette\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<dvdauthor format=\"ntsc\">"), std::string::npos) << xml;
    EXPECT_EQ(ProjectSubpictureLanguages(xml), c.languages);
    EXPECT_TRUE(ProjectNamesFilm(xml, project.filmPath));
    EXPECT_FALSE(ProjectNamesFilm(xml, "/films/a&b \"cut"));  // a name that only starts the film's
  }
}

TEST(DvdauthorProject, AProjectOfSomebodyElseGivesNoLanguages) {
  EXPECT_EQ(ProjectSubpictureLanguages("<dvdauthor><titleset><titles><subpicture lang=\"en\"/>"), std::nullopt);
  EXPECT_EQ(ProjectSubpictureLanguages(""), std::nullopt);
  EXPECT_FALSE(ProjectNamesFilm("<dvdauthor><vob file=\"/films/a.mpg\" />", "/films/a.mpg"));
}

}  // namespace
}  // namespace quillet
