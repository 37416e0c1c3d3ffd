// Two-byte code pages through the built program: the same text in UTF-8 and in the code page, with the matching
// --charset, gives the same SUP file byte for byte.
#include <gtest/gtest.h>

#include "render/charset_decoder.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

// Each holds characters whose second byte, read alone, is markup: "\\N", "\\h", "{\\…}" in SubRip and ASS text,
// "|" and "{y:…}" in MicroDVD text. 予 97 5C, 倍 94 7B, 倒 93 7C, ポ 83 7C, 十 8F 5C (Shift-JIS); 么 A4 5C, 叻 A5 7B,
// 吜 CA 7C (Big5); 乗 81 5C, 亄 81 7B, 亅 81 7C (GBK); 겦 89 5C, 같 88 7B, 갚 88 7C (Johab). UHC puts no
// markup byte second, but its lines must read all the same; its Han beside Hangul is drawn in the Korean stand-in
// in UTF-8 too. Every entry has three lines.
const struct {
  const char *charset, *codePage, *srt, *microDvd;
} kTexts[] = {
    {"SHIFTJIS", "CP932", "ポケモン予N十h分倍\\i1}x\\N倒倒\\N三", "{y:i}ポイント|ポスト予N|倍y:b}z"},
    {"CHINESEBIG5", "CP950", "么N么h叻\\i1}x\\N吜吜\\N三", "{y:i}吜a|么N|叻y:b}z"},
    {"GB2312", "CP936", "乗N乗h亄\\i1}x\\N亅亅\\N三", "{y:i}亅a|乗N|亄y:b}z"},
    {"HANGEUL", "CP949", "한국어 字幕\\N{\\i1}자막\\h한h\\N셋", "{y:i}한국어|자막|셋"},
    {"JOHAB", "CP1361", "겦N겦h같\\i1}x\\N갚갚\\N셋", "{y:i}갚a|겦N|같y:b}z"},
};

// UTF-8 text in a code page, ASCII bytes as they are (Johab has no backslash of its own, yet its files mark
// breaks with the byte).
std::string Encode(const std::string& utf8, const char* codePage) {
  std::string out;
  for (char32_t c : CharsetDecoder("UTF-8").DecodeUtf8(utf8))
    out += c < 0x80 ? std::string(1, static_cast<char>(c)) : EncodeInCodeset(std::u32string(1, c), codePage);
  return out;
}

TEST(NamedConvert, TwoByteCodePagesReadAsTheirUtf8Twin) {
  for (const auto& t : kTexts) {
    SCOPED_TRACE(t.charset);
    test::TempDir utf8Dir, localDir;
    std::vector<std::string> utf8{"convert"}, local{"convert", "--charset", t.charset};
    for (const auto& [name, head, text] :
         {std::tuple{"a.srt", "1\n00:00:01,000 --> 00:00:02,000\n", t.srt},
          {"b.sub", "{1}{1}25\n{25}{50}", t.microDvd},
          {"c.ass", "[Script Info]\n\n[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,", t.srt}}) {
      const std::string encoded = Encode(text, t.codePage);
      ASSERT_EQ(encoded.find('?'), std::string::npos) << text;  // every character has a form in the code page
      utf8.push_back(utf8Dir.Write(name, head + std::string(text) + "\n"));
      local.push_back(localDir.Write(name, head + encoded + "\n"));
    }
    for (const auto& args : {utf8, local}) EXPECT_EQ(test::RunQuilletProgram(args).status, 0);
    for (const char* sup : {"a.sup", "b.sup", "c.sup"}) {
      const std::string twin = test::ReadFile(utf8Dir.File(sup));
      EXPECT_GT(twin.size(), 100u);
      EXPECT_TRUE(twin == test::ReadFile(localDir.File(sup))) << sup;
    }
  }
}

}  // namespace
}  // namespace quillet
