// Two-byte code pages through the built program: the same text in UTF-8 and in the code page, with the matching
// --charset, gives the same SUP file byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

struct CodePageText {
  const char* charset;
  const char* codePage;
  const char* srt;  // SubRip text of entry 2; entry 1 is "ASCII"
  const char* microDvd;
};

// Second bytes 5C, 7C and 7B in all but UHC: ポ 83 7C, 十 8F 5C, 予 97 5C, 倍 94 7B (Shift-JIS); 么 A4 5C,
// 叻 A5 7B, 吜 CA 7C (Big5); 乗 81 5C, 亄 81 7B, 亅 81 7C (GBK).
const CodePageText kTexts[] = {
    {"SHIFTJIS", "CP932", "ポケモン十h分\\N{\\i1}予N倍\\h", "ポイント|ポスト十h分"},
    {"CHINESEBIG5", "CP950", "么N叻\\i1}\\N吜吜", "吜一|么N叻y:b}"},
    {"GB2312", "CP936", "乗N亄\\i1}\\N亅亅", "亅一|乗N亄y:b}"},
    {"HANGEUL", "CP949", "한국어\\N{\\i1}자막\\h한", "한국어|자막"},
};

std::string Srt(const std::string& text) {
  return "1\r\n00:00:01,000 --> 00:00:02,000\r\nASCII\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\n" + text + "\r\n";
}
std::string MicroDvd(const std::string& text) { return "{1}{1}25\r\n{25}{50}ASCII\r\n{75}{100}" + text + "\r\n"; }

TEST(NamedConvert, TwoByteCodePagesGiveTheSupOfTheirUtf8Twin) {
  for (const CodePageText& t : kTexts) {
    SCOPED_TRACE(t.charset);
    test::TempDir dir;
    const std::string srtLocal = test::Encode(t.srt, t.codePage);
    const std::string subLocal = test::Encode(t.microDvd, t.codePage);
    ASSERT_FALSE(srtLocal.empty());
    ASSERT_FALSE(subLocal.empty());
    const test::ProgramRun utf8 = test::RunQuilletProgram(
        {"convert", "-q", dir.Write("u_srt.srt", Srt(t.srt)), dir.Write("u_sub.sub", MicroDvd(t.microDvd))});
    ASSERT_EQ(utf8.status, 0) << utf8.err;
    const test::ProgramRun local =
        test::RunQuilletProgram({"convert", "-q", "--charset", t.charset, dir.Write("l_srt.srt", Srt(srtLocal)),
                                 dir.Write("l_sub.sub", MicroDvd(subLocal))});
    ASSERT_EQ(local.status, 0) << local.err;
    EXPECT_EQ(utf8.err, "");
    EXPECT_EQ(local.err, "");
    for (const char* stem : {"_srt.sup", "_sub.sup"}) {
      const std::string sup = test::ReadFile(dir.File(std::string("u") + stem));
      EXPECT_GT(sup.size(), 100u) << stem;
      EXPECT_TRUE(sup == test::ReadFile(dir.File(std::string("l") + stem))) << stem;
    }
  }
}

}  // namespace
}  // namespace quillet
