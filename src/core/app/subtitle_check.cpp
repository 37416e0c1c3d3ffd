// "quillet check" for one file: every entry read, laid out and coded, nothing written.
#include "app/subtitle_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/file_conversion.h"
#include "app/long_lines.h"
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
  return sides;
}

}  // namespace

std::string ClockTime(double ms) {
  const bool negative = ms < 0;
  const long long total = std::llround(std::fabs(ms));
  char text[48];
  std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld,%03lld", negative ? "-" : "", total / 3600000,
                total / 60000 % 60, total / 1000 % 60, total % 1000);
  return text;
}

CheckOutcome CheckSubtitleFile(const NamedRunSetup& setup, const std::string& path, FontEngine& engine,
                               std::atomic<long>& entriesDone) {
  CheckOutcome outcome;
  std::vector<std::string> notices;
  TSubtitle document;
  try {
    document = ReadSubtitleForRun(path, setup.characters, notices, setup.options);
  } catch (const std::exception& e) {
    outcome.problems.push_back("cannot be read: " + OneLine(e.what()));
    return outcome;
  }
  for (const std::string& notice : notices) outcome.problems.push_back(notice);
  outcome.entries = document.Count();
  const RenderSettings render = setup.Render(document.UnicodeText);
  if (setup.options.wrap) BreakLongLinesOfDocument(document, engine, render.font);

  const int frameHeight = FrameHeight(render.standard);
  const PaintCodes codes = PaintCodesFor(render.roles);
  EntryPasses passes;
  EncodedEntry encoded;
  int tooLarge = 0;
  std::u32string missing;
  for (int n = 1; n <= document.Count(); ++n) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(n - 1)];
    try {
      const LineMeasures m = MeasureSubtitleLines(engine, line.Line1, line.Line2, render.font);
      if (std::string tooWide = LineTooWide(n, m); !tooWide.empty()) outcome.problems.push_back(std::move(tooWide));

      const double startMs = ParseTimeMs(line.StartTime);
      const double endMs = ParseTimeMs(line.EndTime);
      if (n < document.Count()) {
        const double nextStartMs = ParseTimeMs(document.Lines[static_cast<std::size_t>(n)].StartTime);
        if (nextStartMs < endMs) {
          outcome.problems.push_back(Entry(n) + ": overlaps entry " + std::to_string(n + 1) + " (ends at " +
                                     ClockTime(endMs) + ", the next starts at " + ClockTime(nextStartMs) + ")");
        }
      }
      const PacketTiming timing = TimingFor(startMs, endMs);
      if (!StartTimeFits(startMs)) {
        outcome.problems.push_back(Entry(n) + ": starts at " + ClockTime(startMs) + ", later than the " +
                                   ClockTime(kFirstUnwritableStartMs) + " a DVD presentation time can say");
      }
      if (timing.adjustments & kStartBeforeZero) {
        outcome.problems.push_back(Entry(n) + ": starts before 0 (at " + ClockTime(startMs) +
                                   "); a DVD shows it from 00:00:00,000");
      }
      if (timing.adjustments & kEndsBeforeStart) {
        outcome.problems.push_back(Entry(n) + ": ends before it starts (from " + ClockTime(startMs) + " to " +
                                   ClockTime(endMs) + "); a DVD would not show it");
      }
      if (timing.adjustments & kLastsTooLong) {
        outcome.problems.push_back(Entry(n) + ": lasts " + ClockTime(endMs - std::max(0.0, startMs)) +
                                   ", longer than the " + ClockTime(kMaxDelayTicks * kDelayTickMs) +
                                   " a DVD subpicture can be shown");
      }

      const LineOrigins origins = PlaceSubtitleLines(m, render.align, render.offset, render.offsetOr, frameHeight);
      const std::string sides = ClippedSides(m, origins, !line.Line2.empty(), render.outlineWidthPx, frameHeight);
      RenderEntryPasses(engine, line.Line1, line.Line2, render, passes);
      if (!sides.empty() || passes.band.fit != BandFit::Inside) {
        outcome.problems.push_back(Entry(n) + ": text clipped by the frame" +
                                   (sides.empty() ? std::string() : " (" + sides + ")"));
      }

      if (!line.Line3.empty()) {
        outcome.problems.push_back(Entry(n) + ": has more than two lines; only the first two are drawn");
      }
      for (char32_t c : passes.controlCharacters) {
        outcome.problems.push_back(Entry(n) + ": the control character " + CodePointName(c) + " is not drawn");
      }

      // The layout's own verdict: what no stand-in face could draw either.
      for (char32_t c : passes.missingCharacters) {
        if (missing.find(c) != std::u32string::npos) continue;
        missing += c;
        outcome.problems.push_back(Entry(n) + ": no installed font has the character " + CodePointName(c));
      }

      EncodePasses(passes, codes, encoded);
      const int unitBytes = static_cast<int>(SubpictureUnitSize(encoded.pixels.block.size()));
      if (unitBytes > kMaxSubpictureUnitBytes) ++tooLarge;
      if (unitBytes > outcome.largestUnitBytes) {
        outcome.largestUnitBytes = unitBytes;
        outcome.largestEntry = n;
      }
    } catch (const std::exception& e) {
      outcome.problems.push_back(Entry(n) + ": " + OneLine(e.what()));
    }
    entriesDone.fetch_add(1, std::memory_order_relaxed);
  }
  if (tooLarge > 0) {
    outcome.problems.push_back("largest subpicture: " + Entry(outcome.largestEntry) + ", " +
                               Thousands(outcome.largestUnitBytes) + " bytes, more than the " +
                               Thousands(kMaxSubpictureUnitBytes) + " a DVD player holds (" + std::to_string(tooLarge) +
                               (tooLarge == 1 ? " entry is" : " entries are") + " too large)");
  }
  return outcome;
}

}  // namespace quillet
