// The notice told once after a run: which entries were written otherwise than the subtitle file says.
#include "run/run_notice.h"

#include <algorithm>

#include "base/number_text.h"
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
  if (adjustments & kStartBeforeZero) add("starts before 00:00:00,000 (shown from 00:00:00,000)");
  if (adjustments & kLastsTooLong) add("lasts longer than 745.6 s (shown for 745.6 s)");
  return what;
}

template <typename Describe>
std::string List(const std::vector<int>& entries, const std::vector<unsigned>& whats, Describe describe) {
  std::string text;
  const std::size_t listed = std::min(entries.size(), static_cast<std::size_t>(RunNotice::kListedEntries));
  for (std::size_t i = 0; i < listed; ++i) {
    if (i > 0) text += "; ";
    const std::string what = describe(whats[i]);
    text += "entry " + std::to_string(entries[i]) + (what.empty() ? "" : " " + what);
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

// `intro`, then each character with the first entry it is in. Control characters are named by number only.
std::string CharactersText(std::string intro, const std::vector<std::pair<char32_t, int>>& characters, bool shown) {
  std::string text = std::move(intro);
  const std::size_t listed = std::min(characters.size(), static_cast<std::size_t>(RunNotice::kListedEntries));
  for (std::size_t i = 0; i < listed; ++i) {
    if (i > 0) text += "; ";
    const char32_t c = characters[i].first;
    text += (shown ? Utf8(c) + " (" + CodePointName(c) + ")" : CodePointName(c)) + " first in entry " +
            std::to_string(characters[i].second);
  }
  if (characters.size() > listed) text += "; and " + std::to_string(characters.size() - listed) + " more";
  return text + ".";
}

void AddEachOnce(std::vector<std::pair<char32_t, int>>& list, int entryIndex, std::u32string_view characters) {
  for (char32_t c : characters) {
    const bool known = std::any_of(list.begin(), list.end(), [c](const auto& m) { return m.first == c; });
    if (!known) list.emplace_back(c, entryIndex);
  }
}

}  // namespace

void RunNotice::AddMissingCharacters(int entryIndex, std::u32string_view characters) {
  AddEachOnce(m_missing, entryIndex, characters);
}

void RunNotice::AddControlCharacters(int entryIndex, std::u32string_view characters) {
  AddEachOnce(m_controls, entryIndex, characters);
}

void RunNotice::AddLinesLeftOut(int entryIndex, int drawnLines) {
  m_linesLeftOut.push_back(entryIndex);
  m_drawnLines = drawnLines;
}

void RunNotice::AddTiming(int entryIndex, unsigned adjustments) {
  if (adjustments != kTimingAsWritten) m_timing.push_back({entryIndex, adjustments});
}

void RunNotice::AddNotShown(int entryIndex, bool endsBeforeStart) {
  m_notShown.push_back({entryIndex, endsBeforeStart ? 1u : 0u});
}

void RunNotice::AddClipped(int entryIndex, BandFit fit) {
  if (fit != BandFit::Inside) m_clipped.push_back({entryIndex, static_cast<unsigned>(fit)});
}

std::vector<int> RunNotice::TimingEntries() const {
  std::vector<int> entries;
  for (const Item& item : m_timing) entries.push_back(item.entryIndex);
  return entries;
}

std::vector<int> RunNotice::NotShownEntries() const {
  std::vector<int> entries;
  for (const Item& item : m_notShown) entries.push_back(item.entryIndex);
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
  if (m_reorderedAt > 0) {
    lines.push_back("The entries are not in time order (entry " + std::to_string(m_reorderedAt) +
                    " starts before the one above it); they are written in time order.");
  }
  if (!m_notShown.empty()) {
    const bool one = m_notShown.size() == 1;
    lines.push_back(Entries(static_cast<int>(m_notShown.size())) + (one ? " is" : " are") +
                    " not written, since a DVD player could not show " + (one ? "it" : "them") + ": " +
                    List(NotShownEntries(), whats(m_notShown), [](unsigned endsBeforeStart) {
                      return std::string(endsBeforeStart ? "ends before it starts" : "lasts less than 6 ms");
                    }));
  }
  if (!m_timing.empty()) {
    lines.push_back(Entries(TimingCount()) +
                    " had times a DVD cannot hold: " + List(TimingEntries(), whats(m_timing), TimingWhat));
  }
  if (!m_clipped.empty()) {
    lines.push_back(Entries(ClippedCount()) + " had text outside the frame, which a DVD player does not show: " +
                    List(ClippedEntries(), whats(m_clipped), [](unsigned fit) {
                      return static_cast<BandFit>(fit) == BandFit::Outside
                                 ? std::string("is wholly outside (nothing shown)")
                                 : std::string("is partly cut off");
                    }));
  }
  if (!m_missing.empty()) {
    lines.push_back(
        CharactersText("No installed font has these characters, so they are drawn as empty boxes (install "
                       "a font that has them and generate again): ",
                       m_missing, true));
  }
  if (!m_controls.empty()) {
    lines.push_back(
        CharactersText("These control characters are not drawn (a tab is drawn as a space): ", m_controls, false));
  }
  if (!m_linesLeftOut.empty()) {
    lines.push_back(
        Entries(static_cast<int>(m_linesLeftOut.size())) +
        (m_drawnLines == 3 ? " had more than three lines; only the first three are drawn: "
                           : " had more than two lines; only the first two are drawn: ") +
        List(m_linesLeftOut, std::vector<unsigned>(m_linesLeftOut.size()), [](unsigned) { return std::string(); }));
  }
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
