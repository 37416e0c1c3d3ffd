// What the benchmark programs share: a generated subtitle file in a scratch folder, and a message sink that
// drops everything.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/message_sink.h"

namespace quillet::bench {

class IgnoringSink : public MessageSink {
 public:
  void ShowMessage(const std::string&) override {}
};

// A folder of this process's own under the temporary folder (made when missing), for the given name.
inline std::filesystem::path ScratchFolder(const std::string& name) {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quillet-bench-" + name + "-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

// Writes the two-hour SubRip file of scripts/make_long_srt with `entries` entries at `path`; false when that
// fails.
inline bool MakeLongSrt(const std::filesystem::path& path, int entries) {
  const std::string command = "bash \"" QUILLET_SOURCE_DIR "/scripts/make_long_srt\" \"" + path.string() + "\" " +
                              std::to_string(entries);
  return std::system(command.c_str()) == 0;
}

}  // namespace quillet::bench
