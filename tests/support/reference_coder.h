// The reference coder: a rendered frame's band scanned pixel by pixel into runs and coded field by field, kept
// to check the program's coding straight from the passes byte for byte. Nothing in the program codes with it.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "render/frame.h"
#include "render/image.h"
#include "sup/entry_encoder.h"
#include "sup/run_length_coding.h"

namespace quillet {

// A run of `length` (1..719) neighbouring pixels of one colour, with that colour's role code.
struct PixelRun {
  int length = 0;
  uint8_t role = 0;
  bool operator==(const PixelRun&) const = default;
};

// Appends one coded row to `out` (RowCodeWriter's code), after checking the runs: throws std::invalid_argument
// when a run is empty or the runs cover more than 719 pixels.
void EncodeRow(std::span<const PixelRun> runs, std::vector<uint8_t>& out);

// The run lists of all rows of one band, row 0 being the band's first row. The runs live in one flat
// store so that scanning entry after entry into the same object allocates nothing once it has grown.
class BandRuns {
 public:
  void Clear() {
    m_runs.clear();
    m_rowEnds.clear();
  }
  int RowCount() const { return static_cast<int>(m_rowEnds.size()); }
  std::span<const PixelRun> Row(int row) const {
    const std::size_t begin = row == 0 ? 0 : m_rowEnds[static_cast<std::size_t>(row) - 1];
    return std::span<const PixelRun>(m_runs).subspan(begin, m_rowEnds[static_cast<std::size_t>(row)] - begin);
  }
  void AddRun(PixelRun run) { m_runs.push_back(run); }
  void EndRow() { m_rowEnds.push_back(m_runs.size()); }

 private:
  std::vector<PixelRun> m_runs;
  std::vector<std::size_t> m_rowEnds;
};

// Scans frame rows bandTop .. bandTop + bandHeight - 1 into `out` (cleared first). A row starts a new run
// wherever a pixel's three bytes differ from its left neighbour's, even when both classify to the same role;
// each run's role is the role of its first pixel. Pixel 719 is not read.
// Throws QuilletError when the frame is narrower than 719 pixels, the band is empty or leaves the frame.
void ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles, BandRuns& out);
BandRuns ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles);

// Builds the pixel-data block of a band whose first row is even, so band row 0 opens the top field.
// `out` is overwritten; its buffer is reused.
void EncodeFields(const BandRuns& runs, PixelData& out);
PixelData EncodeFields(const BandRuns& runs);

// Scans a rendered frame's band and codes its two fields. Throws QuilletError when the band is empty, starts
// on an odd row or leaves the frame.
PixelData EncodeFrameBand(const RenderedFrame& frame, const RoleRgb& roles);

// The frame path: the frame's band scanned (its pixels classified by the role colours) and coded, with the
// frame's band and missing characters; the bytes EncodePasses gives straight from the passes.
// Throws as EncodeFrameBand does.
void EncodeFrame(const RenderedFrame& frame, const RoleRgb& roles, EncodedEntry& out);

}  // namespace quillet
