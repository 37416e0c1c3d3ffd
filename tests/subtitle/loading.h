// Shared by the subtitle tests: loading bytes through a scratch file, with what the load said.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "scripted_view.h"
#include "subtitle/subtitle.h"
#include "test_support.h"

namespace quillet {

// Failures print entries as text rather than as bytes of the object.
inline void PrintTo(const SubtitleLine& line, std::ostream* out) {
  *out << "{" << line.StartTime << ", " << line.EndTime << ", \"" << line.Line1 << "\", \"" << line.Line2 << "\", \""
       << line.Line3 << "\"}";
}

inline void PrintTo(const SkippedEntry& entry, std::ostream* out) {
  *out << "{line " << entry.line << ": " << entry.reason << "}";
}

}  // namespace quillet

namespace quillet::test {

// A document loaded from `bytes` written to a file called `name` in a fresh folder, with what it said.
struct Loaded {
  TSubtitle document;
  std::vector<std::string> messages;
};

inline Loaded LoadBytes(const std::string& bytes, const std::string& name = "film.srt") {
  TempDir dir;
  ScriptedView sink;
  Loaded result;
  result.document.LoadFromFile(dir.Write(name, bytes), true, sink);
  result.messages = sink.messages;
  return result;
}

inline SubtitleLine Entry(std::string start, std::string end, std::string line1 = "", std::string line2 = "",
                          std::string line3 = "") {
  return SubtitleLine{std::move(start), std::move(end), std::move(line1), std::move(line2), std::move(line3), {}};
}

// The entries' times and text alone: the tests of markup removal look at the letters; what the markup says is
// tested on its own (style_markup_test.cpp).
inline std::vector<SubtitleLine> TextOf(std::vector<SubtitleLine> lines) {
  for (SubtitleLine& line : lines) line.Style = {};
  return lines;
}

}  // namespace quillet::test
