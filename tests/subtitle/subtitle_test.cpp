// The subtitle document: format detection, tag removal, line splitting, and loading bad input safely.
#include "subtitle/subtitle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "base/errors.h"
#include "loading.h"
#include "subtitle/line_cursor.h"
#include "subtitle/microdvd_reader.h"

namespace quillet {
namespace {

using test::Entry;
using test::LoadBytes;

constexpr const char* kSrt = "1\r\n00:00:01,000 --> 00:00:04,000\r\nHi\r\n";

TEST(SubtitleDetection, SrtNeedsExtensionAndATimeLineAmongTheFirstTenLines) {
  test::TempDir dir;
  EXPECT_TRUE(TSubtitle::IsSrtFile(dir.Write("a.srt", kSrt)));
  EXPECT_TRUE(TSubtitle::IsSrtFile(dir.Write("b.SrT", kSrt)));
  EXPECT_TRUE(TSubtitle::IsSrtFile(dir.Write("c.srt", std::string("\xEF\xBB\xBF") + kSrt)));
  EXPECT_TRUE(TSubtitle::IsSrtFile(dir.Write("d.srt", std::string("\r\n \t\r\n") + kSrt)));  // blank lines first
  EXPECT_TRUE(TSubtitle::IsSrtFile(dir.Write("e.srt", "0:00:01,000 --> 0:00:04,000\nNo number\n")));
  std::string eightLines;
  for (int i = 0; i < 8; ++i) eightLines += "header\n\n";
  EXPECT_TRUE(TSubtitle::IsSrtFile(dir.Write("f.srt", eightLines + kSrt)));  // the time line is the tenth
  EXPECT_FALSE(TSubtitle::IsSrtFile(dir.Write("g.srt", eightLines + "more\n" + kSrt)));
  EXPECT_FALSE(TSubtitle::IsSrtFile(dir.Write("h.srt", "1\n00:00:01 --> 00:00:04\nHi\n")));
  EXPECT_FALSE(TSubtitle::IsSrtFile(dir.Write("i.txt", kSrt)));  // a .txt is always MicroDVD
  EXPECT_FALSE(TSubtitle::IsSrtFile(dir.Write("j.srt", "")));
  EXPECT_FALSE(TSubtitle::IsSrtFile(dir.Write("srt", kSrt)));
  EXPECT_FALSE(TSubtitle::IsSrtFile(dir.File("missing.srt")));
  std::filesystem::create_directory(dir.File("folder.srt"));
  EXPECT_FALSE(TSubtitle::IsSrtFile(dir.File("folder.srt")));
}

TEST(SubtitleDetection, MicroDvdNeedsExtensionAndBraceFirst) {
  test::TempDir dir;
  EXPECT_TRUE(TSubtitle::IsMicroDvdFile(dir.Write("a.SUB", "{1}{1}25\n")));
  EXPECT_TRUE(TSubtitle::IsMicroDvdFile(dir.Write("b.Txt", "{0}{25}Hi")));
  EXPECT_TRUE(TSubtitle::IsMicroDvdFile(dir.Write("c.sub", "\xEF\xBB\xBF{1}{1}25\n")));
  EXPECT_FALSE(TSubtitle::IsMicroDvdFile(dir.Write("d.sub", "\n{1}{1}25\n")));
  EXPECT_FALSE(TSubtitle::IsMicroDvdFile(dir.Write("e.srt", "{1}{1}25\n")));
  EXPECT_FALSE(TSubtitle::IsMicroDvdFile(dir.Write("f.sub.bak", "{1}{1}25\n")));
  std::filesystem::create_directory(dir.File("g.sub"));
  EXPECT_FALSE(TSubtitle::IsMicroDvdFile(dir.Write("g.sub/h", "{1}{1}25\n")));  // extension of a folder only
}

TEST(SubtitleDocument, UnsupportedFileLeavesTheDocumentAsItWas) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("folder.srt"));
  for (const std::string& path :
       {dir.Write("no_time.srt", "1\nHello\n"), dir.Write("film.ass", kSrt), dir.Write("text.txt", kSrt),
        dir.File("missing.srt"), dir.File("folder.srt"), dir.File("")}) {
    TSubtitle document;
    document.AddLine("1", "2", "kept", "", "");
    document.Loaded = true;
    test::ScriptedView sink;
    document.LoadFromFile(path, true, sink);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Unsupported Subtitle Format !"}) << path;
    EXPECT_FALSE(document.Loaded);
    EXPECT_EQ(document.Count(), 1);
  }
}

