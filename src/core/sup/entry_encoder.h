// Turning one rendered frame into its pixel-data block, reusing the scan and code buffers entry after entry.
#pragma once

#include "render/frame.h"
#include "sup/band_scan.h"
#include "sup/run_length_coding.h"

namespace quillet {

// One object per thread: it keeps its buffers between entries, so a run allocates nothing per entry once
// they have grown.
class EntryEncoder {
 public:
  explicit EntryEncoder(const RoleRgb& roles) : m_roles(roles) {}

  // Scans the frame's band and codes its two fields into `out`. Throws QuilletError when the band is
  // empty, starts on an odd row or leaves the frame.
  void Encode(const RenderedFrame& frame, PixelData& out);

 private:
  RoleRgb m_roles;
  BandRuns m_runs;
};

}  // namespace quillet
