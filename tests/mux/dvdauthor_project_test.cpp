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
  const DvdauthorProject project{
      "/films/a&b \"cut\".mpg", "/films/a&b.palette", VideoStandard::Ntsc, {"en", "", "fr"}, {}, false, {}};
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

TEST(DvdauthorProject, ReadsBackTheLanguagesAndTheFilmItWrote) {
  const DvdauthorProject project{"/f.mpg",           "/f.palette", VideoStandard::Pal, {"a&b", "<\"'>"},
                                 {123, 2, 0xABCDEF}, true,         {false, true}};
  const std::string xml = DvdauthorProjectXml(project);
  EXPECT_EQ(ProjectSubpictureLanguages(xml), project.languages);  // each read once more would grow an "amp;"
  // A 16:9 title whose second stream was drawn squeezed for it.
  EXPECT_NE(xml.find("<video format=\"pal\" aspect=\"16:9\" widescreen=\"nopanscan\" />\n"
                     "      <subpicture lang=\"a&amp;b\" />\n"
                     "      <subpicture lang=\"&lt;&quot;&apos;&gt;\">\n"
                     "        <stream mode=\"widescreen\" id=\"1\" />\n      </subpicture>\n"),
            std::string::npos)
      << xml;
  EXPECT_EQ(ProjectFilmRecord(xml), project.film);
  EXPECT_EQ(ProjectFilmRecord(xml.substr(0, xml.find("<!-- film"))), std::nullopt);  // an earlier version's
  EXPECT_EQ(XmlAttributeValue("a&#233;&#x41;&bogus;&"), "a\u00E9A&bogus;&");
}

TEST(DvdauthorProject, NamesThatNoXmlCanHoldAreToldLineEndsAreKept) {
  const std::pair<std::string, std::string> names[] = {
      {"/films/caf\u00E9 \"1\".mpg", ""},
      {"/films/a\nb.mpg", "it holds a control character"},
      {"/films/a\x7F.mpg", "it holds a control character"},
      {"/films/\xE9t\xE9.mpg", "it is not valid UTF-8"},
      {"/films/\xEF\xBF\xBE.mpg", "it holds U+FFFE or U+FFFF"},
  };
  for (const auto& [name, problem] : names) EXPECT_EQ(XmlTextProblem(name), problem) << name;
  EXPECT_EQ(XmlAttributeText("a\tb\nc\r"), "a&#9;b&#10;c&#13;");
}

}  // namespace
}  // namespace quillet
