// The notice told once after a run: which entries were written otherwise than the subtitle file says.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "render/frame.h"

namespace quillet {

/*
 * A run writes every entry, even one whose times a DVD cannot hold or whose text falls outside the frame; this
 * value collects those entries by number so that the person hears of each of them once, after the run, instead of
 * finding out on a player. Any run that writes subpicture units (the SUP file, the VobSub pair) fills one.
 */
class RunNotice {
 public:
  // `adjustments` is a set of TimingAdjustment bits; nothing is recorded for none.
  void AddTiming(int entryIndex, unsigned adjustments);
  // Records an entry whose text band is partly or wholly outside the frame; nothing for BandFit::Inside.
  void AddClipped(int entryIndex, BandFit fit);

  // Records an entry that is not written because a player could not show it (PacketTiming::Shown is false): it
  // ends before it starts, or it lasts less than one stop-delay tick.
  void AddNotShown(int entryIndex, bool endsBeforeStart);
  // Records that the entries are not in time order: `entryIndex` is the first that starts before the entry above
  // it. The outputs have them in time order all the same.
  void SetReordered(int entryIndex) { m_reorderedAt = entryIndex; }

  // Records characters of an entry that no installed font has; each character is named once, with the first
  // entry it occurs in.
  void AddMissingCharacters(int entryIndex, std::u32string_view characters);
  // Records control characters left out of an entry's lines; each is named once, with the first entry.
  void AddControlCharacters(int entryIndex, std::u32string_view characters);
  // Records an entry with lines beyond the two drawn.
  void AddLinesLeftOut(int entryIndex, int drawnLines = 2);

  bool Empty() const {
    return m_timing.empty() && m_clipped.empty() && m_missing.empty() && m_controls.empty() &&
           m_linesLeftOut.empty() && m_notShown.empty() && m_reorderedAt == 0;
  }
  int TimingCount() const { return static_cast<int>(m_timing.size()); }
  int ClippedCount() const { return static_cast<int>(m_clipped.size()); }
  // The entries named, in the order recorded.
  std::vector<int> TimingEntries() const;
  std::vector<int> ClippedEntries() const;
  std::vector<int> NotShownEntries() const;

  // One paragraph per kind, each naming its entries and what became of them; long lists are cut after
  // kListedEntries with the number left out. None when there is nothing to tell.
  std::vector<std::string> Lines() const;
  // The paragraphs joined by a carriage return (a line break in a message); empty when there is nothing to tell.
  std::string Text() const;

  static constexpr int kListedEntries = 20;

 private:
  struct Item {
    int entryIndex;
    unsigned what;  // TimingAdjustment bits, or the BandFit
  };
  std::vector<Item> m_timing;
  std::vector<Item> m_clipped;
  std::vector<Item> m_notShown;  // what: 1 when it ends before it starts
  int m_reorderedAt = 0;
  std::vector<std::pair<char32_t, int>> m_missing;  // character, first entry; in the order met
  std::vector<std::pair<char32_t, int>> m_controls;
  std::vector<int> m_linesLeftOut;
  int m_drawnLines = 2;
};

}  // namespace quillet
