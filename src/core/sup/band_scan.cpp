// Cutting the text band of a frame into runs of identical pixels, one run list per band row.
#include "sup/band_scan.h"

#include <string>

#include "app/errors.h"
#include "sup/role_colours.h"

namespace quillet {
namespace {

// The three bytes of a pixel as one number, so neighbours compare with one test.
inline uint32_t PixelKey(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16; }

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
    uint32_t runKey = PixelKey(row);
    int runStart = 0;
    for (int x = 1; x < kCodedRowPixels; ++x) {
      const uint32_t key = PixelKey(row + 3 * x);
      if (key == runKey) continue;
      const uint8_t* first = row + 3 * runStart;
      out.AddRun(PixelRun{x - runStart, ClassifyPixel(roles, first[2], first[1], first[0])});
      runKey = key;
      runStart = x;
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
