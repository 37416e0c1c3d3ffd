// The generation run: every entry rendered, coded and appended to the SUP file in list order, then the
// instruction file.
#include "sup/generation_run.h"

#include <algorithm>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "app/errors.h"
#include "sup/encode_pipeline.h"
#include "sup/sup_file.h"

namespace quillet {
namespace {

int WorkerCount(const GenerationJob& job) {
  if (job.workerThreads >= 0) return job.workerThreads;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
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

// Appends entry i's packet header and subpicture unit to `packet` (cleared first).
void BuildPacket(int entryIndex, const GenerationEntry& entry, const EncodedEntry& encoded,
                 const PaletteEntries& palette, std::vector<uint8_t>& packet) {
  const double startMs = ParseTimeMs(entry.startTime);
  const double endMs = ParseTimeMs(entry.endTime);
  packet.clear();
  const auto header = BuildPacketHeader(PresentationTime(startMs));
  packet.insert(packet.end(), header.begin(), header.end());
  try {
    BuildSubpictureUnit(encoded.pixels, encoded.bandTop, encoded.bandHeight, palette, DisplayDelay(startMs, endMs),
                        packet);
  } catch (const SubpictureTooLargeError& e) {
    throw EntryFailure(TooLargeMessage(entryIndex, entry.firstLine, e.UnitBytes()));
  }
}

}  // namespace

GenerationOutcome RunGeneration(const GenerationJob& job, const GenerationHooks& hooks) {
  GenerationOutcome outcome;
  SupFileWriter sup(job.supPath);
  auto fail = [&](std::string message) {
    sup.Discard();
    outcome.status = GenerationStatus::Failed;
    outcome.packetsWritten = 0;
    outcome.message = std::move(message);
    return outcome;
  };
  try {
    sup.Open();
    EncodePipeline pipeline(job.entryCount, job.renderInto ? job.renderInto : EncodePipeline::FromFactory(job.render),
                            job.roles, WorkerCount(job));
    std::vector<uint8_t> packet;
    bool stopped = false;
    for (int entryIndex = 1; entryIndex <= job.entryCount; ++entryIndex) {
      if (hooks.isStopped && hooks.isStopped()) {
        stopped = true;
        break;
      }
      if (hooks.processEvents) hooks.processEvents();
      if (hooks.advanceProgress) hooks.advanceProgress();
      try {
        const GenerationEntry entry = job.entry ? job.entry(entryIndex) : GenerationEntry{"0", "0", ""};
        BuildPacket(entryIndex, entry, pipeline.Next(entryIndex), job.palette, packet);
      } catch (const EntryFailure&) {
        throw;
      } catch (const std::exception& e) {
        throw EntryFailure("Subtitle " + std::to_string(entryIndex) + ": " + e.what());
      }
      sup.Write(packet);
      ++outcome.packetsWritten;
    }
    // An "Abort" handled during the last entry's events still counts: the run was stopped.
    if (!stopped && hooks.isStopped && hooks.isStopped()) stopped = true;
    sup.Close();
    if (stopped) {
      outcome.status = GenerationStatus::Stopped;
      return outcome;
    }
  } catch (const std::exception& e) {
    return fail(e.what());
  } catch (...) {
    return fail("An unexpected error ended the run.");
  }

  if (!job.instructionPath.empty()) {
    try {
      WriteTextFile(job.instructionPath, job.instructionText);
    } catch (const std::exception& e) {
      outcome.status = GenerationStatus::Failed;
      outcome.message = e.what();
      return outcome;
    }
  }
  outcome.status = GenerationStatus::Completed;
  return outcome;
}

}  // namespace quillet
