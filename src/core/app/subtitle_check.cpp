// "quillet check" for one file: every entry read, laid out and coded, nothing written.
#include "app/subtitle_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "app/document_job.h"
#include "app/file_conversion.h"
#include "app/long_lines.h"
#include "app/pgs_conversion.h"
#include "base/errors.h"
#include "base/number_text.h"
#include "render/code_point_class.h"
#include "render/line_length_check.h"
#include "render/subtitle_renderer.h"
#include "sup/entry_encoder.h"
#include "sup/mask_band_coder.h"

namespace quillet {
namespace {

std::string Thousands(long value) {
  const std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Entry(int n) { return "entry " + std::to_string(n); }

// Where the drawn text (its cells widened by the outline) leaves the frame, or empty.
std::string ClippedSides(const LineMeasures& m, const LineOrigins& o, bool twoLines, int outlinePx, int frameHeight) {
  std::string sides;
  auto add = [&](const char* side) {
    if (sides.find(side) != std::string::npos) return;
    if (!sides.empty()) sides += ", ";
    sides += side;
  };
  auto cell = [&](int x, int y, int w, int h) {
    if (y - outlinePx < 0) add("top");
    if (y + h + outlinePx > frameHeight) add("bottom");
    if (x - outlinePx < 0) add("left");
    if (x + w + outlinePx > kFrameWidth) add("right");
  };
  cell(o.x1, o.y1, m.w1, m.h1);
  if (twoLines) cell(o.x2, o.y2, m.w2, m.h2);
  if (m.h3 > 0) cell(o.x3, o.y3, m.w3, m.h3);
  return sides;
}

}  // namespace

namespace {

// The checks of one file, entry by entry; each adds its lines to the outcome's problems in the order they are
// listed to the user: width, times, clipping, lines and characters, then the subpicture's size.
class FileCheck {
 public:
  FileCheck(const TSubtitle& document, const RenderSettings& render, FontEngine& engine, CheckOutcome& outcome)
      : m_document(document),
        m_render(render),
        m_engine(engine),
        m_outcome(outcome),
        m_frameHeight(FrameHeight(render.standard)),
        m_codes(PaintCodesFor(render.roles)) {}

  // Every check of entry n (1-based); what throws (a time that is no number) ends that entry's checks.
  void CheckEntry(int n) {
    const SubtitleLine& line = m_document.Lines[static_cast<std::size_t>(n - 1)];
    const EntryLayout layout = LayOutEntry(m_engine, EntryTextOf(line), m_render, m_frameHeight);
    const LineMeasures& m = layout.measures;
    if (std::string tooWide = LineTooWide(n, m); !tooWide.empty()) Add(std::move(tooWide));
    const double startMs = ParseTimeMs(line.StartTime);
    const double endMs = ParseTimeMs(line.EndTime);
    CheckTimes(n, startMs, endMs);
    RenderEntryPasses(m_engine, EntryTextOf(line), m_render, m_passes);
    CheckClipping(n, line, m, layout.origins);
    CheckLinesAndCharacters(n, line);
    CheckUnitSize(n);
  }

  void Add(std::string problem) { m_outcome.Add(std::move(problem)); }

  // The one line about subpictures too large for a player, after the entries.
  void SummariseUnitSizes() {
    if (m_tooLarge == 0) return;
    Add("largest subpicture: " + Entry(m_outcome.largestEntry) + ", " + Thousands(m_outcome.largestUnitBytes) +
        " bytes, more than the " + Thousands(kMaxSubpictureUnitBytes) + " a DVD player holds (" +
        std::to_string(m_tooLarge) + (m_tooLarge == 1 ? " entry is" : " entries are") + " too large)");
  }

 private:
  // An overlap with the entry shown after it, and times a DVD cannot hold as they are.
  void CheckTimes(int n, double startMs, double endMs) {
    if (const int next = NextInTime(n); next != 0) {
      const double nextStartMs = ParseTimeMs(m_document.Lines[static_cast<std::size_t>(next - 1)].StartTime);
      if (nextStartMs < endMs) {
        Add(Entry(n) + ": overlaps entry " + std::to_string(next) + " (ends at " + ClockTime(endMs) +
            ", the next starts at " + ClockTime(nextStartMs) + ")");
      }
    }
    const PacketTiming timing = TimingFor(startMs, endMs);
    if (!StartTimeFits(startMs)) {
      Add(Entry(n) + ": starts at " + ClockTime(startMs) + ", later than " + ClockTime(kLastWritableStartMs) +
          ", the last start a DVD presentation time can say");
    }
    if (timing.adjustments & kStartBeforeZero) {
      Add(Entry(n) + ": starts before 0 (at " + ClockTime(startMs) + "); a DVD shows it from 00:00:00,000");
    }
    if (timing.adjustments & kEndsBeforeStart) {
      Add(Entry(n) + ": ends before it starts (from " + ClockTime(startMs) + " to " + ClockTime(endMs) +
          "); a DVD cannot show it, so it is not written");
    } else if (!timing.Shown()) {
      Add(Entry(n) + ": lasts less than 6 ms (from " + ClockTime(startMs) + " to " + ClockTime(endMs) +
          "); a DVD cannot show it, so it is not written");
    }
    if (timing.adjustments & kLastsTooLong) {
      Add(Entry(n) + ": lasts " + ClockTime(endMs - std::max(0.0, startMs)) + ", longer than the " +
          ClockTime(kMaxDelayTicks * kDelayTickMs) + " a DVD subpicture can be shown");
    }
  }

