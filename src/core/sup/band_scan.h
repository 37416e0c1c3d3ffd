// Cutting the text band of a frame into runs of identical pixels, one run list per band row.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "render/frame.h"
#include "render/image.h"

namespace quillet {

// Pixels coded per row: x = 0..718. The last column is never coded; the end-of-line code fills it with the
// background role.
constexpr int kCodedRowPixels = kFrameWidth - 1;

// A run of `length` (1..719) neighbouring pixels of one colour, with that colour's role code.
struct PixelRun {
  int length = 0;
  uint8_t role = 0;
  bool operator==(const PixelRun&) const = default;
};

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

}  // namespace quillet
