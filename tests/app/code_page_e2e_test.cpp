// Code pages through the built program: the same text in UTF-8 and in the code page, with the matching --charset
// or with the code page found from the text, gives the same SUP file byte for byte.
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

// Five sentences each, written 20 times in turn as a SubRip file: enough text for the code page to be found.
const struct {
  const char *codePage, *name, *sentences[5];
} kFoundTexts[] = {
    {"CP932",
     "Shift-JIS",
     {"東京の空はとても青いです。", "私たちは明日、駅で会いましょう。", "この映画はとても面白かった。",
      "彼女は毎朝コーヒーを飲みます。", "ここで何をしているのですか？"}},
    {"CP950",
     "Big5",
     {"我們明天在車站見面吧。", "這部電影非常有趣。", "你今天晚上要做什麼？", "他每天早上都喝咖啡。",
      "請不要忘記關門。"}},
    {"CP936",
     "GBK",
     {"我们明天在车站见面吧。", "这部电影非常有趣。", "你今天晚上要做什么？", "他每天早上都喝咖啡。",
      "请不要忘记关门。"}},
    {"CP949",
     "EUC-KR",
     {"우리는 내일 역에서 만나요.", "이 영화는 정말 재미있었어요.", "오늘 밤에 뭐 할 거예요?",
      "그는 매일 아침 커피를 마셔요.", "문 닫는 것을 잊지 마세요."}},
    {"CP1251",
     "Windows-1251",
     {"Мы встретимся завтра на вокзале.", "Этот фильм был очень интересным.", "Что ты будешь делать сегодня вечером?",
      "Он пьёт кофе каждое утро.", "Не забудь закрыть дверь."}},
    {"CP1256",
     "Windows-1256",
     {"سنلتقي غدا في المحطة.", "كان هذا الفيلم ممتعا جدا.", "ماذا ستفعل هذا المساء؟", "يشرب القهوة كل صباح.",
      "لا تنس أن تغلق الباب."}},
};

TEST(NamedConvert, CodePageFoundFromTheTextReadsAsTheUtf8Twin) {
  test::TempDir utf8Dir, localDir;
  std::vector<std::string> utf8{"convert", "--generic"}, local{"convert", "--generic"};
  for (const auto& t : kFoundTexts) {
    std::string text;
    for (int i = 0; i < 20; ++i) {
      text += std::to_string(i + 1) + "\n00:00:" + std::to_string(10 + 2 * i) +
              ",000 --> 00:00:" + std::to_string(11 + 2 * i) + ",000\n" + t.sentences[i % 5] + "\n\n";
    }
    const std::string name = std::string(t.codePage) + ".srt";
    utf8.push_back(utf8Dir.Write(name, text));
    local.push_back(localDir.Write(name, Encode(text, t.codePage)));
  }
  ASSERT_EQ(test::RunQuilletProgram(utf8).status, 0);
  const test::ProgramRun run = test::RunQuilletProgram(local);
  EXPECT_EQ(run.status, 0) << run.err;
  for (const auto& t : kFoundTexts) {
    SCOPED_TRACE(t.codePage);
    const std::string sup = std::string(t.codePage) + ".sup";
    EXPECT_TRUE(test::ReadFile(utf8Dir.File(sup)) == test::ReadFile(localDir.File(sup)));
    EXPECT_TRUE(test::Contains(run.out + run.err, std::string(t.codePage) + ".srt: read as " + t.name +
                                                      " (found from the text; give --charset to choose)"));
  }
  // check names the code page it found and counts no problem for a file read right.
  const test::ProgramRun checked = test::RunQuilletProgram({"check", "--generic", local.back()});
  EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
  EXPECT_TRUE(test::Contains(checked.out + checked.err, ": read as Windows-1256 (found from the text"));
  // One line tells too little: Windows-1252 as before, and the notice says so; check lists it as a problem.
  const std::string one = localDir.Write("one.srt", "1\n00:00:01,000 --> 00:00:02,000\nCaf\xE9\n");
  for (const char* command : {"convert", "check"}) {
    const test::ProgramRun oneRun = test::RunQuilletProgram({command, "--generic", one});
    EXPECT_TRUE(test::Contains(oneRun.out + oneRun.err, "one.srt: read as Windows-1252 (the text is not UTF-8"))
        << command << oneRun.out << oneRun.err;
    EXPECT_EQ(oneRun.status, std::string(command) == "check" ? 1 : 0) << command;
  }
}

}  // namespace
}  // namespace quillet
