// The reference coder: a rendered frame's band scanned pixel by pixel into runs and coded field by field, kept
// to check the program's coding straight from the passes byte for byte. Nothing in the program codes with it.
#include "reference_coder.h"

#include <cassert>
#include <stdexcept>
#include <string>

#include "base/errors.h"
#include "literal_role.h"

namespace quillet {

void EncodeRow(std::span<const PixelRun> runs, std::vector<uint8_t>& out) {
  uint8_t row[kRowCodeBufferBytes];
  RowCodeWriter writer(row);
  int pixels = 0;
  for (const PixelRun& run : runs) {
    assert(run.role < 4);
    // The checks also keep the codes inside the row buffer.
    if (run.length < 1) throw std::invalid_argument("a run of no pixels");
    pixels += run.length;
    if (pixels > kCodedRowPixels) throw std::invalid_argument("a row's runs cover more than 719 pixels");
    writer.Run(run.length, run.role);
  }
  writer.AppendTo(out);
}

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
      out.AddRun(PixelRun{x - start, test::LiteralRole(roles, colour)});
      start = x;
      colour = next;
    }
    out.AddRun(PixelRun{kCodedRowPixels - start, test::LiteralRole(roles, colour)});
    out.EndRow();
  }
}

BandRuns ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles) {
  BandRuns runs;
  ScanBand(frame, bandTop, bandHeight, roles, runs);
  return runs;
}

void EncodeFields(const BandRuns& runs, PixelData& out) {
  out.block.clear();
  out.block.push_back(0);
  out.block.push_back(0);
  out.topFieldOffset = static_cast<int>(out.block.size());
  for (int row = 0; row < runs.RowCount(); row += 2) EncodeRow(runs.Row(row), out.block);
  out.bottomFieldOffset = static_cast<int>(out.block.size());
  for (int row = 1; row < runs.RowCount(); row += 2) EncodeRow(runs.Row(row), out.block);
}

PixelData EncodeFields(const BandRuns& runs) {
  PixelData out;
  EncodeFields(runs, out);
  return out;
}

PixelData EncodeFrameBand(const RenderedFrame& frame, const RoleRgb& roles) {
  // The band starts on an even row so that its first row opens the top field.
  if (frame.bandTop % 2 != 0) {
    throw QuilletError("The text band starts on row " + std::to_string(frame.bandTop) + ", which is not even.");
  }
  return EncodeFields(ScanBand(frame.frame, frame.bandTop, frame.bandHeight, roles));
}

void EncodeFrame(const RenderedFrame& frame, const RoleRgb& roles, EncodedEntry& out) {
  out.pixels = EncodeFrameBand(frame, roles);
  out.bandTop = frame.bandTop;
  out.bandHeight = frame.bandHeight;
  out.bandFit = frame.bandFit;
  out.missingCharacters = frame.missingCharacters;
  out.controlCharacters = frame.controlCharacters;
}

}  // namespace quillet