TEST(SubtitleDocument, ClearFirstDecidesWhetherEntriesAccumulate) {
  test::TempDir dir;
  std::string path = dir.Write("a.srt", kSrt);
  test::ScriptedView sink;
  TSubtitle document;
  document.LoadFromFile(path, true, sink);
  document.LoadFromFile(path, false, sink);
  EXPECT_EQ(document.Count(), 2);
  document.LoadFromFile(path, true, sink);
  EXPECT_EQ(document.Count(), 1);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(SubtitleDocument, GetLineCountsFromOneAndHandsOutCopies) {
  TSubtitle document;
  document.AddLine("0", "10", "first", "", "");
  document.AddLine("20", "30", "second", "two", "");
  EXPECT_EQ(document.Count(), 2);
  EXPECT_EQ(document.GetLine(1), Entry("0", "10", "first"));
  SubtitleLine copy = document.GetLine(2);
  copy.Line1 = "changed";
  EXPECT_EQ(document.GetLine(2).Line1, "second");
  EXPECT_THROW(document.GetLine(0), std::out_of_range);
  EXPECT_THROW(document.GetLine(3), std::out_of_range);
  document.Clear();
  EXPECT_EQ(document.Count(), 0);
}

TEST(StyleTags, RemovesEveryTagOccurrence) {
  struct Case {
    const char* text;
    const char* expected;
  };
  for (auto [text, expected] : std::initializer_list<Case>{
           {"<i><i>word</i></i>", "word"},
           {"<I>word</i>", "word"},
           {"<u>a</u> <b>b</b> <U>c</U> <B>d</B>", "a b c d"},
           {"<font color=\"#ff0000\">red</font>", "red"},
           {"<FONT face=\"Arial\" size=3>x</Font >", "x"},
           {"<font>plain</FONT>", "plain"},
           {"<<i>b>", "<b>"},
           {"a < b > c", "a < b > c"},
           {"<fontsize>x", "<fontsize>x"},
           {"<font color=red no end", "<font color=red no end"},
           {"<s>struck</s> {y:i}", "struck {y:i}"},
           {"<i class=\"x\">a</I >b<B\tid=1>c</b>", "abc"},
           {"<bold>x</strong><i/>", "<bold>x</strong><i/>"},
           {"<i", "<i"},
           {"", ""},
       }) {
    EXPECT_EQ(TSubtitle::RemoveTags(text), expected) << text;
  }
}

TEST(StyleTags, LongUnclosedTagTextStaysIntact) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "<font ";
  EXPECT_EQ(TSubtitle::RemoveTags(text), text);
  EXPECT_EQ(TSubtitle::RemoveTags(text + ">x"), "x");
}

TEST(LineCursor, SplitsAtEveryLineEnd) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  for (const auto& [bytes, lines] : std::vector<Case>{{"", {}},
                                                      {"a", {"a"}},
                                                      {"a\n", {"a"}},
                                                      {"a\n\n", {"a", ""}},
                                                      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
                                                      {"\r\n", {""}},
                                                      {"\n\r", {"", ""}},
                                                      {"a\r\r\n", {"a", ""}},
                                                      {std::string("x\0y\n", 4), {std::string("x\0y", 3)}}}) {
    LineCursor cursor(bytes);
    std::vector<std::string> got;
    while (!cursor.AtEnd()) got.emplace_back(cursor.Next());
    EXPECT_EQ(got, lines);
    EXPECT_EQ(cursor.Next(), "");  // reads past the end yield empty lines
  }
}

