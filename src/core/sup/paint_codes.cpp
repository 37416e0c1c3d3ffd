// What a run's role colours make of the four paints a frame pixel can have, worked out once per run.
#include "sup/paint_codes.h"

#include "sup/role_colours.h"

namespace quillet {
namespace {

// The role a frame pixel of this colour gets: pure blue is always background; where role colours coincide text
// wins over outline, outline over antialias.
uint8_t RoleOf(Rgb colour, const RoleRgb& roles) {
  if (colour == kFrameBlue) return kRoleBackground;
  if (colour == roles.text) return kRoleText;
  if (colour == roles.outline) return kRoleOutline;
  if (colour == roles.antialias) return kRoleAntialias;
  return kRoleBackground;
}

}  // namespace

PaintCodes PaintCodesFor(const RoleRgb& roles) {
  const std::array<Rgb, 4> rgb{kFrameBlue, roles.outline, roles.antialias, roles.text};
  PaintCodes codes;
  for (uint8_t p = 0; p < 4; ++p) {
    uint8_t first = 0;
    while (!(rgb[first] == rgb[p])) ++first;
    codes.colour[p] = first;
    codes.role[p] = RoleOf(rgb[p], roles);
  }
  return codes;
}

}  // namespace quillet