  // The entry the run writes after entry n: in time order (entries that start together keep their file order),
  // among the entries it writes at all (not those a DVD cannot show, nor a frame-rate line); 0 for none. Worked
  // out once; an entry whose times are no numbers has no place in it.
  int NextInTime(int n) {
    if (m_nextInTime.empty()) {
      std::vector<std::pair<double, int>> starts;
      for (int i = 1; i <= m_document.Count(); ++i) {
        const SubtitleLine& line = m_document.Lines[static_cast<std::size_t>(i - 1)];
        try {
          const double startMs = ParseTimeMs(line.StartTime);
          if (i != m_document.FrameRateEntry && TimingFor(startMs, ParseTimeMs(line.EndTime)).Shown()) {
            starts.emplace_back(startMs, i);
          }
        } catch (const ConversionError&) {
        }
      }
      std::stable_sort(starts.begin(), starts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
      m_nextInTime.assign(static_cast<std::size_t>(m_document.Count()) + 1, 0);
      for (std::size_t i = 1; i < starts.size(); ++i) {
        m_nextInTime[static_cast<std::size_t>(starts[i - 1].second)] = starts[i].second;
      }
    }
    return m_nextInTime[static_cast<std::size_t>(n)];
  }

  // Text the frame's edge cuts: the cells (widened by the outline) or the band of rows drawn.
  void CheckClipping(int n, const SubtitleLine& line, const LineMeasures& m, const LineOrigins& origins) {
    const std::string sides = ClippedSides(m, origins, !line.Line2.empty(), m_render.outlineWidthPx, m_frameHeight);
    if (!sides.empty() || m_passes.band.fit != BandFit::Inside) {
      Add(Entry(n) + ": text clipped by the frame" + (sides.empty() ? std::string() : " (" + sides + ")"));
    }
  }

  // A third line, control characters, and characters no installed font has (each named once per file).
  void CheckLinesAndCharacters(int n, const SubtitleLine& line) {
    if (m_render.stylesFromFile && line.Style.moreLines) {
      Add(Entry(n) + ": has more than three lines; only the first three are drawn");
    }
    if (!line.Line3.empty() && !m_render.stylesFromFile)
      Add(Entry(n) + ": has more than two lines; only the first two are drawn");
    for (char32_t c : m_passes.controlCharacters) {
      Add(Entry(n) + ": the control character " + CodePointName(c) + " is not drawn");
    }
    // The layout's own verdict: what no stand-in face could draw either.
    for (char32_t c : m_passes.missingCharacters) {
      if (m_missing.find(c) != std::u32string::npos) continue;
      m_missing += c;
      Add(Entry(n) + ": no installed font has the character " + CodePointName(c));
    }
  }

  // The coded subpicture's size, against the largest so far and what a player holds.
  void CheckUnitSize(int n) {
    EncodePasses(m_passes, m_codes, m_encoded);
    const int unitBytes = static_cast<int>(SubpictureUnitSize(m_encoded.pixels.block.size()));
    if (unitBytes > kMaxSubpictureUnitBytes) ++m_tooLarge;
    if (unitBytes > m_outcome.largestUnitBytes) {
      m_outcome.largestUnitBytes = unitBytes;
      m_outcome.largestEntry = n;
    }
  }

  const TSubtitle& m_document;
  std::vector<int> m_nextInTime;  // by entry number, see NextInTime
  const RenderSettings& m_render;
  FontEngine& m_engine;
  CheckOutcome& m_outcome;
  const int m_frameHeight;
  const PaintCodes m_codes;
  EntryPasses m_passes;
  EncodedEntry m_encoded;
  std::u32string m_missing;
  int m_tooLarge = 0;
};

}  // namespace

void CheckOutcome::Add(std::string problem) {
  if (problems.size() < kListedProblems) {
    problems.push_back(std::move(problem));
  } else {
    ++unlistedProblems;
  }
}

CheckOutcome CheckSubtitleFile(const NamedRunSetup& setup, const std::string& path, FontEngine& engine,
                               std::atomic<long>& entriesDone) {
  CheckOutcome outcome;
  std::vector<std::string> notices;
  TSubtitle document;
  try {
    document = ReadSubtitleForRun(path, setup, notices);
  } catch (const std::exception& e) {
    outcome.problems.push_back("cannot be read: " + OneLine(e.what()));
    return outcome;
  }
  for (std::string& notice : notices) {
    // Text that reaches the layout as Unicode was read right; a guess that fell back to Windows-1252 was not.
    if (document.UnicodeText && notice == document.ReadingNotice) {
      outcome.notes.push_back(std::move(notice));
    } else {
      outcome.Add(std::move(notice));
    }
  }
  notices = {};
  outcome.entries = document.Count();
  const RenderSettings render = setup.Render(document.UnicodeText);
  if (setup.options.wrap) BreakLongLinesOfDocument(document, engine, render.font, WrapLineLimit(render));
  if (WritesPgs(setup.options.format)) {
    CheckPgsDocument(document, render, engine, setup.options, outcome, entriesDone);
    return outcome;
  }

  FileCheck check(document, render, engine, outcome);
  for (int n = 1; n <= document.Count(); ++n) {
    if (n == document.FrameRateEntry) {
      entriesDone.fetch_add(1, std::memory_order_relaxed);
      continue;  // the frame-rate line is no subtitle: nothing of it reaches the DVD
    }
    try {
      check.CheckEntry(n);
    } catch (const std::exception& e) {
      check.Add(Entry(n) + ": " + OneLine(e.what()));
    }
    entriesDone.fetch_add(1, std::memory_order_relaxed);
  }
  check.SummariseUnitSizes();
  return outcome;
}

}  // namespace quillet
