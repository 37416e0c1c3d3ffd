// Markup and line breaks in two-byte code pages: found between characters, never on a character's second byte.
#include <gtest/gtest.h>
#include <iconv.h>

#include "loading.h"
#include "subtitle/markup.h"
#include "subtitle/microdvd_reader.h"

namespace quillet {
namespace {

// UTF-8 text in another code page, through iconv, ASCII bytes as they are (Johab has no backslash of its own,
// yet its files mark breaks with the byte); empty when a character has no form there.
std::string Encode(const std::string& utf8, const char* codePage) {
  iconv_t cd = iconv_open(codePage, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  bool ok = true;
  for (std::size_t i = 0; i < utf8.size() && ok;) {
    std::size_t length = 1;
    while (i + length < utf8.size() && (utf8[i + length] & 0xC0) == 0x80) ++length;
    if (length == 1) {
      out += utf8[i++];
      continue;
    }
    char buffer[8];
    char* in = const_cast<char*>(utf8.data() + i);
    char* outPtr = buffer;
    std::size_t inLeft = length, outLeft = sizeof buffer;
    ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    out.append(buffer, sizeof buffer - outLeft);
    i += length;
  }
  iconv_close(cd);
  return ok ? out : std::string();
}

struct CodePageCase {
  const char* codePage;
  const char* srt;
  const char* microDvd;
};

// Each holds characters whose second byte, read alone, is markup: "\\N", "\\h", "{\\…}" in SubRip text, "|" and
// "{y:…}" in MicroDVD text. 予 97 5C, 倍 94 7B, 倒 93 7C, ポ 83 7C, 十 8F 5C (Shift-JIS); 么 A4 5C, 叻 A5 7B,
// 吜 CA 7C (Big5); 乗 81 5C, 亄 81 7B, 亅 81 7C (GBK); 겦 89 5C, 같 88 7B, 갚 88 7C (Johab). UHC puts no
// markup byte second, but its lines must read all the same.
const CodePageCase kCases[] = {
    {"CP932", "ポケモン予N十h分倍\\i1}x\\N倒倒\\N三", "{y:i}ポイント|ポスト予N|倍y:b}z"},
    {"CP950", "么N么h叻\\i1}x\\N吜吜\\N三", "{y:i}吜a|么N|叻y:b}z"},
    {"CP936", "乗N乗h亄\\i1}x\\N亅亅\\N三", "{y:i}亅a|乗N|亄y:b}z"},
    {"CP949", "한국어\\N{\\i1}자막\\h한h\\N셋", "{y:i}한국어|자막|셋"},
    {"JOHAB", "겦N겦h같\\i1}x\\N갚갚\\N셋", "{y:i}갚a|겦N|같y:b}z"},
};

std::string SrtFile(const std::string& text) { return "1\n00:00:01,000 --> 00:00:02,000\n" + text + "\n"; }
std::string MicroDvdFile(const std::string& text) { return "{1}{1}25\n{25}{50}" + text + "\n"; }
std::string AssFile(const std::string& text) {
  return "[Script Info]\n\n[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,," + text + "\n";
}

TEST(DoubleByteMarkup, ReadsEveryCodePageAsItsUtf8Twin) {
  for (const CodePageCase& c : kCases) {
    SCOPED_TRACE(c.codePage);
    const TextCharacters characters{std::string(c.codePage)};
    for (const auto& [text, file, name] :
         {std::tuple{c.srt, &SrtFile, "a.srt"}, {c.microDvd, &MicroDvdFile, "a.sub"}, {c.srt, &AssFile, "a.ass"}}) {
      const std::string encoded = Encode(text, c.codePage);
      ASSERT_FALSE(encoded.empty()) << text;
      test::TempDir dir;
      test::ScriptedView sink;
      TSubtitle utf8, local;
      utf8.LoadFromFile(dir.Write(std::string("u") + name, (*file)(text)), true, sink);
      local.LoadFromFile(dir.Write(name, (*file)(encoded)), true, sink, characters);
      ASSERT_EQ(local.Count(), utf8.Count());
      const SubtitleLine& want = utf8.Lines.back();
      const SubtitleLine& got = local.Lines.back();
      EXPECT_EQ(got.Line1, Encode(want.Line1, c.codePage)) << text;
      EXPECT_EQ(got.Line2, Encode(want.Line2, c.codePage)) << text;
      EXPECT_EQ(got.Line3, Encode(want.Line3, c.codePage)) << text;
      // The twin itself is what the markup means: three lines, the codes gone.
      EXPECT_FALSE(want.Line3.empty()) << text;
    }
  }
}

// Without the code page's characters the same bytes break where no markup is: the cases above test something.
TEST(DoubleByteMarkup, BytesAloneWouldMisreadTheCases) {
  for (const CodePageCase& c : kCases) {
    if (std::string(c.codePage) == "CP949") continue;
    DrawnLines bytes, characters;
    const std::string encoded = Encode(c.srt, c.codePage);
    AppendSrtTextLines(encoded, bytes);
    AppendSrtTextLines(encoded, characters, TextCharacters(std::string(c.codePage)));
    EXPECT_NE(bytes.lines[0], characters.lines[0]) << c.codePage;
  }
}

TEST(DoubleByteMarkup, LeadByteWithoutItsSecondByteIsACharacterOfItsOwn) {
  const TextCharacters sjis{std::string("CP932")};
  // 83 at the end, and 83 before a byte that completes no character: "|" after it still breaks the line.
  EXPECT_EQ(ParseMicroDvdLine("{1}{2}a\x83", 25, nullptr, sjis).Line1, "a\x83");
  EXPECT_EQ(ParseMicroDvdLine("{1}{2}\x83\x0a|b", 25, nullptr, sjis).Line2, "b");
  EXPECT_EQ(ParseMicroDvdLine("{1}{2}\x83|b", 25, nullptr, sjis).Line1, "\x83|b");
  EXPECT_TRUE(TextCharacters(std::string("CP1252")).ByteWise());
  EXPECT_TRUE(TextCharacters(std::string("UTF-8")).ByteWise());
  EXPECT_TRUE(TextCharacters(std::string("NO-SUCH-CODE-PAGE")).ByteWise());
}

TEST(DoubleByteMarkup, ReadAgainSplitsTheLinesByTheNewCharacters) {
  test::TempDir dir;
  test::ScriptedView sink;
  TSubtitle document;
  const std::string encoded = Encode("{1}{1}25\n{25}{50}ポイント|ポスト\n", "CP932");
  document.LoadFromFile(dir.Write("a.sub", encoded), true, sink);
  EXPECT_EQ(document.Lines.back().Line2, "\x83\x43\x83\x93\x83\x67");  // the bytes split "ポ" in two
  const TextCharacters sjis{std::string("CP932")};
  ASSERT_TRUE(document.ReadAgain(sjis));
  EXPECT_EQ(document.Lines.back().Line2, Encode("ポスト", "CP932"));
  EXPECT_EQ(document.Count(), 2);
  EXPECT_FALSE(document.ReadAgain(TextCharacters(std::string("CP932"))));
}

}  // namespace
}  // namespace quillet
