// "quillet convert" and "quillet check": many files in one process, in parallel, reported one line each.
#include "app/named_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

#include "app/file_conversion.h"
#include "app/output_clashes.h"
#include "app/progress_line.h"
#include "app/subtitle_check.h"
#include "app/usage.h"
#include "base/shown_text.h"
#include "run/worker_count.h"

namespace quillet {
namespace {

using Clock = std::chrono::steady_clock;

const char* CommandName(NamedCommand command) { return command == NamedCommand::Convert ? "convert" : "check"; }

// Writes the files' lines from several threads in the order of the arguments: a file's lines wait until every
// file before it has been told. The progress line (when there is one) stays below them: a line printed while
// it shows first wipes it, and the next tick draws it again.
class Reporter {
 public:
  Reporter(std::ostream& out, std::ostream& err, bool showProgress, int fileCount)
      : m_out(out), m_err(err), m_progress(err, showProgress), m_waiting(static_cast<std::size_t>(fileCount)) {}

  // Lines of no file (notices before the run) go out at once.
  void Err(const std::string& line) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Write(m_err, line);
  }

  // One line of file `index`, to standard error or standard output, held until the file is finished.
  void FileLine(int index, bool toErr, std::string line) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting[static_cast<std::size_t>(index)].lines.push_back({toErr, std::move(line)});
  }

  // File `index` has all its lines: they, and those of the finished files after it, go out if their turn came.
  void FileDone(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting[static_cast<std::size_t>(index)].done = true;
    while (m_nextToTell < m_waiting.size() && m_waiting[m_nextToTell].done) {
      for (const Line& line : m_waiting[m_nextToTell].lines) Write(line.toErr ? m_err : m_out, line.text);
      m_waiting[m_nextToTell].lines.clear();
      ++m_nextToTell;
    }
  }

  void Progress(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.Show(text);
  }

  void EndProgress() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.Wipe();
  }

 private:
  struct Line {
    bool toErr;
    std::string text;
  };
  struct FileLines {
    std::vector<Line> lines;
    bool done = false;
  };

  // A line names files and values as given: their control characters are written out, so a name can neither
  // break the line nor speak to the terminal.
  void Write(std::ostream& stream, const std::string& line) {
    m_progress.Wipe();
    stream << EscapeControls(line) << '\n' << std::flush;
  }

  std::ostream& m_out;
  std::ostream& m_err;
  ProgressLine m_progress;
  std::vector<FileLines> m_waiting;
  std::size_t m_nextToTell = 0;
  std::mutex m_mutex;
};

std::string ProgressText(int filesDone, int fileCount, long entriesDone, Clock::duration elapsed) {
  const long seconds = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
  char text[160];
  std::snprintf(text, sizeof text, "quillet: %d/%d files, %ld entries, %ld:%02ld elapsed", filesDone, fileCount,
                entriesDone, seconds / 60, seconds % 60);
  return text;
}

// Runs `work(fileIndex)` for every file on up to `threads` threads, the files taken in order, while the
// calling thread redraws the progress line a few times a second.
template <typename Work>
void ForEachFile(int fileCount, int threads, Reporter& reporter, const std::atomic<long>& entriesDone, Work&& work) {
  std::atomic<int> next{0};
  std::atomic<int> done{0};
  std::mutex mutex;
  std::condition_variable finished;
  auto loop = [&] {
    for (int i = next++; i < fileCount; i = next++) {
      work(i);
      reporter.FileDone(i);
      ++done;
      std::lock_guard<std::mutex> lock(mutex);
      finished.notify_all();
    }
  };
  const Clock::time_point start = Clock::now();
  reporter.Progress(ProgressText(0, fileCount, 0, Clock::duration::zero()));
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) pool.emplace_back(loop);
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (done < fileCount) {
      reporter.Progress(ProgressText(done, fileCount, entriesDone.load(), Clock::now() - start));
      finished.wait_for(lock, std::chrono::milliseconds(250));
    }
  }
  for (std::thread& t : pool) t.join();
  reporter.EndProgress();
}

std::string JoinWritten(const std::vector<std::string>& paths) {
  std::string out;
  for (const std::string& p : paths) out += (out.empty() ? "" : ", ") + p;
  return out;
}

// What the work on every file of a run shares.
struct FileRun {
  const NamedOptions& options;
  const NamedRunSetup& setup;
  FontEnginePerThread& engines;
  Reporter& reporter;
  std::atomic<long>& entriesDone;
  std::atomic<bool>& anyFailed;
  int workersPerFile;
};

