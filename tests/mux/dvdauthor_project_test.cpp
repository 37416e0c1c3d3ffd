// The palette file and the project dvdauthor reads beside a muxed film. That dvdauthor reads them, and the
// project's languages read back, are MuxDisc's and MuxE2e's.
#include "mux/dvdauthor_project.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(DvdauthorPalette, TheTablesUnusedTopByteIsNotPartOfTheColour) {
  std::array<uint32_t, 16> entries{};
  entries.fill(0x00108080);
  entries[1] = 0xFF51F05A;
  EXPECT_EQ(DvdauthorPaletteText(entries).substr(0, 21), "108080\n51F05A\n108080\n");
}

TEST(DvdauthorProject, EscapesItsNamesAndReadsOnlyItsOwnProjectsBack) {
  const DvdauthorProject project{"/films/a&b \"cut\".mpg", "/films/a&b.palette", VideoStandard::Ntsc, {"en", "", "fr"}};
  const std::string xml = DvdauthorProjectXml(project);
  EXPECT_NE(xml.find("<vob file=\"/films/a&amp;b &quot;cut&quot;.mpg\" />"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<pgc palette=\"/films/a&amp;b.palette\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<dvdauthor format=\"ntsc\">"), std::string::npos) << xml;
  EXPECT_EQ(ProjectSubpictureLanguages(xml), project.languages);
  EXPECT_TRUE(ProjectNamesFilm(xml, project.filmPath));
  EXPECT_FALSE(ProjectNamesFilm(xml, "/films/a&b \"cut"));  // a name that only starts the film's
  EXPECT_EQ(ProjectSubpictureLanguages("<dvdauthor><titleset><titles><subpicture lang=\"en\"/>"), std::nullopt);
  EXPECT_FALSE(ProjectNamesFilm("<dvdauthor><vob file=\"/films/a.mpg\" />", "/films/a.mpg"));
}

}  // namespace
}  // namespace quillet
