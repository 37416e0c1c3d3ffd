// The generation run: every entry rendered, coded and appended to the SUP file (and the VobSub pair) in list
// order, then the instruction file.
#include "sup/generation_run.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "base/number_text.h"
#include "base/output_file.h"
#include "base/output_set.h"
#include "sup/encode_pipeline.h"
#include "sup/vobsub_packs.h"
#include "sup/worker_count.h"

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

}  // namespace

GenerationOutcome RunGeneration(const GenerationJob& job, const GenerationHooks& hooks) {
  GenerationOutcome outcome;
  const bool writeSup = !job.supPath.empty();
  const bool writeVobSub = !job.idxPath.empty();
  OutputFile sup(job.supPath);
  OutputFile vobSub(job.vobSubPath);
  OutputFile idx(job.idxPath);
  OutputFile instruction(job.instructionPath);
  VobSubIndex index = job.vobSubIndex;
  auto fail = [&](std::string message) {
    sup.Abandon();
    vobSub.Abandon();
    idx.Abandon();
    instruction.Abandon();
    outcome.status = GenerationStatus::Failed;
    outcome.packetsWritten = 0;
    outcome.notice = RunNotice();
    outcome.message = std::move(message);
    return outcome;
  };
  std::string instructionError;
  bool stopped = false;
  try {
    const std::vector<TimedEntry> entries = EntriesToWrite(job, ReadAllTimes(job), outcome.notice);
    if (writeSup) sup.Open();
    if (writeVobSub) {
      vobSub.Open();
      idx.Open();
    }
    const int count = static_cast<int>(entries.size());
    EncodePipeline pipeline(
        count,
        [&](int position, EncodedEntry& out) {
          job.encode(entries[static_cast<std::size_t>(position - 1)].entryIndex, out);
        },
        WorkerCount(job));
    std::vector<uint8_t> packet;
    std::vector<uint8_t> packs;
    uint64_t vobSubBytes = 0;
    for (int position = 1; position <= count; ++position) {
      if (hooks.isStopped && hooks.isStopped()) {
        stopped = true;
        break;
      }
      const TimedEntry& entry = entries[static_cast<std::size_t>(position - 1)];
      const int entryIndex = entry.entryIndex;
      if (hooks.processEvents) hooks.processEvents(entryIndex);
      if (hooks.advanceProgress) hooks.advanceProgress();
      PacketTiming timing;
      try {
        timing = TimingFor(entry.startMs, entry.endMs);
        const EncodedEntry& encoded = pipeline.Next(position);
        const GenerationEntry described = job.entry ? job.entry(entryIndex) : GenerationEntry();
        BuildPacket(entryIndex, described.firstLine, timing, encoded, job.palette, packet);
        outcome.notice.AddTiming(entryIndex, timing.adjustments);
        outcome.notice.AddClipped(entryIndex, encoded.bandFit);
        outcome.notice.AddMissingCharacters(entryIndex, encoded.missingCharacters);
        outcome.notice.AddControlCharacters(entryIndex, encoded.controlCharacters);
        if (described.linesLeftOut) outcome.notice.AddLinesLeftOut(entryIndex);
      } catch (const EntryFailure&) {
        throw;
      } catch (const std::exception& e) {
        throw EntryFailure("Subtitle " + std::to_string(entryIndex) + ": " + e.what());
      }
      if (writeSup) sup.Write(packet);
      if (job.unitOut)
        job.unitOut(entryIndex, timing.pts90k, std::span<const uint8_t>(packet).subspan(kPacketHeaderBytes));
      if (writeVobSub) {
        // The .sub carries the very unit the SUP packet holds behind its header.
        packs.clear();
        AppendVobSubPacks(std::span<const uint8_t>(packet).subspan(kPacketHeaderBytes), timing.pts90k, packs);
        index.entries.push_back({timing.pts90k, vobSubBytes});
        vobSub.Write(packs);
        vobSubBytes += packs.size();
      }
      ++outcome.packetsWritten;
    }
    // An "Abort" handled during the last entry's events still counts: the run was stopped.
    if (!stopped && hooks.isStopped && hooks.isStopped()) stopped = true;
    // Entries left out still count as done, so progress ends full.
    if (!stopped && hooks.advanceProgress) {
      for (int i = count; i < job.entryCount; ++i) hooks.advanceProgress();
    }

    // A completed run's instruction file is written like the others; one that cannot even be created fails the run
    // but does not hold back the SUP file.
    bool writeInstruction = false;
    if (!stopped && !job.instructionPath.empty()) {
      try {
        instruction.Open();
        instruction.Write(job.instructionText);
        writeInstruction = true;
      } catch (const std::exception& e) {
        instruction.Abandon();
        instructionError = e.what();
      }
    }
    if (writeVobSub) idx.Write(BuildVobSubIndex(index));
    // Every new file is on disk before anything earlier goes. The earlier instruction file and .idx go first, so
    // that no moment (a crash included) shows them beside a SUP file or .sub they do not describe; the new
    // instruction file takes its name last.
    std::vector<OutputFile*> files;
    std::vector<std::string> removals;
    if (writeSup) files.push_back(&sup);
    // A file written through a link is replaced where the link points, in one rename; the link stays.
    auto removeEarlier = [&](const std::string& path, const OutputFile* written) {
      if (!path.empty() && !(written && written->Target() != path)) removals.push_back(path);
    };
    if (writeVobSub) {
      files.push_back(&vobSub);
      files.push_back(&idx);
      removeEarlier(job.idxPath, &idx);
    }
    if (writeInstruction) files.push_back(&instruction);
    removeEarlier(job.instructionPath, writeInstruction ? &instruction : nullptr);
    CommitOutputs(files, removals);
  } catch (const std::exception& e) {
    return fail(e.what());
  } catch (...) {
    return fail("An unexpected error ended the run.");
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
