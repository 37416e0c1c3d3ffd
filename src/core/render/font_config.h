// The installed fonts as fontconfig describes them, loaded once and shared by every font engine of a process.
#pragma once

#include <memory>

struct _FcConfig;

namespace quillet {

/*
 * Loading fontconfig's configuration reads its XML files and the caches of every font folder: milliseconds,
 * more than rendering a whole short job. So it is loaded once and handed to every engine (the window's, the
 * workers' of a generation run); fontconfig's matching and listing may then run on several threads at once.
 * The configuration is never changed after loading.
 */
class FontConfig {
 public:
  // Throws QuilletError when the configuration cannot be loaded.
  static std::shared_ptr<const FontConfig> Load();
  ~FontConfig();
  FontConfig(const FontConfig&) = delete;
  FontConfig& operator=(const FontConfig&) = delete;

  _FcConfig* Get() const { return m_config; }

 private:
  explicit FontConfig(_FcConfig* config) : m_config(config) {}
  _FcConfig* m_config;
};

}  // namespace quillet
