// The .idx text: header fields, palette, language, and one timestamp line per unit in presentation order.
#include "sup/vobsub_index.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(VobSubIndex, WritesTheFieldsPlayersReadInPresentationOrder) {
  VobSubIndex index;
  index.height = 480;
  for (int i = 0; i < 16; ++i) index.palette[i] = Rgb{static_cast<uint8_t>(i * 17), 0x0A, 0xF0};
  index.language = "de";
  // The .sub holds the units in list order; the third entry is shown before the second.
  index.entries = {{90000, 0x0}, {900000, 0x800}, {450000, 0x1000}, {900000, 0x3000}, {0xFFFFFFFFu, 0x12345800}};
  const std::string text = BuildVobSubIndex(index);

  EXPECT_EQ(text.rfind("# VobSub index file, v7 (do not modify this line!)\r\n", 0), 0u) << "readers probe this line";
  EXPECT_NE(text.find("\r\nsize: 720x480\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\npalette: 000af0, 110af0, 220af0, 330af0, 440af0, 550af0, 660af0, 770af0, 880af0, 990af0, "
                      "aa0af0, bb0af0, cc0af0, dd0af0, ee0af0, ff0af0\r\n"),
            std::string::npos);
  const std::string tail =
      "id: de, index: 0\r\n"
      "timestamp: 00:00:01:000, filepos: 000000000\r\n"
      "timestamp: 00:00:05:000, filepos: 000001000\r\n"
      "timestamp: 00:00:10:000, filepos: 000000800\r\n"  // equal times keep their file order
      "timestamp: 00:00:10:000, filepos: 000003000\r\n"
      "timestamp: 13:15:21:859, filepos: 012345800\r\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    ASSERT_EQ(text[at - 1], '\r') << "every line ends with CR LF";
  }
}

TEST(VobSubIndex, TimestampsRoundToTheNearestMillisecond) {
  EXPECT_EQ(VobSubTimestamp(0), "00:00:00:000");
  EXPECT_EQ(VobSubTimestamp(44), "00:00:00:000");
  EXPECT_EQ(VobSubTimestamp(45), "00:00:00:001");
  EXPECT_EQ(VobSubTimestamp(90 * 3723004), "01:02:03:004");
}

}  // namespace
}  // namespace quillet
