// The installed fonts as fontconfig describes them, loaded at most once and shared by every font engine of a
// process, and the answers it gave that later runs reuse.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "render/font_answers.h"

struct _FcConfig;

namespace quillet {

/*
 * Loading fontconfig's configuration reads its XML files and the caches of every font folder: milliseconds,
 * more than rendering a whole short job. So it is loaded once and handed to every engine (the window's, the
 * workers' of a generation run); fontconfig's matching and listing may then run on several threads at once.
 * The configuration is never changed after loading.
 *
 * Most runs need no more from it than the family list and the face for one name and style, the same answers
 * every time. Those are kept between runs (FontAnswers, in the user's cache folder) and fontconfig is loaded
 * only when something is asked that they do not hold, such as a stand-in for a character the face lacks. New
 * answers are saved when the configuration goes.
 */
class FontConfig {
 public:
  // `answersFile`: where answers are kept between runs; empty for nowhere.
  static std::shared_ptr<const FontConfig> Load(const std::string& answersFile = DefaultFontAnswersFile());
  ~FontConfig();
  FontConfig(const FontConfig&) = delete;
  FontConfig& operator=(const FontConfig&) = delete;

  // fontconfig's configuration, loaded on the first call (from any thread). Throws QuilletError when it
  // cannot be loaded.
  _FcConfig* Get() const;
  // Whether Get has loaded it.
  bool Loaded() const;

  // A kept answer, if there is one; and recording one fontconfig gave (saved when the configuration goes).
  std::optional<ResolvedFace> KnownFace(const std::string& name, bool bold, bool italic) const;
  void AddFace(const std::string& name, bool bold, bool italic, const ResolvedFace& face) const;
  std::optional<std::vector<std::string>> KnownFamilyNames() const;
  void AddFamilyNames(const std::vector<std::string>& names) const;

 private:
  explicit FontConfig(std::string answersFile);

  const std::string m_answersFile;
  mutable std::once_flag m_loadOnce;
  mutable std::atomic<_FcConfig*> m_config{nullptr};
  mutable std::mutex m_mutex;  // guards the answers
  mutable FontAnswers m_answers;
  mutable bool m_answersChanged = false;
};

// The face in the font file at `path` (its first face), as fontconfig reads the file: its first family name and
// whether it is bold or slanted. Empty when it is no font file fontconfig can read.
struct FontFileFace {
  std::string family;
  bool bold = false;
  bool italic = false;
};
std::optional<FontFileFace> ReadFontFileFace(const std::string& path);

}  // namespace quillet
