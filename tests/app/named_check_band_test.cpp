// "quillet check" through the built program: paint the subpicture band leaves out is reported.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

// Accented capitals reach the top of the text cell, so the outline drawn around them rises above the band,
// which starts at the cell's top: more of it the wider the outline.
TEST(NamedCheck, PaintAboveTheSubpictureBandIsReportedOnlyWhenThereIsSome) {
  test::TempDir dir;
  const std::string srt = dir.Write(
      "accents.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xC3\x85\xC3\x89\xC3\x8E \xC3\x81ngstr\xC3\xB6m\r\n");
  const test::ProgramRun narrow = test::RunQuilletProgram({"check", "--size", "36", "--outline", "2", srt});
  EXPECT_EQ(narrow.status, 0) << narrow.err;
  EXPECT_EQ(narrow.err, "");
  const test::ProgramRun wide = test::RunQuilletProgram({"check", "--size", "36", "--outline", "4", srt});
  EXPECT_EQ(wide.status, 1);
  EXPECT_EQ(wide.err, srt + ": entry 1: text clipped by the subpicture band (drawn rows outside it are not shown)\n");
}

}  // namespace
}  // namespace quillet
