// The installed fonts as fontconfig describes them, loaded once and shared by every font engine of a process.
#include "render/font_config.h"

#include <fontconfig/fontconfig.h>

#include "base/errors.h"

namespace quillet {

std::shared_ptr<const FontConfig> FontConfig::Load() {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) throw QuilletError("The font configuration (fontconfig) cannot be loaded.");
  return std::shared_ptr<const FontConfig>(new FontConfig(config));
}

FontConfig::~FontConfig() { FcConfigDestroy(m_config); }

}  // namespace quillet