// Bad input must end with a message or a QuilletError, never a crash or a hang.
void LoadSafely(const std::string& bytes, const std::string& name) {
  try {
    auto loaded = LoadBytes(bytes, name);
    for (const SubtitleLine& entry : loaded.document.Lines) {
      EXPECT_TRUE(entry.Line2.empty() || !entry.Line1.empty());
    }
  } catch (const QuilletError&) {
  }
}

TEST(SubtitleRobustness, GarbageAndNulBytes) {
  std::mt19937 random(1234);
  for (int round = 0; round < 50; ++round) {
    std::string bytes(1 + random() % 4000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    // Give detection a chance to pass so the readers see the garbage too.
    std::string srt = "1\n00:00:01,000 --> 00:00:02,000\n" + bytes;
    std::string sub = "{1}{1}25\n" + bytes;
    for (const char* name : {"g.srt", "g.sub", "g.txt"}) LoadSafely(bytes, name);
    LoadSafely(srt, "g.srt");
    LoadSafely(sub, "g.sub");
  }
  // NUL bytes in text stay; a line of control characters only is blank and ends the text.
  auto loaded = LoadBytes(std::string("1\n00:00:01,000 --> 00:00:02,000\n\0x\0\n\0\0\n", 37), "nul.srt");
  ASSERT_EQ(loaded.document.Count(), 1);
  EXPECT_EQ(loaded.document.GetLine(1).Line1, std::string("\0x\0", 3));
  EXPECT_EQ(loaded.document.GetLine(1).Line2, "");
}

TEST(SubtitleRobustness, FiftyMegabytesWithoutLineEnd) {
  const std::string big(50u << 20, 'a');
  EXPECT_EQ(LoadBytes(big, "big.srt").messages, std::vector<std::string>{"Unsupported Subtitle Format !"});
  EXPECT_EQ(LoadBytes("{10}{20}" + big, "big.sub").messages, std::vector<std::string>{std::string(kFrameRateMessage)});
  // The notice names the line, not its 50 MB.
  EXPECT_LT(LoadBytes("{1}{1}25\n{" + big, "big.sub").messages.at(0).size(), 300u);
  try {
    LoadBytes("{1}{1}" + big, "big.sub");
    ADD_FAILURE() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_LT(std::string(e.what()).size(), 300u);  // the message quotes a short prefix, not 50 MB
  }
  auto loaded = LoadBytes("1\n00:00:01,000 --> 00:00:02,000\n" + big, "long.srt");
  ASSERT_EQ(loaded.document.Count(), 1);
  EXPECT_EQ(loaded.document.GetLine(1).Line1.size(), big.size());
  // Lone carriage returns only: millions of lines.
  std::string crs(20u << 20, '\r');
  EXPECT_EQ(LoadBytes("1\r00:00:01,000 --> 00:00:02,000\r" + crs, "cr.srt").document.Count(), 1);
}

TEST(SubtitleRobustness, UnreadableFileRaisesFileErrorNamingIt) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  test::TempDir dir;
  std::string path = dir.Write("locked.srt", kSrt);
  ::chmod(path.c_str(), 0);
  test::ScriptedView sink;
  TSubtitle document;
  try {
    document.LoadFromFile(path, true, sink);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
  }
}

TEST(SubtitleRobustness, FifoAndDanglingLinkAreNotRead) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("pipe.srt").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir.File("nowhere.sub"), dir.File("dangling.sub"));
  for (const char* name : {"pipe.srt", "dangling.sub"}) {
    test::ScriptedView sink;
    TSubtitle document;
    document.LoadFromFile(dir.File(name), true, sink);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Unsupported Subtitle Format !"}) << name;
  }
}

}  // namespace
}  // namespace quillet
