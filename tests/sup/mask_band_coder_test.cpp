// Coding a band straight from the passes gives the bytes of painting the frame and scanning it back.
#include "sup/mask_band_coder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/errors.h"
#include "reference_coder.h"
#include "render/name_tables.h"
#include "render/subtitle_renderer.h"
#include "sup/entry_encoder.h"

namespace quillet {
namespace {

struct Colours {
  const char* name;
  RoleRgb roles;  // antialias, outline, text
};

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kGrey{128, 128, 128}, kBlue{0, 0, 255}, kRed{200, 30, 40};

const Colours kColourCases[] = {
    {"distinct", {kGrey, kBlack, kWhite}},          {"text = outline", {kGrey, kWhite, kWhite}},
    {"text = antialias", {kWhite, kBlack, kWhite}}, {"outline = antialias", {kBlack, kBlack, kWhite}},
    {"outline pure blue", {kGrey, kBlue, kWhite}},  {"antialias pure blue", {kBlue, kBlack, kWhite}},
    {"text pure blue", {kRed, kBlack, kBlue}},      {"all roles equal", {kGrey, kGrey, kGrey}},
    {"all roles pure blue", {kBlue, kBlue, kBlue}},
};

// Where and what an entry draws: sizes, lines and offsets that put text at every edge of the frame.
struct Placement {
  const char* name;
  int sizePt;
  std::string line1, line2;
  int offset, offsetOr;
};

const Placement kPlacements[] = {
    {"two lines", 20, "Rethymno, Crete: quays & jetty.", "Gyp fj, qy! \"WHAT?\"", 30, -4},
    {"one line, the lower position empty", 26, "Hellas", "", 30, -4},
    {"wider than the frame", 30, "A line far too long for any frame, running off both of its edges at once", "and on",
     30, -4},
    {"overlapping cells", 24, "Overlap gjpqy", "Tall ascent HIJK", 60, 10},
    {"high on the frame", 40, "Above the top", "of the frame", 492, -14},
    {"low on the frame", 50, "Bottom gjpqy", "descenders gjpqy", 8, 10},
    {"Hebrew and Arabic, shaped", 28, "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 123 abc",
     "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xD8\xB9\xD9\x84\xD9\x8A\xD9\x83\xD9\x85", 30, -4},
    {"Greek and Cyrillic", 22, "\xCE\x9A\xCF\x81\xCE\xAE\xCF\x84\xCE\xB7 \xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC",
     "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80", 30, -4},
};

const char* const kStyles[] = {"Normal",     "Bold",        "Italic",       "Underline", "Bold+Italic",
                               "Bold+Under", "Bold+It+Und", "Italic+Under", "StrikeOut"};

TEST(MaskBandCoder, GivesTheFramePathsBytesForEveryStyleWidthAlignmentStandardAndColourCase) {
  static FontEngine engine;
  int compared = 0;
  int nonBlank = 0;
  int paintedOutsideBand = 0;
  const Image24 blueRow(kFrameWidth, 1, kFrameBlue);
  std::size_t placement = 0;
  for (const char* style : kStyles) {
    for (int outlineWidth : {2, 3, 4}) {
      for (Alignment align : {Alignment::Center, Alignment::Left, Alignment::Right}) {
        for (VideoStandard standard : {VideoStandard::Pal, VideoStandard::Ntsc}) {
          const Placement& p = kPlacements[placement++ % std::size(kPlacements)];
          FontDesc font;
          font.sizePt = p.sizePt;
          font.style = StyleFromText(style);
          RenderSettings settings{font, align, p.offset, p.offsetOr, outlineWidth, standard, {}};
          EntryPasses passes;
          RenderEntryPasses(engine, p.line1, p.line2, settings, passes);
          for (const Colours& colours : kColourCases) {
            const std::string what = std::string(style) + ", outline " + std::to_string(outlineWidth) + ", align " +
                                     std::to_string(static_cast<int>(align)) +
                                     (standard == VideoStandard::Pal ? ", PAL, " : ", NTSC, ") + p.name + ", " +
                                     colours.name;
            settings.roles = colours.roles;
            const RenderedFrame frame = RenderFrame(engine, p.line1, p.line2, settings);
            EncodedEntry framePath;
            EncodeFrame(frame, colours.roles, framePath);
            const PaintCodes codes = PaintCodesFor(colours.roles);
            EncodedEntry direct;
            EncodePasses(passes, codes, direct);
            ASSERT_EQ(direct.bandTop, framePath.bandTop) << what;
            ASSERT_EQ(direct.bandHeight, framePath.bandHeight) << what;
            ASSERT_EQ(direct.bandFit, framePath.bandFit) << what;
            ASSERT_EQ(direct.missingCharacters, framePath.missingCharacters) << what;
            ASSERT_EQ(direct.pixels, framePath.pixels) << what;
            // Every frame row, band or not (the check of a file looks for paint outside the band).
            for (int y = 0; y < frame.frame.Height(); ++y) {
              const bool framePainted = std::memcmp(frame.frame.Row(y), blueRow.Row(0), blueRow.RowBytes()) != 0;
              ASSERT_EQ(RowShowsPaint(passes, codes, y), framePainted) << what << ", row " << y;
              paintedOutsideBand += framePainted && (y < frame.bandTop || y >= frame.bandTop + frame.bandHeight);
            }
            // A band of blank rows codes to 8 bytes a row; anything longer has runs of paint in it.
            nonBlank += direct.pixels.block.size() > 2 + 8u * static_cast<std::size_t>(direct.bandHeight);
            ++compared;
          }
        }
      }
    }
  }
  EXPECT_EQ(compared, 9 * 3 * 3 * 2 * static_cast<int>(std::size(kColourCases)));
  EXPECT_GT(nonBlank, compared / 2) << "most cases draw something in the band";
  EXPECT_EQ(paintedOutsideBand, 0) << "the band holds every row drawn inside the frame";
}

TEST(PaintCodes, JoinPaintsOfOneColourAndClassifyAsTheFrameWould) {
  // Text and outline on one colour: one colour class, the text role (text wins over outline).
  PaintCodes codes = PaintCodesFor({kGrey, kWhite, kWhite});
  EXPECT_EQ(codes.colour, (std::array<uint8_t, 4>{kPaintBlue, kPaintOutline, kPaintAntialias, kPaintOutline}));
  EXPECT_EQ(codes.role, (std::array<uint8_t, 4>{0, 1, 3, 1}));
  // The outline coloured pure blue is background and continues the blue around it.
  codes = PaintCodesFor({kGrey, kBlue, kWhite});
  EXPECT_EQ(codes.colour, (std::array<uint8_t, 4>{kPaintBlue, kPaintBlue, kPaintAntialias, kPaintText}));
  EXPECT_EQ(codes.role, (std::array<uint8_t, 4>{0, 0, 3, 1}));
  // All three roles one colour: one drawn class, the text role.
  codes = PaintCodesFor({kRed, kRed, kRed});
  EXPECT_EQ(codes.colour, (std::array<uint8_t, 4>{kPaintBlue, kPaintOutline, kPaintOutline, kPaintOutline}));
  EXPECT_EQ(codes.role, (std::array<uint8_t, 4>{0, 1, 1, 1}));
}

TEST(MaskBandCoder, ABandOutsideTheFrameOrOnAnOddRowIsRefused) {
  EntryPasses passes;
  passes.frameHeight = 480;
  const PaintCodes codes = PaintCodesFor({kGrey, kBlack, kWhite});
  PixelData out;
  auto refusal = [&](Band band) {
    passes.band = band;
    try {
      EncodeBandFromPasses(passes, codes, out);
    } catch (const QuilletError& e) {
      return std::string(e.what());
    }
    return std::string("no refusal");
  };
  EXPECT_EQ(refusal(Band{460, 40}), "The text band (rows 460 to 499) does not lie inside the frame of 480 rows.");
  EXPECT_EQ(refusal(Band{301, 40}), "The text band starts on row 301, which is not even.");
  passes.band = Band{300, 0};
  EXPECT_THROW(EncodeBandFromPasses(passes, codes, out), QuilletError);
  passes.band = Band{300, 3};
  EncodeBandFromPasses(passes, codes, out);
  // Three blank rows, each one background run of 719 pixels: 255 + 255 + 209, then the end of the line.
  const std::vector<uint8_t> blank{0x03, 0xFC, 0x03, 0xFC, 0x03, 0x44, 0x00, 0x00};
  std::vector<uint8_t> expected{0, 0};
  for (int row = 0; row < 3; ++row) expected.insert(expected.end(), blank.begin(), blank.end());
  EXPECT_EQ(out.block, expected);
  EXPECT_EQ(out.topFieldOffset, 2);
  EXPECT_EQ(out.bottomFieldOffset, 2 + 16);
}

}  // namespace
}  // namespace quillet
