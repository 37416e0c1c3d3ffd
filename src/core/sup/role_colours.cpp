// The role colours of a generation run and the role of a frame pixel.
#include "sup/role_colours.h"

#include <stdexcept>
#include <string>

namespace quillet {

RoleCode ClassifyPixel(Rgb colour, const RoleRgb& roles) {
  if (colour == kFrameBlue) return kRoleBackground;
  if (colour == roles.text) return kRoleText;
  if (colour == roles.outline) return kRoleOutline;
  if (colour == roles.antialias) return kRoleAntialias;
  return kRoleBackground;
}

RoleRgb CaptureRoleColours(const std::array<Rgb, 16>& swatches, int antialiasEntry, int outlineEntry, int textEntry) {
  auto at = [&](int entry) -> Rgb {
    if (entry < 0 || entry >= 16) throw std::out_of_range("palette entry " + std::to_string(entry) + " is not 0 to 15");
    return swatches[static_cast<std::size_t>(entry)];
  };
  return RoleRgb{at(antialiasEntry), at(outlineEntry), at(textEntry)};
}

}  // namespace quillet
