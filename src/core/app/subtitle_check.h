// "quillet check" for one file: every entry read, laid out and coded, nothing written, and what a DVD would
// get wrong listed one line each.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "app/named_run_setup.h"

namespace quillet {

struct CheckOutcome {
  int entries = 0;
  int largestUnitBytes = 0;  // the largest subpicture unit of the file
  int largestEntry = 0;      // its entry, 1-based
  // What the largest unit is and what a player holds of it (a Blu-ray check: a display set's coded objects).
  std::string unitName = "subpicture";
  int unitLimitBytes = 53220;
  // One line each, without the file name: lines too wide, overlaps, durations, clipped text, characters no
  // font has, subpictures too large, or why the file could not be read.
  std::vector<std::string> problems;
  // Told, not counted: how the text was read when it was read right (a code page found from the text, a
  // byte-order mark over the chosen charset).
  std::vector<std::string> notes;
  // Problems past the first kListedProblems, counted but not listed: a file of millions of broken entries gives a
  // list a person can read, and holds no line per entry.
  std::size_t unlistedProblems = 0;
  std::size_t ProblemCount() const { return problems.size() + unlistedProblems; }
  void Add(std::string problem);
};
constexpr std::size_t kListedProblems = 300;

// Checks every entry with the run's settings. Entries finished are added to `entriesDone`. Never throws.
CheckOutcome CheckSubtitleFile(const NamedRunSetup& setup, const std::string& path, FontEngine& engine,
                               std::atomic<long>& entriesDone);

}  // namespace quillet
