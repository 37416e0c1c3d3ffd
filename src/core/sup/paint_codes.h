// What a run's role colours make of the four paints a frame pixel can have, worked out once per run.
#pragma once

#include <array>
#include <cstdint>

#include "render/frame.h"

namespace quillet {

// The paints a frame pixel can end with, in drawing order: untouched blue, then the outline, antialias and
// text passes' colours.
enum Paint : uint8_t { kPaintBlue = 0, kPaintOutline = 1, kPaintAntialias = 2, kPaintText = 3 };

/*
 * A frame is scanned by colour, not by paint: neighbouring pixels of two paints with the same RGB (text and
 * outline on one palette entry, a role coloured pure blue) make one run, and a run's role code is that of its
 * RGB, where blue wins over the roles and text over outline over antialias. Coding a band straight from the
 * passes needs the same answers per paint:
 *   colour[p]  the first paint with p's RGB: two paints continue a run exactly when their colours agree;
 *   role[p]    the role code a pixel of p's RGB classifies to.
 */
struct PaintCodes {
  std::array<uint8_t, 4> colour{};
  std::array<uint8_t, 4> role{};
  bool operator==(const PaintCodes&) const = default;
};

PaintCodes PaintCodesFor(const RoleRgb& roles);

}  // namespace quillet
