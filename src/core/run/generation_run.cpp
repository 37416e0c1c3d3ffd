// The generation run: every entry rendered, coded and appended to the SUP file (and the VobSub pair) in list
// order, then the instruction file.
#include "run/generation_run.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "base/output_file.h"
#include "run/encode_pipeline.h"
#include "sup/vobsub_packs.h"
#include "run/worker_count.h"

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
  return "Subtitle " + std::to_string(entryIndex) + " (\"" + firstLine + "\") needs a subpicture of " +
         std::to_string(unitBytes) + " bytes, more than the " + std::to_string(kMaxSubpictureUnitBytes) +
         " a DVD player can hold. Please use a smaller font or outline.";
}

// "13:15:21.858": hours, minutes, seconds and milliseconds of a time in milliseconds (not negative).
std::string ClockTime(double ms) {
  const auto total = static_cast<long long>(ms);
  char text[40];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", total / 3600000, total / 60000 % 60, total / 1000 % 60,
                total % 1000);
  return text;
}

// The times of every entry, read before anything is written: a time that is not a number, or a start too late
// for a DVD to hold, refuses the whole run while any earlier output is still untouched.
std::vector<std::pair<double, double>> ReadAllTimes(const GenerationJob& job) {
  std::vector<std::pair<double, double>> times;
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
      throw EntryFailure("Subtitle " + std::to_string(entryIndex) + " (\"" + entry.firstLine + "\") starts at " +
                         ClockTime(startMs) + ", but a DVD cannot hold a start at or after " +
                         ClockTime(kFirstUnwritableStartMs) + ". Nothing was written.");
    }
    times.emplace_back(startMs, endMs);
  }
  return times;
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
  try {
    const std::vector<std::pair<double, double>> times = ReadAllTimes(job);
    if (writeSup) sup.Open();
    if (writeVobSub) {
      vobSub.Open();
      idx.Open();
    }
    EncodePipeline pipeline(job.entryCount, job.encode, WorkerCount(job));
    std::vector<uint8_t> packet;
    std::vector<uint8_t> packs;
    uint64_t vobSubBytes = 0;
    bool stopped = false;
    for (int entryIndex = 1; entryIndex <= job.entryCount; ++entryIndex) {
      if (hooks.isStopped && hooks.isStopped()) {
        stopped = true;
        break;
      }
      if (hooks.processEvents) hooks.processEvents();
      if (hooks.advanceProgress) hooks.advanceProgress();
      PacketTiming timing;
      try {
        const auto [startMs, endMs] = times[static_cast<std::size_t>(entryIndex - 1)];
        timing = TimingFor(startMs, endMs);
        const EncodedEntry& encoded = pipeline.Next(entryIndex);
        const GenerationEntry entry = job.entry ? job.entry(entryIndex) : GenerationEntry();
        BuildPacket(entryIndex, entry.firstLine, timing, encoded, job.palette, packet);
        outcome.notice.AddTiming(entryIndex, timing.adjustments);
        outcome.notice.AddClipped(entryIndex, encoded.bandFit);
        outcome.notice.AddMissingCharacters(entryIndex, encoded.missingCharacters);
        outcome.notice.AddControlCharacters(entryIndex, encoded.controlCharacters);
        if (entry.linesLeftOut) outcome.notice.AddLinesLeftOut(entryIndex);
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

    // An earlier instruction file describes the SUP file about to be replaced: it goes first, so that no moment
    // (a crash included) shows it beside a SUP file it does not describe. A completed run's instruction file is
    // written whole before either file takes its name.
    if (!stopped && !job.instructionPath.empty()) {
      try {
        instruction.Open();
        instruction.Write(job.instructionText);
      } catch (const std::exception& e) {
        instruction.Abandon();
        instructionError = e.what();
      }
    }
    if (writeVobSub) idx.Write(BuildVobSubIndex(index));
    if (!job.instructionPath.empty()) RemoveOutputFile(job.instructionPath);
    if (writeVobSub) RemoveOutputFile(job.idxPath);
    if (writeSup) sup.Commit();
    if (writeVobSub) {
      vobSub.Commit();
      idx.Commit();
    }
    if (stopped) {
      outcome.status = GenerationStatus::Stopped;
      return outcome;
    }
  } catch (const std::exception& e) {
    return fail(e.what());
  } catch (...) {
    return fail("An unexpected error ended the run.");
  }

  // The SUP file is in place; an instruction file that cannot be written fails the run but keeps it.
  if (instructionError.empty() && !job.instructionPath.empty()) {
    try {
      instruction.Commit();
    } catch (const std::exception& e) {
      instructionError = e.what();
    }
  }
  if (!instructionError.empty()) {
    outcome.status = GenerationStatus::Failed;
    outcome.message = instructionError;
    return outcome;
  }
  outcome.status = GenerationStatus::Completed;
  return outcome;
}

}  // namespace quillet
