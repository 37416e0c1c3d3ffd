// Texts between the program's byte strings and Qt.
#include "qt_text.h"

#include <gtest/gtest.h>

namespace quillet::test {
namespace {

TEST(QtText, DialogFiltersBecomeQtFilters) {
  const struct {
    const char* filter;
    const char* qt;
  } cases[] = {
      {"ifo|*.ifo", "ifo (*.ifo)"},
      {"*.srt;*.sub;*.txt|*.srt;*.sub;*.txt", "*.srt;*.sub;*.txt (*.srt *.sub *.txt)"},
      {"Load your PAL 720x576 BMP|*.bmp", "Load your PAL 720x576 BMP (*.bmp)"},
      {"Text|*.txt|All|*.*", "Text (*.txt);;All (*.*)"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::QtFileFilter(c.filter), QString::fromLatin1(c.qt)) << c.filter;
}

TEST(QtText, MessagesBreakLinesAtCarriageReturns) {
  EXPECT_EQ(ui::MessageText("The string \rone\rtwo\ris too long."),
            QStringLiteral("The string \none\ntwo\nis too long."));
  EXPECT_EQ(ui::MessageText("a\r\nb\r\n"), QStringLiteral("a\nb\n"));
}

TEST(QtText, SubtitleBytesShowInTheUsersCodePageOrAsWindowsLatin) {
  EXPECT_EQ(ui::FromText("caf\xC3\xA9"), QStringLiteral("caf\u00E9"));          // UTF-8
  EXPECT_EQ(ui::FromText("caf\xE9 \x80"), QStringLiteral("caf\u00E9 \u20AC"));  // not UTF-8: CP1252
  EXPECT_EQ(ui::ToPath(ui::FromPath("/tmp/x y/\xC3\xA9.srt")), "/tmp/x y/\xC3\xA9.srt");
}

}  // namespace
}  // namespace quillet::test
