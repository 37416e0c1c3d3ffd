// The role colours of a generation run and the 2-bit role codes of a subpicture.
#pragma once

#include <array>
#include <cstdint>

#include "render/frame.h"

namespace quillet {

// The 2-bit pixel values of a subpicture: each is one colour role.
enum RoleCode : uint8_t {
  kRoleBackground = 0,
  kRoleText = 1,
  kRoleOutline = 2,
  kRoleAntialias = 3,
};

// The role of a frame pixel of this colour. The comparisons are exact, with no nearest-colour search: pure blue
// is always background; where role colours coincide text wins over outline, outline over antialias; a colour
// that none of the roles has (a blended edge, say) is background.
RoleCode ClassifyPixel(Rgb colour, const RoleRgb& roles);

// The drawing colours of the antialias, outline and text roles, taken from the 16 palette swatches by the
// palette entry (0..15) each role's list selects. Throws std::out_of_range for an entry outside 0..15.
RoleRgb CaptureRoleColours(const std::array<Rgb, 16>& swatches, int antialiasEntry, int outlineEntry, int textEntry);

}  // namespace quillet
