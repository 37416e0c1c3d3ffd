#include "palette/hex_text.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace quillet {
namespace {

TEST(HexToInt, ReadsHexadecimalDigits) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {{"", 0},          {"0", 0},           {"10", 16}, {"EB", 235},
               {"eb", 235},      {"$FF", 255},       {"$0", 0},  {"7FFFFFFF", 0x7FFFFFFF},
               {"FFFFFFFF", -1}, {"00000000010", 16}};
  for (const Case& c : cases) EXPECT_EQ(HexToInt(c.text), c.expected) << c.text;
}

TEST(HexToInt, RefusesOtherTextWithTheMessageError) {
  for (const char* text : {"$", "$$1", "G1", " 1", "1 ", "-1", "0x10", "1FFFFFFFF"}) {
    try {
      HexToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
      EXPECT_STREQ(e.what(), "Error") << text;
    }
  }
}

}  // namespace
}  // namespace quillet
