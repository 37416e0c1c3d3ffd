// The notice told once after a run: which entries were written otherwise than the subtitle file says.
#include "run/run_notice.h"

#include <algorithm>

#include "base/utf8_text.h"
#include "render/code_point_class.h"
#include "sup/subpicture_unit.h"

namespace quillet {
namespace {

std::string Entries(int count) { return std::to_string(count) + (count == 1 ? " entry" : " entries"); }

std::string TimingWhat(unsigned adjustments) {
  std::string what;
  auto add = [&](const char* text) {
    if (!what.empty()) what += " and ";
    what += text;
  };
  if (adjustments & kStartBeforeZero) add("starts before 0:00:00 (shown from 0:00:00)");
  if (adjustments & kEndsBeforeStart) add("ends before it starts (not shown)");
  if (adjustments & kLastsTooLong) add("lasts longer than 745.6 s (shown for 745.6 s)");
  return what;
}

template <typename Describe>
std::string List(const std::vector<int>& entries, const std::vector<unsigned>& whats, Describe describe) {
  std::string text;
  const std::size_t listed = std::min(entries.size(), static_cast<std::size_t>(RunNotice::kListedEntries));
  for (std::size_t i = 0; i < listed; ++i) {
    if (i > 0) text += "; ";
    text += "entry " + std::to_string(entries[i]) + " " + describe(whats[i]);
  }
  if (entries.size() > listed) text += "; and " + std::to_string(entries.size() - listed) + " more";
  return text + ".";
}

// A code point as UTF-8, the text of the messages.
std::string Utf8(char32_t c) {
  std::string out;
  AppendUtf8(out, c);
  return out;
}

std::string MissingText(const std::vector<std::pair<char32_t, int>>& missing) {
  std::string text =
      "No installed font has these characters, so they are drawn as empty boxes (install a font that has them and "
      "generate again): ";
  const std::size_t listed = std::min(missing.size(), static_cast<std::size_t>(RunNotice::kListedEntries));
  for (std::size_t i = 0; i < listed; ++i) {
    if (i > 0) text += "; ";
    text += Utf8(missing[i].first) + " (" + CodePointName(missing[i].first) + ") first in entry " +
            std::to_string(missing[i].second);
  }
  if (missing.size() > listed) text += "; and " + std::to_string(missing.size() - listed) + " more";
  return text + ".";
}

}  // namespace

void RunNotice::AddMissingCharacters(int entryIndex, std::u32string_view characters) {
  for (char32_t c : characters) {
    const bool known = std::any_of(m_missing.begin(), m_missing.end(), [c](const auto& m) { return m.first == c; });
    if (!known) m_missing.emplace_back(c, entryIndex);
  }
}

void RunNotice::AddTiming(int entryIndex, unsigned adjustments) {
  if (adjustments != kTimingAsWritten) m_timing.push_back({entryIndex, adjustments});
}

void RunNotice::AddClipped(int entryIndex, BandFit fit) {
  if (fit != BandFit::Inside) m_clipped.push_back({entryIndex, static_cast<unsigned>(fit)});
}

std::vector<int> RunNotice::TimingEntries() const {
  std::vector<int> entries;
  for (const Item& item : m_timing) entries.push_back(item.entryIndex);
  return entries;
}

std::vector<int> RunNotice::ClippedEntries() const {
  std::vector<int> entries;
  for (const Item& item : m_clipped) entries.push_back(item.entryIndex);
  return entries;
}

std::vector<std::string> RunNotice::Lines() const {
  auto whats = [](const std::vector<Item>& items) {
    std::vector<unsigned> out;
    for (const Item& item : items) out.push_back(item.what);
    return out;
  };
  std::vector<std::string> lines;
  if (!m_timing.empty()) {
    lines.push_back(Entries(TimingCount()) + " had times a DVD cannot hold: " +
                    List(TimingEntries(), whats(m_timing), TimingWhat));
  }
  if (!m_clipped.empty()) {
    lines.push_back(Entries(ClippedCount()) + " had text outside the frame, which a DVD player does not show: " +
            List(ClippedEntries(), whats(m_clipped), [](unsigned fit) {
              return static_cast<BandFit>(fit) == BandFit::Outside ? std::string("is wholly outside (nothing shown)")
                                                                   : std::string("is partly cut off");
            }));
  }
  if (!m_missing.empty()) lines.push_back(MissingText(m_missing));
  return lines;
}

std::string RunNotice::Text() const {
  std::string text;
  for (const std::string& line : Lines()) {
    if (!text.empty()) text += "\r";
    text += line;
  }
  return text;
}

}  // namespace quillet
