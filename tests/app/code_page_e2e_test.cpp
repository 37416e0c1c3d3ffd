// Two-byte code pages through the built program: the same text in UTF-8 and in the code page, with the matching
// --charset, gives the same SUP file byte for byte.
#include <gtest/gtest.h>

#include "render/charset_decoder.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

// SubRip and MicroDVD text per code page, with characters whose second byte alone reads as markup: ポ 83 7C,
// 十 8F 5C, 予 97 5C, 倍 94 7B (Shift-JIS); 么 A4 5C, 叻 A5 7B, 吜 CA 7C (Big5); 乗 81 5C, 亄 81 7B, 亅 81 7C (GBK).
const struct {
  const char* charset;
  const char* codePage;
  const char* srt;
  const char* microDvd;
} kTexts[] = {
    {"SHIFTJIS", "CP932", "ポケモン十h分\\N{\\i1}予N倍\\h", "ポイント|ポスト十h分"},
    {"CHINESEBIG5", "CP950", "么N叻\\i1}\\N吜吜", "吜一|么N叻y:b}"},
    {"GB2312", "CP936", "乗N亄\\i1}\\N亅亅", "亅一|乗N亄y:b}"},
    {"HANGEUL", "CP949", "한국어\\N{\\i1}자막\\h한", "한국어|자막"},
};

TEST(NamedConvert, TwoByteCodePagesGiveTheSupOfTheirUtf8Twin) {
  CharsetDecoder decoder("UTF-8");
  for (const auto& t : kTexts) {
    SCOPED_TRACE(t.charset);
    test::TempDir dir;
    std::vector<std::string> utf8{"convert", "-q"}, local{"convert", "-q", "--charset", t.charset};
    for (const auto& [stem, head, text] : {std::tuple{"s.srt", "1\n00:00:01,000 --> 00:00:02,000\n", t.srt},
                                           {"m.sub", "{1}{1}25\n{75}{100}", t.microDvd}}) {
      utf8.push_back(dir.Write(std::string("u") + stem, head + std::string(text) + "\n"));
      local.push_back(
          dir.Write(std::string("l") + stem, head + EncodeInCodeset(decoder.DecodeUtf8(text), t.codePage) + "\n"));
    }
    EXPECT_EQ(test::RunQuilletProgram(utf8).err + test::RunQuilletProgram(local).err, "");
    for (const char* stem : {"s.sup", "m.sup"}) {
      const std::string sup = test::ReadFile(dir.File(std::string("u") + stem));
      EXPECT_GT(sup.size(), 100u);
      EXPECT_TRUE(sup == test::ReadFile(dir.File(std::string("l") + stem))) << stem;
    }
  }
}

}  // namespace
}  // namespace quillet
