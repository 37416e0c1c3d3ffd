// Cutting the text band of a frame into runs of identical pixels, one run list per band row.
#include "sup/band_scan.h"

#include <string>

#include "base/errors.h"
#include "sup/role_colours.h"

namespace quillet {
namespace {

// The colour of pixel x of a frame row (blue, green, red bytes).
inline Rgb PixelAt(const uint8_t* row, int x) { return Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]}; }

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

// A run ends where a pixel's colour differs from its left neighbour's, and takes the role of its colour.
// Pixel 719 is never read.
void ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles, BandRuns& out) {
  CheckBand(frame, bandTop, bandHeight);
  out.Clear();
  for (int y = bandTop; y < bandTop + bandHeight; ++y) {
    const uint8_t* row = frame.Row(y);
    int start = 0;
    Rgb colour = PixelAt(row, 0);
    for (int x = 1; x < kCodedRowPixels; ++x) {
      const Rgb next = PixelAt(row, x);
      if (next == colour) continue;
      out.AddRun(PixelRun{x - start, ClassifyPixel(colour, roles)});
      start = x;
      colour = next;
    }
    out.AddRun(PixelRun{kCodedRowPixels - start, ClassifyPixel(colour, roles)});
    out.EndRow();
  }
}

BandRuns ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles) {
  BandRuns runs;
  ScanBand(frame, bandTop, bandHeight, roles, runs);
  return runs;
}

}  // namespace quillet
