// What a run's role colours make of the four paints a frame pixel can have, worked out once per run.
#include "sup/paint_codes.h"

#include "sup/role_colours.h"

namespace quillet {

PaintCodes PaintCodesFor(const RoleRgb& roles) {
  const std::array<Rgb, 4> rgb{kFrameBlue, roles.outline, roles.antialias, roles.text};
  PaintCodes codes;
  for (uint8_t p = 0; p < 4; ++p) {
    uint8_t first = 0;
    while (!(rgb[first] == rgb[p])) ++first;
    codes.colour[p] = first;
    codes.role[p] = ClassifyPixel(rgb[p], roles);
  }
  return codes;
}

}  // namespace quillet
