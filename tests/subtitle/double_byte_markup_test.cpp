// Markup and line breaks in two-byte code pages: found between characters, never on a character's second byte.
#include <gtest/gtest.h>

#include "loading.h"
#include "render/charset_decoder.h"
#include "subtitle/microdvd_reader.h"

namespace quillet {
namespace {

// UTF-8 text in another code page, ASCII bytes as they are (Johab has no backslash of its own, yet its files mark
// breaks with the byte).
std::string Encode(const std::string& utf8, const char* codePage) {
  std::string out;
  for (char32_t c : CharsetDecoder("UTF-8").DecodeUtf8(utf8))
    out += c < 0x80 ? std::string(1, static_cast<char>(c)) : EncodeInCodeset(std::u32string(1, c), codePage);
  return out;
}

// Each holds characters whose second byte, read alone, is markup: "\\N", "\\h", "{\\…}" in SubRip and ASS text,
// "|" and "{y:…}" in MicroDVD text. 予 97 5C, 倍 94 7B, 倒 93 7C, ポ 83 7C, 十 8F 5C (Shift-JIS); 么 A4 5C, 叻 A5 7B,
// 吜 CA 7C (Big5); 乗 81 5C, 亄 81 7B, 亅 81 7C (GBK); 겦 89 5C, 같 88 7B, 갚 88 7C (Johab). UHC puts no
// markup byte second, but its lines must read all the same.
const struct {
  const char* codePage;
  const char* srt;
  const char* microDvd;
} kCases[] = {
    {"CP932", "ポケモン予N十h分倍\\i1}x\\N倒倒\\N三", "{y:i}ポイント|ポスト予N|倍y:b}z"},
    {"CP950", "么N么h叻\\i1}x\\N吜吜\\N三", "{y:i}吜a|么N|叻y:b}z"},
    {"CP936", "乗N乗h亄\\i1}x\\N亅亅\\N三", "{y:i}亅a|乗N|亄y:b}z"},
    {"CP949", "한국어\\N{\\i1}자막\\h한h\\N셋", "{y:i}한국어|자막|셋"},
    {"JOHAB", "겦N겦h같\\i1}x\\N갚갚\\N셋", "{y:i}갚a|겦N|같y:b}z"},
};

TEST(DoubleByteMarkup, ReadsEveryCodePageAsItsUtf8Twin) {
  for (const auto& c : kCases) {
    for (const auto& [name, head, text] :
         {std::tuple{"a.srt", "1\n00:00:01,000 --> 00:00:02,000\n", c.srt},
          {"a.sub", "{1}{1}25\n{25}{50}", c.microDvd},
          {"a.ass", "[Script Info]\n\n[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,", c.srt}}) {
      SCOPED_TRACE(std::string(c.codePage) + " " + text);
      const std::string encoded = Encode(text, c.codePage);
      ASSERT_EQ(encoded.find('?'), std::string::npos);  // every character has a form in the code page
      test::TempDir dir;
      test::ScriptedView sink;
      TSubtitle utf8, local;
      utf8.LoadFromFile(dir.Write(std::string("u") + name, head + std::string(text) + "\n"), true, sink);
      local.LoadFromFile(dir.Write(name, head + encoded + "\n"), true, sink, TextCharacters(std::string(c.codePage)));
      ASSERT_EQ(local.Count(), utf8.Count());
      const SubtitleLine& want = utf8.Lines.back();
      const SubtitleLine& got = local.Lines.back();
      EXPECT_FALSE(want.Line3.empty());  // the twin itself reads three lines, the codes gone
      EXPECT_EQ(
          std::tuple(got.Line1, got.Line2, got.Line3),
          std::tuple(Encode(want.Line1, c.codePage), Encode(want.Line2, c.codePage), Encode(want.Line3, c.codePage)));
    }
  }
}

TEST(DoubleByteMarkup, LeadByteWithoutItsSecondByteIsACharacterOfItsOwn) {
  const TextCharacters sjis{std::string("CP932")};
  // 83 at the end, and 83 before a byte that completes no character: "|" after it still breaks the line.
  EXPECT_EQ(ParseMicroDvdLine("{1}{2}a\x83", 25, nullptr, sjis).Line1, "a\x83");
  EXPECT_EQ(ParseMicroDvdLine("{1}{2}\x83\x0a|b", 25, nullptr, sjis).Line2, "b");
  EXPECT_EQ(ParseMicroDvdLine("{1}{2}\x83|b", 25, nullptr, sjis).Line1, "\x83|b");
  EXPECT_TRUE(TextCharacters(std::string("NO-SUCH-CODE-PAGE")).ByteWise());
}

}  // namespace
}  // namespace quillet