// "convert" on file `i`; `clash` (not empty) names an output it must not write, and the file is left alone.
void ConvertOneFile(FileRun& run, int i, const std::string& clash) {
  const std::string& path = run.options.files[static_cast<std::size_t>(i)];
  if (!clash.empty()) {
    run.anyFailed = true;
    run.reporter.FileLine(i, true, path + ": " + clash);
    return;
  }
  const FileOutcome outcome = ConvertSubtitleFile(run.setup, path, run.engines, run.workersPerFile, run.entriesDone);
  for (const std::string& notice : outcome.notices) run.reporter.FileLine(i, true, path + ": " + notice);
  if (!outcome.ok) {
    run.anyFailed = true;
    run.reporter.FileLine(i, true, path + ": " + outcome.message);
  } else if (!run.options.quiet) {
    run.reporter.FileLine(
        i, false,
        path + ": wrote " + JoinWritten(outcome.written) + " (" + std::to_string(outcome.entries) + " entries)");
  }
}

// "check" on file `i`.
void CheckOneFile(FileRun& run, int i) {
  const std::string& path = run.options.files[static_cast<std::size_t>(i)];
  const CheckOutcome outcome = CheckSubtitleFile(run.setup, path, run.engines.ForThisThread(), run.entriesDone);
  if (!run.options.quiet) {
    for (const std::string& note : outcome.notes) run.reporter.FileLine(i, false, path + ": " + note);
  }
  for (const std::string& problem : outcome.problems) run.reporter.FileLine(i, true, path + ": " + problem);
  if (outcome.unlistedProblems > 0) {
    run.reporter.FileLine(i, true,
                          path + ": and " + std::to_string(outcome.unlistedProblems) + " more problems, not listed");
  }
  if (outcome.ProblemCount() > 0) run.anyFailed = true;
  if (run.options.quiet) return;
  const std::size_t count = outcome.ProblemCount();
  run.reporter.FileLine(i, false,
                        path + ": " + (count == 0 ? "no" : std::to_string(count)) +
                            (count == 1 ? " problem (" : " problems (") + std::to_string(outcome.entries) +
                            " entries, largest " + outcome.unitName + " " + std::to_string(outcome.largestUnitBytes) +
                            " of " + std::to_string(outcome.unitLimitBytes) + " bytes)");
}

std::string Prefix(NamedCommand command) { return std::string("quillet ") + CommandName(command) + ": "; }
std::string TryHelp(NamedCommand command) { return std::string("Try 'quillet ") + CommandName(command) + " --help'."; }

// The answers that end the command before any file is read: help, version, a command line in error. Empty when
// the run goes on.
std::optional<int> AnswerBeforeTheRun(NamedCommand command, const NamedParse& parse, std::ostream& out,
                                      std::ostream& err) {
  if (parse.help) {
    out << NamedCommandUsage(command) << std::flush;
    return kExitOk;
  }
  if (parse.version) {
    out << ProgramVersionLine() << std::flush;
    return kExitOk;
  }
  if (!parse.error.empty()) {
    err << Prefix(command) << EscapeControls(parse.error) << '\n' << TryHelp(command) << '\n' << std::flush;
    return kExitUsage;
  }
  return std::nullopt;
}

int ReportSetupError(NamedCommand command, const SetupError& error, std::ostream& err) {
  err << (error.usage ? Prefix(command) : "") << error.message << '\n';
  if (error.usage) err << TryHelp(command) << '\n';
  err << std::flush;
  return error.usage ? kExitUsage : kExitFailed;
}

}  // namespace

int RunNamedCommand(NamedCommand command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool errIsTerminal) {
  const NamedParse parse = ParseNamedCommandLine(command, args);
  if (const std::optional<int> status = AnswerBeforeTheRun(command, parse, out, err)) return *status;
  const NamedOptions& options = parse.options;

  // Start-up is paid once: fontconfig's configuration and the opened faces live in one engine per thread,
  // kept for every file that thread converts.
  FontEnginePerThread engines;
  SetupError setupError;
  const NamedRunSetup setup = PrepareNamedRun(options, engines.ForThisThread(), setupError);
  if (!setupError.message.empty()) return ReportSetupError(command, setupError, err);

  const int fileCount = static_cast<int>(options.files.size());
  const bool showProgress = errIsTerminal && !options.quiet;
  Reporter reporter(out, err, showProgress, fileCount);
  for (const std::string& notice : setup.notices) reporter.Err(notice);

  const int jobs = options.jobs > 0 ? options.jobs : UsableProcessorCount();
  const int threads = std::min(jobs, fileCount);
  std::atomic<long> entriesDone{0};
  std::atomic<bool> anyFailed{false};
  // Files run side by side, each on one thread; a lone file renders ahead on `jobs` workers instead.
  FileRun run{options, setup, engines, reporter, entriesDone, anyFailed, threads > 1 ? 0 : LookAheadWorkers(jobs)};
  if (command == NamedCommand::Convert) {
    const std::vector<std::string> clashes = OutputClashes(options);
    ForEachFile(fileCount, threads, reporter, entriesDone,
                [&](int i) { ConvertOneFile(run, i, clashes[static_cast<std::size_t>(i)]); });
  } else {
    ForEachFile(fileCount, threads, reporter, entriesDone, [&](int i) { CheckOneFile(run, i); });
  }
  return anyFailed ? kExitFailed : kExitOk;
}

}  // namespace quillet
