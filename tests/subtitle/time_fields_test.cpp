// The one parser of the readers' times: fields, signs, fractions and what each form allows.
#include "subtitle/time_fields.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(TimeFields, ReadsEachFormAndLeavesTheRest) {
  constexpr TimeForm kHms{false, true, ",.", 1, 10};       // SubRip's
  constexpr TimeForm kMs{true, false, ".", 1, 10};         // WebVTT's
  constexpr TimeForm kHundredths{false, true, "", 10, 9};  // ASS's
  struct Case {
    const TimeForm& form;
    const char* text;
    std::optional<std::int64_t> ms;
    const char* rest;
  };
  const Case cases[] = {
      {kHms, "01:02:03,456 -->", 3723456, " -->"},
      {kHms, "-00:00:02,345", -2345, ""},  // a leading minus negates the whole time
      {kHms, "-01:00:00,500", -3600500, ""},
      {kHms, "00:00:-2,-345", -2345, ""},              // later fields keep their own signs
      {kHms, " 0:0:1.5", 1005, ""},                    // the fraction counts units
      {kHms, "00:01,000", std::nullopt, "00:01,000"},  // hours are needed
      {kHms, "00:00:01:000", std::nullopt, "00:00:01:000"},
      {kMs, "12:34.567 x", 754567, " x"},  // minutes and seconds only
      {kMs, "1:12:34.5", 4354005, ""},
      {kMs, "-00:01.000", std::nullopt, "-00:01.000"},  // no signs
      {kMs, "00:01", std::nullopt, "00:01"},
      {kHundredths, "-0:00:01.50", -1500, ""},
      {kHundredths, "0:00:01:05", 1050, ""},  // any one character before the hundredths
      {kHundredths, "0:00:1234567890.00", std::nullopt, "0:00:1234567890.00"},
  };
  for (const Case& c : cases) {
    std::string_view text = c.text;
    EXPECT_EQ(ReadTimeFields(text, c.form), c.ms) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

}  // namespace
}  // namespace quillet
