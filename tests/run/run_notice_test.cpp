// The after-run notice: what it says of each entry, and how a long list is cut.
#include "run/run_notice.h"

#include <gtest/gtest.h>

#include "sup/subpicture_unit.h"

namespace quillet {
namespace {

TEST(RunNotice, NamesEachEntryAndWhatBecameOfIt) {
  RunNotice notice;
  EXPECT_TRUE(notice.Empty());
  notice.AddTiming(1, kTimingAsWritten);
  notice.AddClipped(1, BandFit::Inside);
  EXPECT_TRUE(notice.Empty());
  EXPECT_EQ(notice.Text(), "");

  notice.AddTiming(12, kStartBeforeZero);
  notice.AddClipped(13, BandFit::Partly);
  notice.AddNotShown(40, true);
  notice.AddTiming(41, kLastsTooLong);
  notice.AddClipped(42, BandFit::Outside);
  notice.AddNotShown(43, false);
  notice.SetReordered(44);
  EXPECT_EQ(notice.Text(),
            "The entries are not in time order (entry 44 starts before the one above it); they are written in time "
            "order.\r"
            "2 entries are not written, since a DVD player could not show them: entry 40 ends before it starts; "
            "entry 43 lasts less than 6 ms.\r"
            "2 entries had times a DVD cannot hold: entry 12 starts before 00:00:00,000 (shown from 00:00:00,000); "
            "entry 41 lasts longer than 745.6 s (shown for 745.6 s).\r"
            "2 entries had text outside the frame, which a DVD player does not show: entry 13 is partly cut off; "
            "entry 42 is wholly outside (nothing shown).");
}

TEST(RunNotice, ListsTheFirstEntriesOfALongListAndCountsTheRest) {
  RunNotice notice;
  for (int i = 1; i <= RunNotice::kListedEntries + 5; ++i) notice.AddClipped(i, BandFit::Partly);
  const std::string text = notice.Text();
  EXPECT_EQ(text.rfind("25 entries had text outside the frame", 0), 0u) << text;
  EXPECT_NE(text.find("entry 20 is partly cut off; and 5 more."), std::string::npos) << text;
  EXPECT_EQ(text.find("entry 21"), std::string::npos) << text;
  RunNotice one;
  one.AddTiming(7, kLastsTooLong);
  EXPECT_EQ(one.Text().rfind("1 entry had times", 0), 0u) << one.Text();
}

TEST(RunNotice, NamesEachMissingCharacterOnceWithItsFirstEntry) {
  RunNotice notice;
  notice.AddMissingCharacters(3, U"");
  EXPECT_TRUE(notice.Empty());
  notice.AddMissingCharacters(3, U"\u0E01\U0010FFFD");
  notice.AddMissingCharacters(5, U"\U0010FFFD\u0E02");
  notice.AddClipped(4, BandFit::Partly);
  EXPECT_EQ(notice.Text(),
            "1 entry had text outside the frame, which a DVD player does not show: entry 4 is partly cut off.\r"
            "No installed font has these characters, so they are drawn as empty boxes (install a font that has them "
            "and generate again): \xE0\xB8\x81 (U+0E01) first in entry 3; \xF4\x8F\xBF\xBD (U+10FFFD) first in "
            "entry 3; \xE0\xB8\x82 (U+0E02) first in entry 5.");
}

}  // namespace
}  // namespace quillet
