// Entries a reader could not read: where they are, why, and the one notice that lists them after a load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

struct SkippedEntry {
  int line = 0;        // 1-based line of the file where the entry starts
  std::string reason;  // "the end time cannot be read"; names no subtitle text
  bool operator==(const SkippedEntry&) const = default;
};

// Why an entry that ends at or before the start of the film is left out: no player ever shows it. (One that
// starts before 0 and ends after it is kept; it shows from 0.)
inline constexpr const char* kEndsBeforeFilmStarts = "ends at or before 00:00:00,000, so it is never shown";
inline bool EndsBeforeFilmStarts(std::int64_t endMs) { return endMs <= 0; }

// "2 entries of "<file>" could not be read and were skipped:" then one line per entry, "line 12: <reason>",
// lines broken by a lone carriage return. Long lists show their first 20 and say how many more there are.
// Empty when nothing was skipped.
std::string SkippedEntriesNotice(const std::string& fileName, const std::vector<SkippedEntry>& skipped);

}  // namespace quillet
