// The generation run: every entry rendered, coded and appended to the SUP file (and the VobSub pair) in list
// order, then the instruction file.
#include "run/generation_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "base/number_text.h"
#include "base/output_file.h"
#include "base/output_set.h"
#include "run/encode_pipeline.h"
#include "pgs/display_sets.h"
#include "run/worker_count.h"
#include "sup/vobsub_packs.h"

namespace quillet {
namespace {

int WorkerCount(const GenerationJob& job) {
  if (job.workerThreads >= 0) return job.workerThreads;
  return LookAheadWorkers(UsableProcessorCount());
}

// A failure of one entry whose message already names it.
class EntryFailure : public QuilletError {
 public:
  using QuilletError::QuilletError;
};

std::string TooLargeMessage(int entryIndex, const std::string& firstLine, int unitBytes) {
  return "Subtitle " + std::to_string(entryIndex) + " (\"" + LineForMessage(firstLine) + "\") needs a subpicture of " +
         std::to_string(unitBytes) + " bytes, more than the " + std::to_string(kMaxSubpictureUnitBytes) +
         " a DVD player can hold. Please use a smaller font or outline.";
}

// An entry as the run writes it: its number in the document and its times.
struct TimedEntry {
  int entryIndex = 0;
  double startMs = 0;
  double endMs = 0;
};

// The times of every entry, read before anything is written: a time that is not a number, or a start too late
// for a DVD to hold, refuses the whole run while any earlier output is still untouched.
std::vector<TimedEntry> ReadAllTimes(const GenerationJob& job) {
  std::vector<TimedEntry> times;
  times.reserve(static_cast<std::size_t>(std::max(0, job.entryCount)));
  for (int entryIndex = 1; entryIndex <= job.entryCount; ++entryIndex) {
    const GenerationEntry entry = job.entry ? job.entry(entryIndex) : GenerationEntry{"0", "0", ""};
    double startMs = 0;
    double endMs = 0;
    try {
      startMs = ParseTimeMs(entry.startTime);
      endMs = ParseTimeMs(entry.endTime);
    } catch (const std::exception& e) {
      throw EntryFailure("Subtitle " + std::to_string(entryIndex) + ": " + e.what());
    }
    if (!StartTimeFits(startMs)) {
      throw EntryFailure("Subtitle " + std::to_string(entryIndex) + " (\"" + LineForMessage(entry.firstLine) +
                         "\") starts at " + ClockTime(startMs) + ", but the last start a DVD can hold is " +
                         ClockTime(kLastWritableStartMs) + ". Nothing was written.");
    }
    times.push_back({entryIndex, startMs, endMs});
  }
  return times;
}

// The entries the run writes, in time order (entries that start together keep their order in the file). An entry a
// player could not show is left out and named in the notice, unless it is no subtitle at all (a MicroDVD file's
// frame-rate line).
std::vector<TimedEntry> EntriesToWrite(const GenerationJob& job, std::vector<TimedEntry> times, RunNotice& notice) {
  for (std::size_t i = 1; i < times.size(); ++i) {
    if (times[i].startMs < times[i - 1].startMs) {
      notice.SetReordered(times[i].entryIndex);
      break;
    }
  }
  std::stable_sort(times.begin(), times.end(),
                   [](const TimedEntry& a, const TimedEntry& b) { return a.startMs < b.startMs; });
  std::vector<TimedEntry> shown;
  shown.reserve(times.size());
  for (const TimedEntry& t : times) {
    const PacketTiming timing = TimingFor(t.startMs, t.endMs);
    if (timing.Shown()) {
      shown.push_back(t);
    } else if (!(job.entry && job.entry(t.entryIndex).notASubtitle)) {
      notice.AddNotShown(t.entryIndex, (timing.adjustments & kEndsBeforeStart) != 0);
    }
  }
  return shown;
}

// Appends entry i's packet header and subpicture unit to `packet` (cleared first).
void BuildPacket(int entryIndex, const std::string& firstLine, const PacketTiming& timing, const EncodedEntry& encoded,
                 const PaletteEntries& palette, std::vector<uint8_t>& packet) {
  packet.clear();
  const auto header = BuildPacketHeader(timing.pts90k);
  packet.insert(packet.end(), header.begin(), header.end());
  try {
    BuildSubpictureUnit(encoded.pixels, encoded.bandTop, encoded.bandHeight, palette, timing.delayTicks, packet);
  } catch (const SubpictureTooLargeError& e) {
    throw EntryFailure(TooLargeMessage(entryIndex, firstLine, e.UnitBytes()));
  }
}

// The run's output files: written under temporary names while the entries come, put in place together at the
// end (CommitOutputs), or abandoned, leaving every earlier file as it was.
class RunOutputs {
 public:
  explicit RunOutputs(const GenerationJob& job)
      : m_job(job),
        m_sup(job.paths.supPath),
        m_vobSub(job.paths.vobSubPath),
        m_idx(job.paths.idxPath),
        m_instruction(job.paths.instructionPath),
        m_index(job.vobSubIndex) {}

