// The answers fontconfig gave are reused by later runs exactly while nothing they came from has changed.
#include "render/font_answers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "render/font_config.h"
#include "render/font_engine.h"
#include "test_support.h"

namespace quillet {
namespace {

struct EngineAnswers {
  std::string family;
  std::vector<std::string> names;
  bool fontconfigLoaded = false;
};

// What an engine on a configuration keeping its answers at `file` says of the default font, and whether it
// had to load fontconfig for that. The configuration goes (and saves) before this returns.
EngineAnswers AskEngine(const std::string& file, const std::string& face = "Arial") {
  auto config = FontConfig::Load(file);
  EngineAnswers answers;
  {
    FontEngine engine(FontOptions{"UTF-8", config});
    FontDesc font;
    font.faceName = face;
    answers.family = engine.Metrics(font).family;
    answers.names = engine.FontNameList();
  }
  answers.fontconfigLoaded = config->Loaded();
  return answers;
}

TEST(FontAnswers, ALaterRunTakesTheSameAnswersWithoutLoadingFontconfig) {
  test::TempDir dir;
  const std::string file = dir.File("cache/quillet/font-answers");
  const EngineAnswers first = AskEngine(file);
  EXPECT_TRUE(first.fontconfigLoaded);
  ASSERT_TRUE(std::filesystem::exists(file)) << "the folders are made as needed";

  const EngineAnswers second = AskEngine(file);
  EXPECT_FALSE(second.fontconfigLoaded);
  EXPECT_EQ(second.family, first.family);
  EXPECT_EQ(second.names, first.names);

  // A place where nothing can be kept (its folder is a plain file): the answers are simply not kept.
  dir.Write("plain-file", "");
  const std::string nowhere = dir.File("plain-file/font-answers");
  EXPECT_EQ(AskEngine(nowhere).family, first.family);
  EXPECT_TRUE(AskEngine(nowhere).fontconfigLoaded);

  // A name never asked before is asked of fontconfig, and the answer is kept too.
  EXPECT_TRUE(AskEngine(file, "Default").fontconfigLoaded);
  EXPECT_FALSE(AskEngine(file, "Default").fontconfigLoaded);
  EXPECT_FALSE(AskEngine(file, "Arial").fontconfigLoaded);
}

TEST(FontAnswers, DamagedOrCutShortFilesAreNotTrusted) {
  test::TempDir dir;
  const std::string file = dir.File("font-answers");
  AskEngine(file);
  const std::string saved = test::ReadFile(file);
  ASSERT_FALSE(ReadFontAnswers(file).faces.empty());

  for (const std::string& damaged :
       {saved.substr(0, saved.size() - 4), saved.substr(0, saved.size() / 2), std::string("garbage\n"),
        std::string(), saved + "face 0 0 x 0 0\tArial\tA\t/a.ttf\nend\n"}) {
    dir.Write("font-answers", damaged);
    EXPECT_EQ(ReadFontAnswers(file), FontAnswers{}) << damaged.size() << " bytes";
    // The engine still finds its font: it asks fontconfig.
    const EngineAnswers answers = AskEngine(file);
    EXPECT_TRUE(answers.fontconfigLoaded);
    EXPECT_FALSE(answers.family.empty());
  }
  // A file whose recorded state of one folder differs, as after a font was installed there: its size field
  // ("state EXISTS DEVICE INODE SIZE ...") one more.
  std::string changed = saved;
  const std::size_t line = changed.find("\nstate 1 ") + 1;
  ASSERT_NE(line, 0u);
  std::size_t size = line;
  for (int field = 0; field < 4; ++field) size = changed.find(' ', size) + 1;
  const std::size_t sizeEnd = changed.find(' ', size);
  changed.replace(size, sizeEnd - size, std::to_string(std::stoll(changed.substr(size, sizeEnd - size)) + 1));
  dir.Write("font-answers", changed);
  EXPECT_EQ(ReadFontAnswers(file), FontAnswers{});
  EXPECT_EQ(ReadFontAnswers(dir.File("none")), FontAnswers{});
}


TEST(FontAnswers, InstallingAFontOrChangingTheEnvironmentMakesFontconfigAnswerAfresh) {
  // A configuration of its own: one font folder holding one font.
  std::string fontFile;
  {
    FontEngine engine(FontOptions{"UTF-8", FontConfig::Load("")});
    FontDesc font;
    font.faceName = "Liberation Sans";
    fontFile = engine.Metrics(font).file;
  }
  ASSERT_FALSE(fontFile.empty());
  test::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "fonts");
  std::filesystem::copy_file(fontFile, dir.Path() / "fonts" / "One.ttf");
  dir.Write("fonts.conf", "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig><dir>" +
                              dir.File("fonts") + "</dir><cachedir>" + dir.File("fc-cache") +
                              "</cachedir></fontconfig>\n");
  test::ScopedVariable config("FONTCONFIG_FILE", dir.File("fonts.conf"));
  // Not beside the configuration file: writing it would change that folder.
  const std::string file = dir.File("answers/font-answers");

  EXPECT_TRUE(AskEngine(file, "Liberation Sans").fontconfigLoaded);
  EXPECT_FALSE(AskEngine(file, "Liberation Sans").fontconfigLoaded);

  // A font added to the folder.
  std::filesystem::copy_file(fontFile, dir.Path() / "fonts" / "Two.ttf");
  EXPECT_EQ(ReadFontAnswers(file), FontAnswers{});
  EXPECT_TRUE(AskEngine(file, "Liberation Sans").fontconfigLoaded);
  EXPECT_FALSE(AskEngine(file, "Liberation Sans").fontconfigLoaded);

  // A variable fontconfig reads.
  {
    test::ScopedVariable language("FC_LANG", "de");
    EXPECT_EQ(ReadFontAnswers(file), FontAnswers{});
  }
  EXPECT_NE(ReadFontAnswers(file), FontAnswers{});

  // The configuration file edited.
  test::WriteFile(dir.File("fonts.conf"), test::ReadFile(dir.File("fonts.conf")) + "<!-- edited -->\n");
  EXPECT_EQ(ReadFontAnswers(file), FontAnswers{});
}

}  // namespace
}  // namespace quillet
