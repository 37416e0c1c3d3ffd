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
    test::TempDir dir;
    auto write = [&](const char* stem, const char* codePage) {
      auto text = [&](const char* utf8) {
        return codePage ? EncodeInCodeset(decoder.DecodeUtf8(utf8), codePage) : std::string(utf8);
      };
      return std::vector<std::string>{
          dir.Write(std::string(stem) + "_srt.srt", "1\n00:00:01,000 --> 00:00:02,000\n" + text(t.srt) + "\n"),
          dir.Write(std::string(stem) + "_sub.sub", "{1}{1}25\n{75}{100}" + text(t.microDvd) + "\n")};
    };
    std::vector<std::string> utf8 = write("u", nullptr), local = write("l", t.codePage);
    utf8.insert(utf8.begin(), {"convert", "-q"});
    local.insert(local.begin(), {"convert", "-q", "--charset", t.charset});
    EXPECT_EQ(test::RunQuilletProgram(utf8).err + test::RunQuilletProgram(local).err, "") << t.charset;
    for (const char* stem : {"_srt.sup", "_sub.sup"}) {
      const std::string sup = test::ReadFile(dir.File(std::string("u") + stem));
      EXPECT_GT(sup.size(), 100u);
      EXPECT_TRUE(sup == test::ReadFile(dir.File(std::string("l") + stem))) << t.charset << stem;
    }
  }
}

}  // namespace
}  // namespace quillet