  void Open() {
    if (WritesSup()) m_sup.Open();
    if (WritesVobSub()) {
      m_vobSub.Open();
      m_idx.Open();
    }
  }

  // Entry i's packet (header and unit) to the SUP file, its unit to the VobSub pair and to the job's unitOut.
  void Write(int entryIndex, uint32_t pts90k, const std::vector<uint8_t>& packet) {
    if (m_job.pgs) {
      m_sup.Write(packet);
      return;
    }
    const std::span<const uint8_t> unit = std::span<const uint8_t>(packet).subspan(kPacketHeaderBytes);
    if (WritesSup()) m_sup.Write(packet);
    if (m_job.unitOut) m_job.unitOut(entryIndex, pts90k, unit);
    if (WritesVobSub()) {
      // The .sub carries the very unit the SUP packet holds behind its header.
      m_packs.clear();
      AppendVobSubPacks(unit, pts90k, m_packs);
      m_index.entries.push_back({pts90k, m_vobSubBytes});
      m_vobSub.Write(m_packs);
      m_vobSubBytes += m_packs.size();
    }
  }

  // A completed run's instruction file is written like the others; one that cannot even be created fails the run
  // but does not hold back the SUP file. Returns what went wrong, or empty.
  std::string WriteInstruction() {
    if (m_job.paths.instructionPath.empty()) return {};
    try {
      m_instruction.Open();
      m_instruction.Write(m_job.instructionText);
      m_instructionWritten = true;
      return {};
    } catch (const std::exception& e) {
      m_instruction.Abandon();
      return e.what();
    }
  }

  // Every new file is on disk before anything earlier goes. The earlier instruction file and .idx go first, so
  // that no moment (a crash included) shows them beside a SUP file or .sub they do not describe; the new
  // instruction file takes its name last.
  void Commit() {
    if (WritesVobSub()) m_idx.Write(BuildVobSubIndex(m_index));
    std::vector<OutputFile*> files;
    std::vector<std::string> removals;
    if (WritesSup()) files.push_back(&m_sup);
    // A file written through a link is replaced where the link points, in one rename; the link stays.
    auto removeEarlier = [&](const std::string& path, const OutputFile* written) {
      if (!path.empty() && !(written && written->ThroughLink())) removals.push_back(path);
    };
    if (WritesVobSub()) {
      files.push_back(&m_vobSub);
      files.push_back(&m_idx);
      removeEarlier(m_job.paths.idxPath, &m_idx);
    }
    if (m_instructionWritten) files.push_back(&m_instruction);
    removeEarlier(m_job.paths.instructionPath, m_instructionWritten ? &m_instruction : nullptr);
    CommitOutputs(files, removals);
  }

  void Abandon() {
    m_sup.Abandon();
    m_vobSub.Abandon();
    m_idx.Abandon();
    m_instruction.Abandon();
  }

 private:
  bool WritesSup() const { return !m_job.paths.supPath.empty(); }
  bool WritesVobSub() const { return !m_job.paths.idxPath.empty(); }

