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

// The run's output files: written under temporary names while the entries come, put in place together at the
// end (OutputFile), or abandoned, leaving every earlier file as it was.
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

  // Writes the instruction file whole under its temporary name; what went wrong, or empty.
  std::string WriteInstruction() {
    if (m_job.paths.instructionPath.empty()) return {};
    try {
      m_instruction.Open();
      m_instruction.Write(m_job.instructionText);
      return {};
    } catch (const std::exception& e) {
      m_instruction.Abandon();
      return e.what();
    }
  }

  // An earlier instruction file describes the SUP file about to be replaced: it goes first, so that no moment (a
  // crash included) shows it beside a SUP file it does not describe; the earlier .idx goes before the .sub it
  // indexes is replaced, and the new .idx takes its name last.
  void CommitFiles() {
    if (WritesVobSub()) m_idx.Write(BuildVobSubIndex(m_index));
    if (!m_job.paths.instructionPath.empty()) RemoveOutputFile(m_job.paths.instructionPath);
    if (WritesVobSub()) RemoveOutputFile(m_job.paths.idxPath);
    if (WritesSup()) m_sup.Commit();
    if (WritesVobSub()) {
      m_vobSub.Commit();
      m_idx.Commit();
    }
  }

  // Puts the written instruction file in place; what went wrong, or empty.
  std::string CommitInstruction() {
    if (m_job.paths.instructionPath.empty()) return {};
    try {
      m_instruction.Commit();
      return {};
    } catch (const std::exception& e) {
      return e.what();
    }
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
};

// Entry i's packet into `packet`, and what the notice says of it. Returns its presentation time. A failure is
// rethrown naming the entry.
uint32_t CodeEntry(const GenerationJob& job, int entryIndex, const std::pair<double, double>& times,
                   EncodePipeline& pipeline, std::vector<uint8_t>& packet, RunNotice& notice) {
  try {
    const PacketTiming timing = TimingFor(times.first, times.second);
    const EncodedEntry& encoded = pipeline.Next(entryIndex);
    const GenerationEntry entry = job.entry ? job.entry(entryIndex) : GenerationEntry();
    BuildPacket(entryIndex, entry.firstLine, timing, encoded, job.palette, packet);
    notice.AddTiming(entryIndex, timing.adjustments);
    notice.AddClipped(entryIndex, encoded.bandFit);
    notice.AddMissingCharacters(entryIndex, encoded.missingCharacters);
    notice.AddControlCharacters(entryIndex, encoded.controlCharacters);
    if (entry.linesLeftOut) notice.AddLinesLeftOut(entryIndex);
    return timing.pts90k;
  } catch (const EntryFailure&) {
    throw;
  } catch (const std::exception& e) {
    throw EntryFailure("Subtitle " + std::to_string(entryIndex) + ": " + e.what());
  }
}

// Every entry in list order until the run is asked to stop; returns whether it was.
bool WriteEntries(const GenerationJob& job, const GenerationHooks& hooks,
                  const std::vector<std::pair<double, double>>& times, RunOutputs& outputs,
                  GenerationOutcome& outcome) {
  EncodePipeline pipeline(job.entryCount, job.encode, WorkerCount(job));
  std::vector<uint8_t> packet;
  for (int entryIndex = 1; entryIndex <= job.entryCount; ++entryIndex) {
    if (hooks.isStopped && hooks.isStopped()) return true;
    if (hooks.processEvents) hooks.processEvents();
    if (hooks.advanceProgress) hooks.advanceProgress();
    const uint32_t pts90k =
        CodeEntry(job, entryIndex, times[static_cast<std::size_t>(entryIndex - 1)], pipeline, packet, outcome.notice);
    outputs.Write(entryIndex, pts90k, packet);
    ++outcome.packetsWritten;
  }
  // An "Abort" handled during the last entry's events still counts: the run was stopped.
  return hooks.isStopped && hooks.isStopped();
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
  try {
    const std::vector<std::pair<double, double>> times = ReadAllTimes(job);
    outputs.Open();
    const bool stopped = WriteEntries(job, hooks, times, outputs, outcome);
    // A completed run's instruction file is written whole before any file takes its name.
    if (!stopped) instructionError = outputs.WriteInstruction();
    outputs.CommitFiles();
    if (stopped) {
      outcome.status = GenerationStatus::Stopped;
      return outcome;
    }
  } catch (const std::exception& e) {
    outputs.Abandon();
    return Failed(outcome, e.what());
  } catch (...) {
    outputs.Abandon();
    return Failed(outcome, "An unexpected error ended the run.");
  }
  // The SUP file is in place; an instruction file that cannot be written fails the run but keeps it.
  if (instructionError.empty()) instructionError = outputs.CommitInstruction();
  if (!instructionError.empty()) {
    outcome.status = GenerationStatus::Failed;
    outcome.message = instructionError;
    return outcome;
  }
  outcome.status = GenerationStatus::Completed;
  return outcome;
}

}  // namespace quillet
