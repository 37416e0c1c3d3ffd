// The role of one pixel, compared the literal way (one test after another), for expectations in tests.
#pragma once

#include <cstdint>

#include "render/frame.h"
#include "sup/role_colours.h"

namespace quillet::test {

// Pure blue is background; then text, outline, antialias in this order; any other colour is background.
inline uint8_t LiteralRole(const RoleRgb& roles, Rgb pixel) {
  if (pixel == kFrameBlue) return kRoleBackground;
  if (pixel == roles.text) return kRoleText;
  if (pixel == roles.outline) return kRoleOutline;
  if (pixel == roles.antialias) return kRoleAntialias;
  return kRoleBackground;
}

}  // namespace quillet::test