  const GenerationJob& m_job;
  OutputFile m_sup;
  OutputFile m_vobSub;
  OutputFile m_idx;
  OutputFile m_instruction;
  VobSubIndex m_index;
  std::vector<uint8_t> m_packs;
  uint64_t m_vobSubBytes = 0;
  bool m_instructionWritten = false;
};

// Where a Blu-ray stream has got to: the last presentation time and the next composition number.
struct PgsClock {
  uint32_t lastPts = 0;
  uint16_t compositionNumber = 0;
};

// The entry's packet into `packet`, and what the notice says of it. Returns its presentation time. A failure is
// rethrown naming the entry.
uint32_t CodeEntry(const GenerationJob& job, const TimedEntry& entry, const EncodedEntry& encoded,
                   std::vector<uint8_t>& packet, RunNotice& notice) {
  const int entryIndex = entry.entryIndex;
  try {
    const PacketTiming timing = TimingFor(entry.startMs, entry.endMs);
    const GenerationEntry described = job.entry ? job.entry(entryIndex) : GenerationEntry();
    BuildPacket(entryIndex, described.firstLine, timing, encoded, job.palette, packet);
    notice.AddTiming(entryIndex, timing.adjustments);
    notice.AddClipped(entryIndex, encoded.bandFit);
    notice.AddMissingCharacters(entryIndex, encoded.missingCharacters);
    notice.AddControlCharacters(entryIndex, encoded.controlCharacters);
    if (described.linesLeftOut) notice.AddLinesLeftOut(entryIndex, described.drawnLines);
    return timing.pts90k;
  } catch (const EntryFailure&) {
    throw;
  } catch (const std::exception& e) {
    throw EntryFailure("Subtitle " + std::to_string(entryIndex) + ": " + e.what());
  }
}

// 90 kHz ticks of a time in milliseconds, as a presentation time holds them; an end past the last time the 32 bits
// hold stays at that time rather than wrap round to the start.
uint32_t Ticks90k(double ms) {
  return static_cast<uint32_t>(std::min<long long>(std::llround(std::max(0.0, ms) * 90.0), 0xFFFFFFFF));
}

// A Blu-ray entry's display sets into `packet`, stamped with its times, and what the notice says of it. Returns its
// presentation time.
uint32_t CodePgsEntry(const GenerationJob& job, const TimedEntry& entry, double nextStartMs,
                      const EncodedEntry& encoded, std::vector<uint8_t>& packet, RunNotice& notice,
                      PgsClock& clock) {
  packet = encoded.pictureSets;
  const DisplaySetTimes times{Ticks90k(entry.startMs), Ticks90k(std::min(entry.endMs, nextStartMs)), clock.lastPts};
  StampDisplaySets(packet, times, clock.compositionNumber);
  clock.lastPts = times.endPts;
  const GenerationEntry described = job.entry ? job.entry(entry.entryIndex) : GenerationEntry();
  notice.AddClipped(entry.entryIndex, encoded.bandFit);
  notice.AddMissingCharacters(entry.entryIndex, encoded.missingCharacters);
  notice.AddControlCharacters(entry.entryIndex, encoded.controlCharacters);
  if (described.linesLeftOut) notice.AddLinesLeftOut(entry.entryIndex);
  return times.startPts;
}

// The entries in order until the run is asked to stop; returns whether it was.
bool WriteEntries(const GenerationJob& job, const GenerationHooks& hooks, const std::vector<TimedEntry>& entries,
                  RunOutputs& outputs, GenerationOutcome& outcome) {
  const int count = static_cast<int>(entries.size());
  EncodePipeline pipeline(
      count,
      [&](int position, EncodedEntry& out) {
        job.encode(entries[static_cast<std::size_t>(position - 1)].entryIndex, out);
      },
      WorkerCount(job));
  std::vector<uint8_t> packet;
  PgsClock clock;
  for (int position = 1; position <= count; ++position) {
    if (hooks.isStopped && hooks.isStopped()) return true;
    const TimedEntry& entry = entries[static_cast<std::size_t>(position - 1)];
    if (hooks.processEvents) hooks.processEvents(entry.entryIndex);
    if (hooks.advanceProgress) hooks.advanceProgress();
    const EncodedEntry* encoded = nullptr;
    try {
      encoded = &pipeline.Next(position);
    } catch (const std::exception& e) {
      throw EntryFailure("Subtitle " + std::to_string(entry.entryIndex) + ": " + e.what());
    }
    const double nextStartMs =
        position < count ? entries[static_cast<std::size_t>(position)].startMs : entry.endMs;
    const uint32_t pts90k = job.pgs ? CodePgsEntry(job, entry, nextStartMs, *encoded, packet, outcome.notice, clock)
                                    : CodeEntry(job, entry, *encoded, packet, outcome.notice);
    outputs.Write(entry.entryIndex, pts90k, packet);
    ++outcome.packetsWritten;
  }
  // An "Abort" handled during the last entry's events still counts: the run was stopped.
  if (hooks.isStopped && hooks.isStopped()) return true;
  // Entries left out still count as done, so progress ends full.
  if (hooks.advanceProgress) {
    for (int i = count; i < job.entryCount; ++i) hooks.advanceProgress();
  }
  return false;
}

GenerationOutcome Failed(GenerationOutcome& outcome, std::string message) {
  outcome.status = GenerationStatus::Failed;
  outcome.packetsWritten = 0;
  outcome.notice = RunNotice();
  outcome.message = std::move(message);
  return outcome;
}

}  // namespace

GenerationOutcome RunGeneration(const GenerationJob& job, const GenerationHooks& hooks) {
  GenerationOutcome outcome;
  RunOutputs outputs(job);
  std::string instructionError;
  bool stopped = false;
  try {
    const std::vector<TimedEntry> entries = EntriesToWrite(job, ReadAllTimes(job), outcome.notice);
    outputs.Open();
    stopped = WriteEntries(job, hooks, entries, outputs, outcome);
    if (!stopped) instructionError = outputs.WriteInstruction();
    outputs.Commit();
  } catch (const std::exception& e) {
    outputs.Abandon();
    return Failed(outcome, e.what());
  } catch (...) {
    outputs.Abandon();
    return Failed(outcome, "An unexpected error ended the run.");
  }
  if (stopped) {
    outcome.status = GenerationStatus::Stopped;
  } else if (!instructionError.empty()) {
    outcome.status = GenerationStatus::Failed;
    outcome.message = instructionError;
  } else {
    outcome.status = GenerationStatus::Completed;
  }
  return outcome;
}

}  // namespace quillet
