// The VobSub language code every caller checks against.
#include "base/output_format.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(NormaliseVobSubLanguage, TakesTwoLettersAndGivesThemInLowerCase) {
  EXPECT_EQ(NormaliseVobSubLanguage("en"), "en");
  EXPECT_EQ(NormaliseVobSubLanguage("FR"), "fr");
  for (const char* bad : {"", "e", "eng", "e1", " e", "e ", "\xC3\xA9"}) {
    EXPECT_EQ(NormaliseVobSubLanguage(bad), std::nullopt) << "'" << bad << "'";
  }
}

}  // namespace
}  // namespace quillet
