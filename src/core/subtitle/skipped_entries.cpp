// Entries a reader could not read: where they are, why, and the one notice that lists them after a load.
#include "subtitle/skipped_entries.h"

#include <algorithm>

namespace quillet {

std::string SkippedEntriesNotice(const std::string& fileName, const std::vector<SkippedEntry>& skipped) {
  if (skipped.empty()) return {};
  constexpr std::size_t kListed = 20;  // a message box of a thousand lines helps nobody
  std::string notice = std::to_string(skipped.size()) + (skipped.size() == 1 ? " entry" : " entries") + " of \"" +
                       fileName + "\" could not be read and " + (skipped.size() == 1 ? "was" : "were") + " skipped:";
  const std::size_t listed = std::min(skipped.size(), kListed);
  for (std::size_t i = 0; i < listed; ++i) {
    notice += "\rline " + std::to_string(skipped[i].line) + ": " + skipped[i].reason;
  }
  if (listed < skipped.size()) notice += "\rand " + std::to_string(skipped.size() - listed) + " more";
  return notice;
}

}  // namespace quillet
