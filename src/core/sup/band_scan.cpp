// Cutting the text band of a frame into runs of identical pixels, one run list per band row.
#include "sup/band_scan.h"

#include <cstring>
#include <string>

#include "app/errors.h"
#include "sup/role_colours.h"

namespace quillet {
namespace {

// The three bytes of a pixel as one number, so neighbours compare with one test.
inline uint32_t PixelKey(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16; }

// Eight pixels of one colour as three 64-bit words, so a stretch of a row compares with a few loads.
struct ColourBlock {
  uint64_t w0, w1, w2;
};

inline ColourBlock MakeBlock(const uint8_t* pixel) {
  uint8_t bytes[24];
  for (int i = 0; i < 24; i += 3) std::memcpy(bytes + i, pixel, 3);
  ColourBlock block;
  std::memcpy(&block.w0, bytes, 8);
  std::memcpy(&block.w1, bytes + 8, 8);
  std::memcpy(&block.w2, bytes + 16, 8);
  return block;
}

// True when the eight pixels at `pixels` all have the block's colour.
inline bool Matches(ColourBlock block, const uint8_t* pixels) {
  uint64_t w0, w1, w2;
  std::memcpy(&w0, pixels, 8);
  std::memcpy(&w1, pixels + 8, 8);
  std::memcpy(&w2, pixels + 16, 8);
  return ((w0 ^ block.w0) | (w1 ^ block.w1) | (w2 ^ block.w2)) == 0;
}

void CheckBand(const Image24& frame, int bandTop, int bandHeight) {
  if (frame.Width() < kCodedRowPixels) {
    throw QuilletError("The frame is " + std::to_string(frame.Width()) + " pixels wide; at least " +
                       std::to_string(kCodedRowPixels) + " are needed.");
  }
  if (bandHeight <= 0 || bandTop < 0 || bandTop > frame.Height() - bandHeight) {
    throw QuilletError("The text band (rows " + std::to_string(bandTop) + " to " +
                       std::to_string(bandTop + bandHeight - 1) + ") does not lie inside the frame of " +
                       std::to_string(frame.Height()) + " rows.");
  }
}

}  // namespace

void ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles, BandRuns& out) {
  CheckBand(frame, bandTop, bandHeight);
  out.Clear();
  for (int y = bandTop; y < bandTop + bandHeight; ++y) {
    const uint8_t* row = frame.Row(y);
    int runStart = 0;
    uint32_t runKey = PixelKey(row);
    ColourBlock block = MakeBlock(row);
    int x = 1;
    for (;;) {
      // Most of a band is long runs: skip them eight pixels at a time, then find the change pixel by pixel.
      while (x + 16 <= kCodedRowPixels && Matches(block, row + 3 * x) && Matches(block, row + 3 * x + 24)) x += 16;
      while (x + 8 <= kCodedRowPixels && Matches(block, row + 3 * x)) x += 8;
      while (x < kCodedRowPixels && PixelKey(row + 3 * x) == runKey) ++x;
      if (x >= kCodedRowPixels) break;
      const uint8_t* first = row + 3 * runStart;
      out.AddRun(PixelRun{x - runStart, ClassifyPixel(roles, first[2], first[1], first[0])});
      runStart = x;
      runKey = PixelKey(row + 3 * x);
      block = MakeBlock(row + 3 * x);
      ++x;
    }
    const uint8_t* first = row + 3 * runStart;
    out.AddRun(PixelRun{kCodedRowPixels - runStart, ClassifyPixel(roles, first[2], first[1], first[0])});
    out.EndRow();
  }
}

BandRuns ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles) {
  BandRuns runs;
  ScanBand(frame, bandTop, bandHeight, roles, runs);
  return runs;
}

}  // namespace quillet
