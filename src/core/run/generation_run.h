// The generation run: every entry rendered, coded and appended to the SUP file (and the VobSub pair) in list
// order, then the instruction file; with the hooks through which the window stays responsive and can stop the run.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "run/output_files.h"
#include "run/run_notice.h"
#include "sup/entry_encoder.h"
#include "sup/subpicture_unit.h"
#include "sup/vobsub_index.h"

namespace quillet {

// What the run needs of one entry besides its picture.
struct GenerationEntry {
  std::string startTime;  // milliseconds as the subtitle document holds them, decimal text
  std::string endTime;
  std::string firstLine;      // names the entry in messages
  bool linesLeftOut = false;  // the entry has lines beyond those drawn
  int drawnLines = 2;         // how many lines of an entry are drawn: 2, or 3 with the file's styles
  // Not a subtitle at all (a MicroDVD file's frame-rate line): never written, and not named for that.
  bool notASubtitle = false;
};

// Workers by the processors the process may use (LookAheadWorkers).
constexpr int kAutoWorkerThreads = -1;

struct GenerationJob {
  int entryCount = 0;
  // Renders and codes entry i (1-based) into `out`, whose buffers it may reuse. With workerThreads != 0 it is
  // called from worker threads, several entries at once and ahead of the entry being written, so it must be
  // thread-safe (a font engine per thread, no shared mutable state); an entry coded ahead is dropped when the
  // run stops. With workerThreads == 0 it is called on the calling thread, for entry i only after entry i's
  // processEvents and advanceProgress hooks.
  std::function<void(int entryIndex, EncodedEntry& out)> encode;
  // Times and first line of entry i (1-based); called on the calling thread only.
  std::function<GenerationEntry(int entryIndex)> entry;
  PaletteEntries palette;  // the palette entries of the four roles
  // The files written. No SUP file when paths.supPath is empty (a run that writes only the VobSub pair). No
  // VobSub pair when paths.idxPath is empty; else every unit the SUP file gets (the bytes after its 10-byte packet
  // header) also goes to paths.vobSubPath in program-stream packs, and paths.idxPath gets the index of those
  // units. The instruction file (none when paths.instructionPath is empty) is written with exactly
  // instructionText when the run completes without being stopped.
  OutputPaths paths;
  VobSubIndex vobSubIndex;  // frame size, the 16 palette colours and the language; the run adds the entries
  std::string instructionText;
  int workerThreads = kAutoWorkerThreads;  // 0: strictly sequential, on the calling thread
  // The SUP file is a Blu-ray one: each entry's `pictureSets` are written with their times (the start, and the end
  // or the next entry's start when that comes first) instead of a DVD packet; no VobSub pair, no unitOut.
  bool pgs = false;
  // Also handed each unit written (the bytes after its packet header) with the entry's number and presentation
  // time, on the calling thread: how a run's units reach a container of another kind. None when empty.
  std::function<void(int entryIndex, uint32_t pts90k, std::span<const uint8_t> unit)> unitOut;
};

// Called on the calling thread. Any of them may be empty.
struct GenerationHooks {
  // Once per entry written, before any of its work, with the entry's number: where the window lets pending events
  // run (an "Abort" press).
  std::function<void(int entryIndex)> processEvents;
  // Checked before each entry and once after the last: true once the run has been asked to stop.
  std::function<bool()> isStopped;
  // Once per entry written, after its processEvents; once more for each entry left out, after the last.
  std::function<void()> advanceProgress;
};

enum class GenerationStatus {
  Completed,  // every entry written; the SUP file, the VobSub pair and the instruction file in place
  Stopped,    // asked to stop: the SUP file and the pair in place with the entries written before, no instruction file
  Failed,     // an error: no file is replaced (but see the instruction file below)
};

struct GenerationOutcome {
  GenerationStatus status = GenerationStatus::Completed;
  int packetsWritten = 0;  // entries in the output files (0 after a failure, since nothing took their names)
  std::string message;     // what went wrong, for Failed
  // The entries written with times a DVD cannot hold or with text outside the frame (empty after a failure).
  RunNotice notice;
};

// Runs the job. The entries are written in time order (entries that start together in their file order), and an
// entry a player could not show (PacketTiming::Shown: zero length after rounding, or an end before its start) is not
// written at all; both are told in the notice (a frame-rate line silently). For each entry to write: if
// isStopped(), stop (that entry and all after it are skipped); else processEvents(i), advanceProgress(), then
// render, code and append its packet. A stop asked for inside the k-th written entry's processEvents thus leaves
// exactly k packets. A stop asked for during the last entry's processEvents still ends the run as Stopped, with
// every packet written.
//
// Every entry's times are read before the SUP file is touched: a time that is not a number, or a start too late
// for a presentation time (StartTimeFits), fails the run with a message naming the entry, and nothing is written.
// Times a DVD cannot hold otherwise are written as TimingFor makes them; those entries, entries whose text
// band leaves the frame, and characters no installed font has (drawn as empty boxes), are named in the outcome's
// notice.
//
// Every file is written to a temporary file in its folder and is finished and synced before anything earlier is
// touched; then the files are committed together (CommitOutputs): the earlier instruction file and .idx are
// removed, the SUP file, the .sub, the .idx and (for a completed run) the instruction file take their names, under
// a lock that keeps concurrent runs on the same outputs from mixing their files. A failure (a full disk
// included), a crash or a kill before that leaves every earlier output untouched.
//
// Failures end the run as Failed with a message: a band outside the frame, a subpicture larger than a DVD
// player holds (the message names the entry and its first line), an output that cannot be created or written,
// or one that is a folder, a named pipe, a device or a link that may not be followed. Nothing then takes any
// output's name. An instruction file that cannot be created also fails the run, but the complete SUP file (and
// pair) is put in place; so does a .sub or .idx that cannot take its name once the SUP file has.
// Never throws for these; exceptions from the hooks end the run the same way.
GenerationOutcome RunGeneration(const GenerationJob& job, const GenerationHooks& hooks);

}  // namespace quillet
