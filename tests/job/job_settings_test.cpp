// The fixed lists, defaults and track-bar placement of the job settings.
#include "job/job_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

TEST(JobSettings, DefaultsPointAtTheDefaultEntries) {
  JobSettings job;
  EXPECT_FALSE(job.haveifo);
  EXPECT_TRUE(job.pal);
  EXPECT_EQ(job.filenameifo, "");
  EXPECT_EQ(job.filenamesub, "");
  for (int colour : {job.colorantialias, job.coloroutline, job.colortext, job.colorbg}) {
    EXPECT_EQ(kColourList[colour], "Color 0");
  }
  EXPECT_EQ(job.fontname, 0);
  EXPECT_EQ(kCharsetList[job.fontcharset], "DEFAULT");
  EXPECT_EQ(kStyleList[job.fontstyle], "Normal");
  EXPECT_EQ(kSizeList[job.fontsize], "20");
  EXPECT_EQ(kAlignList[job.align], "center");
  EXPECT_EQ(job.offset, 30);
  EXPECT_EQ(job.offsetor, -4);
  EXPECT_EQ(kOutlineWidthList[job.outline], "3");
}

TEST(JobSettings, ListsHoldTheirEntriesInOrder) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(kColourList[i], "Color " + std::to_string(i));

  // Every size 6..30, then the even sizes 32..50.
  std::vector<std::string> sizes;
  for (int s = 6; s <= 30; ++s) sizes.push_back(std::to_string(s));
  for (int s = 32; s <= 50; s += 2) sizes.push_back(std::to_string(s));
  ASSERT_EQ(sizes.size(), kSizeList.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_EQ(kSizeList[i], sizes[i]) << i;

  EXPECT_EQ(kCharsetList.front(), "ANSI");
  EXPECT_EQ(kCharsetList[13], "RUSSIAN");
  EXPECT_EQ(kCharsetList.back(), "VIETNAMESE");
  EXPECT_EQ(kStyleList[6], "Bold+It+Und");
  EXPECT_EQ(kStyleList.back(), "StrikeOut");
  EXPECT_EQ(kParameterNames.front(), "haveifo");
  EXPECT_EQ(kParameterNames[14], "offsetor");
  EXPECT_EQ(kParameterNames.back(), "outline");
}

TEST(JobSettings, TrackBarsKeepTheirRanges) {
  EXPECT_EQ(ClampOffset(7), kOffsetMin);
  EXPECT_EQ(ClampOffset(493), kOffsetMax);
  EXPECT_EQ(ClampOffset(100), 100);
  // Every position ends up even and inside -14..10, and no position moves down.
  for (int p = -40; p <= 40; ++p) {
    int placed = ClampOffsetOr(p);
    EXPECT_EQ(placed % 2, 0) << p;
    EXPECT_GE(placed, kOffsetOrMin);
    EXPECT_LE(placed, kOffsetOrMax);
    if (p >= kOffsetOrMin && p <= kOffsetOrMax) {
      EXPECT_TRUE(placed == p || placed == p + 1) << p;
    }
  }
}

}  // namespace
}  // namespace quillet
