// Markup and line breaks in two-byte code pages: found between characters, never on a character's second byte.
// Whole files in every two-byte code page are read end to end (NamedConvert.TwoByteCodePagesReadAsTheirUtf8Twin).
#include <gtest/gtest.h>

#include "subtitle/microdvd_reader.h"

namespace quillet {
namespace {

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
