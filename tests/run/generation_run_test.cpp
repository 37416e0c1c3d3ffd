// The generation run: order, stopping, progress, output files and failures.
#include "run/generation_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "dvdsub_decoder.h"
#include "run/encode_pipeline.h"
#include "run/output_files.h"
#include "synthetic_frame.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::ReadFile;
using test::SplitSupFile;
using test::SyntheticFrame;
using test::TempDir;

// A job of `count` synthetic entries; entry i starts at (count − i) seconds, so start times descend.
RenderedFrame TestFrame(int i) { return SyntheticFrame(VideoStandard::Pal, 400 + 2 * (i % 5), 60 + i % 3, i); }

GenerationJob MakeJob(const TempDir& dir, int count, int workers) {
  GenerationJob job;
  job.entryCount = count;
  job.encode = test::EachFrame(TestFrame);
  job.entry = [count](int i) {
    const int startMs = (count - i) * 1000;
    return GenerationEntry{std::to_string(startMs), std::to_string(startMs + 1500), "Line " + std::to_string(i)};
  };
  job.palette = PaletteEntries{1, 2, 3, 0};
  job.paths.supPath = dir.File("movie.sup");
  job.paths.instructionPath = dir.File("movie.Quillet_Help.txt");
  job.instructionText = "report";
  job.workerThreads = workers;
  return job;
}

// The names in a folder: no temporary file may be left behind.
std::set<std::string> FolderNames(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) names.insert(entry.path().filename());
  return names;
}

std::vector<uint32_t> PacketTimes(const std::string& path) {
  std::vector<uint32_t> times;
  for (const auto& packet : SplitSupFile(ReadFile(path))) times.push_back(packet.pts90k);
  return times;
}

// The entries run backwards in the file; the first `written` are written from the earliest start on.
std::vector<uint32_t> ExpectedTimes(int written) {
  std::vector<uint32_t> times;
  for (int i = 1; i <= written; ++i) times.push_back(static_cast<uint32_t>((i - 1) * 90000));
  return times;
}

// Order, stopping and failures meet the threads: those cases run with each worker count (0: no threads).
class GenerationRunTest : public ::testing::TestWithParam<int> {};  // the worker count

// The cases in which threads play no part run once, with the one look-ahead worker of a run on two processors.
constexpr int kWorkers = 1;

TEST_P(GenerationRunTest, WritesEveryEntryInTimeOrderAndTheInstructionFile) {
  TempDir dir;
  test::WriteFile(dir.File("movie.sup"), std::string(5000, 'x'));  // both are overwritten without asking
  test::WriteFile(dir.File("movie.Quillet_Help.txt"), "old and longer text");
  int progress = 0;
  const GenerationOutcome outcome = RunGeneration(MakeJob(dir, 12, GetParam()), {{}, {}, [&] { ++progress; }});
  EXPECT_EQ(outcome.status, GenerationStatus::Completed) << outcome.message;
  EXPECT_EQ(outcome.packetsWritten, 12);
  EXPECT_EQ(progress, 12);
  EXPECT_EQ(PacketTimes(dir.File("movie.sup")), ExpectedTimes(12));
  EXPECT_EQ(ReadFile(dir.File("movie.Quillet_Help.txt")), "report");
  EXPECT_EQ(outcome.notice.Lines().at(0),
            "The entries are not in time order (entry 2 starts before the one above it); they are written in time "
            "order.");
}

TEST_P(GenerationRunTest, AStopHandledInEntryKsEventsLeavesPackets1ToK) {
  for (int k : {1, 4, 10}) {
    TempDir dir;
    test::WriteFile(dir.File("movie.Quillet_Help.txt"), "describes an earlier SUP file");
    bool stopped = false;
    int entry = 0;
    int progress = 0;
    GenerationHooks hooks;
    hooks.processEvents = [&](int) {
      if (++entry == k) stopped = true;  // the "Abort" press arrives here
    };
    hooks.isStopped = [&] { return stopped; };
    hooks.advanceProgress = [&] { ++progress; };
    const GenerationOutcome outcome = RunGeneration(MakeJob(dir, 10, GetParam()), hooks);
    EXPECT_EQ(outcome.status, GenerationStatus::Stopped) << "k " << k;
    EXPECT_EQ(outcome.packetsWritten, k);
    EXPECT_EQ(progress, k);
    EXPECT_EQ(PacketTimes(dir.File("movie.sup")), ExpectedTimes(k)) << "k " << k;
    // The earlier instruction file described a SUP file that is gone.
    EXPECT_FALSE(std::filesystem::exists(dir.File("movie.Quillet_Help.txt")));
  }
}

TEST_P(GenerationRunTest, AStopBeforeTheFirstEntryLeavesAnEmptyFile) {
  TempDir dir;
  const GenerationOutcome outcome = RunGeneration(MakeJob(dir, 5, GetParam()), {{}, [] { return true; }, {}});
  EXPECT_EQ(outcome.status, GenerationStatus::Stopped);
  EXPECT_EQ(ReadFile(dir.File("movie.sup")), "");
}

TEST_P(GenerationRunTest, FailuresNameTheEntryAndLeaveTheEarlierFilesAsTheyWere) {
  struct Case {
    const char* name;
    std::function<void(GenerationJob&)> spoil;
    std::string messagePart;
  };
  const Case cases[] = {
      {"a unit too large for a player",
       [](GenerationJob& job) {
         job.encode = test::EachFrame([](int i) {
           RenderedFrame frame = SyntheticFrame(VideoStandard::Pal, 100, 160, i);
           if (i == 3) {  // every pixel its own run: about 360 bytes a row
             for (int y = 100; y < 260; ++y)
               for (int x = 0; x < 719; x += 2) frame.frame.SetPixel(x, y, test::kTestRoles.text);
           }
           return frame;
         });
       },
       "Subtitle 3 (\"Line 3\") needs a subpicture of"},
      {"a render error",
       [](GenerationJob& job) {
         job.encode = test::EachFrame([](int i) -> RenderedFrame {
           if (i == 4) throw std::runtime_error("no font");
           return SyntheticFrame(VideoStandard::Ntsc, 300, 50, i);
         });
       },
       "Subtitle 4: no font"},
      {"a band outside the frame",
       [](GenerationJob& job) {
         job.encode = test::EachFrame([](int i) {
           RenderedFrame frame = SyntheticFrame(VideoStandard::Ntsc, 300, 50, i);
           if (i == 2) frame.bandTop = 460;
           return frame;
         });
       },
       "Subtitle 2: The text band (rows 460 to 509) does not lie inside the frame of 480 rows."},
      {"a time that is no number",
       [](GenerationJob& job) { job.entry = [](int i) {
                                  return GenerationEntry{i == 5 ? "1,5" : "0", "100", "x"};
                                }; },
       "Subtitle 5: '1,5' is not a valid floating point value"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    GenerationJob job = MakeJob(dir, 6, GetParam());
    c.spoil(job);
    test::WriteFile(job.paths.supPath, "earlier sup");
    test::WriteFile(job.paths.instructionPath, "earlier help");
    const GenerationOutcome outcome = RunGeneration(job, {});
    EXPECT_EQ(outcome.status, GenerationStatus::Failed) << c.name;
    EXPECT_NE(outcome.message.find(c.messagePart), std::string::npos) << c.name << ": " << outcome.message;
    EXPECT_EQ(ReadFile(job.paths.supPath), "earlier sup") << c.name;
    EXPECT_EQ(ReadFile(job.paths.instructionPath), "earlier help") << c.name;
    EXPECT_EQ(FolderNames(dir), (std::set<std::string>{"movie.Quillet_Help.txt", "movie.sup"})) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Workers, GenerationRunTest, ::testing::Values(0, 1, 2, 3));

TEST(GenerationRun, AnOutputThatIsAFolderAPipeOrADeviceIsRefusedAndLeftAlone) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder.sup"));
  ASSERT_EQ(::mkfifo(dir.File("pipe.sup").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/null", dir.File("device.sup"));
  const std::pair<const char*, const char*> cases[] = {
      {"folder.sup", "it is a folder"},
      {"pipe.sup", "it is a named pipe (FIFO)"},
      {"device.sup", "it is a link to \"/dev/null\", which is a device"}};
  for (const auto& [name, kind] : cases) {
    GenerationJob job = MakeJob(dir, 3, kWorkers);
    job.paths.supPath = dir.File(name);
    const GenerationOutcome outcome = RunGeneration(job, {});
    EXPECT_EQ(outcome.status, GenerationStatus::Failed);
    EXPECT_EQ(outcome.message,
              "Cannot create the file \"" + job.paths.supPath + "\": " + kind + ", not a regular file.");
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.sup")));
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("pipe.sup")));
  EXPECT_EQ(std::filesystem::read_symlink(dir.File("device.sup")), "/dev/null");
  EXPECT_FALSE(std::filesystem::exists(dir.File("movie.Quillet_Help.txt")));
}

TEST(GenerationRun, AnUncreatableFileFailsWithItsName) {
  TempDir dir;
  GenerationJob job = MakeJob(dir, 3, kWorkers);
  job.paths.supPath = dir.File("no-such-folder/movie.sup");
  int progress = 0;
  const GenerationOutcome outcome = RunGeneration(job, {{}, {}, [&] { ++progress; }});
  EXPECT_EQ(outcome.status, GenerationStatus::Failed);
  EXPECT_EQ(outcome.message, "Cannot create the file \"" + job.paths.supPath + "\": No such file or directory.");
  EXPECT_EQ(progress, 0);
}

TEST(GenerationRun, AnInstructionFileThatCannotBeWrittenKeepsTheCompleteSupFile) {
  TempDir dir;
  GenerationJob job = MakeJob(dir, 3, kWorkers);
  job.paths.instructionPath = dir.File("missing/movie.Quillet_Help.txt");
  const GenerationOutcome outcome = RunGeneration(job, {});
  EXPECT_EQ(outcome.status, GenerationStatus::Failed);
  EXPECT_NE(outcome.message.find(job.paths.instructionPath), std::string::npos);
  EXPECT_EQ(PacketTimes(job.paths.supPath).size(), 3u);
}

TEST(GenerationRun, TimesADvdCannotHoldAreWrittenAsAPlayerReadsThemAndNamed) {
  struct Entry {
    const char* start;
    const char* end;
  };
  // Entries 3 and 5 cannot be shown (an end before the start, zero length): they are left out and named.
  const Entry entries[] = {{"1000", "3000"}, {"-1000", "2000"}, {"5000", "4000"}, {"10000", "910000"},
                           {"6000", "6005"}, {"7000", "13000"}, {"8000", "9500"}};
  TempDir dir;
  GenerationJob job = MakeJob(dir, 7, kWorkers);
  job.entry = [&](int i) {
    const Entry& e = entries[i - 1];
    return GenerationEntry{e.start, e.end, "Line " + std::to_string(i)};
  };
  job.encode = test::EachFrame([](int i) {
    RenderedFrame frame = SyntheticFrame(VideoStandard::Pal, 400, 60, i);
    if (i == 6) frame.bandFit = BandFit::Partly;
    if (i == 7) frame.bandFit = BandFit::Outside;
    return frame;
  });
  int progress = 0;
  const GenerationOutcome outcome = RunGeneration(job, {{}, {}, [&] { ++progress; }});
  ASSERT_EQ(outcome.status, GenerationStatus::Completed) << outcome.message;
  EXPECT_EQ(progress, 7);
  EXPECT_EQ(outcome.notice.TimingEntries(), (std::vector<int>{2, 4}));
  EXPECT_EQ(outcome.notice.NotShownEntries(), (std::vector<int>{3, 5}));
  EXPECT_EQ(outcome.notice.ClippedEntries(), (std::vector<int>{6, 7}));

  const auto packets = SplitSupFile(ReadFile(job.paths.supPath));
  const std::size_t written[] = {2, 1, 6, 7, 4};  // by start time
  ASSERT_EQ(packets.size(), std::size(written));
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  for (std::size_t i = 0; i < packets.size(); ++i) {
    const Entry& e = entries[written[i] - 1];
    const double startMs = std::max(0.0, std::stod(e.start));
    const double endMs = std::stod(e.end);
    const test::DecodedSubpicture decoded = test::DecodeDvdSubpicture(packets[i].unit, packets[i].pts90k);
    EXPECT_EQ(packets[i].pts90k, static_cast<uint32_t>(startMs * 90)) << "entry " << written[i];
    EXPECT_GT(decoded.endDisplayMs, 0u) << "entry " << written[i];
    if (endMs - startMs > 745642) {
      EXPECT_EQ(decoded.endDisplayMs, (65535u << 10) / 90) << "entry " << written[i];  // the longest a player counts
    } else {
      EXPECT_NEAR(startMs + decoded.endDisplayMs, endMs, kDelayTickMs) << "entry " << written[i];
    }
  }
}

TEST(GenerationRun, AStartADvdCannotHoldRefusesTheRunBeforeAnythingIsWritten) {
  TempDir dir;
  test::WriteFile(dir.File("movie.sup"), "earlier sup");
  test::WriteFile(dir.File("movie.Quillet_Help.txt"), "earlier help");
  GenerationJob job = MakeJob(dir, 6, kWorkers);
  job.entry = [](int i) {
    const std::string start = i == 4 ? "50400000" : "1000";  // 14:00:00
    return GenerationEntry{start, start + "0", "Line " + std::to_string(i)};
  };
  std::atomic<int> rendered{0};
  auto encode = job.encode;
  job.encode = [&](int i, EncodedEntry& out) {
    ++rendered;
    encode(i, out);
  };
  int progress = 0;
  const GenerationOutcome outcome = RunGeneration(job, {{}, {}, [&] { ++progress; }});
  EXPECT_EQ(outcome.status, GenerationStatus::Failed);
  EXPECT_EQ(outcome.message,
            "Subtitle 4 (\"Line 4\") starts at 14:00:00,000, but the last start a DVD can hold is 13:15:21,858. "
            "Nothing was written.");
  EXPECT_EQ(rendered.load(), 0);
  EXPECT_EQ(progress, 0);
  EXPECT_EQ(ReadFile(job.paths.supPath), "earlier sup");
  EXPECT_EQ(ReadFile(job.paths.instructionPath), "earlier help");
}

TEST(GenerationRun, NoEntriesGiveAnEmptyFile) {
  TempDir dir;
  const GenerationOutcome outcome = RunGeneration(MakeJob(dir, 0, kWorkers), {});
  EXPECT_EQ(outcome.status, GenerationStatus::Completed);
  EXPECT_EQ(ReadFile(dir.File("movie.sup")), "");
}

TEST(GenerationRun, TwoRunsWritingOneOutputEachLeaveAWholeFile) {
  // What each run writes alone.
  TempDir alone;
  std::string bytesOf[2];
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(RunGeneration(MakeJob(alone, 150 + 50 * run, 1), {}).status, GenerationStatus::Completed);
    bytesOf[run] = ReadFile(alone.File("movie.sup"));
  }
  for (int round = 0; round < 3; ++round) {
    TempDir dir;
    std::string seenAfter[2];
    std::thread runs[2];
    for (int run = 0; run < 2; ++run) {
      runs[run] = std::thread([&, run] {
        GenerationJob job = MakeJob(dir, 150 + 50 * run, 1);
        job.instructionText = "report " + std::to_string(run);
        EXPECT_EQ(RunGeneration(job, {}).status, GenerationStatus::Completed);
        seenAfter[run] = ReadFile(job.paths.supPath);  // right after this run, whichever finished last
      });
    }
    for (std::thread& t : runs) t.join();
    for (int run = 0; run < 2; ++run) {
      EXPECT_TRUE(seenAfter[run] == bytesOf[0] || seenAfter[run] == bytesOf[1]) << "round " << round;
    }
    const std::string last = ReadFile(dir.File("movie.sup"));
    EXPECT_TRUE(last == bytesOf[0] || last == bytesOf[1]);
    const std::string help = ReadFile(dir.File("movie.Quillet_Help.txt"));
    EXPECT_TRUE(help == "report 0" || help == "report 1") << help;
    EXPECT_EQ(FolderNames(dir), (std::set<std::string>{"movie.Quillet_Help.txt", "movie.sup"}));
  }
}

TEST(GenerationRun, AStopDuringTheLastEntryStillCountsAsStopped) {
  TempDir dir;
  int entry = 0;
  bool stopped = false;
  const GenerationOutcome outcome =
      RunGeneration(MakeJob(dir, 4, 2), {[&](int) { stopped = ++entry == 4; }, [&] { return stopped; }, {}});
  EXPECT_EQ(outcome.status, GenerationStatus::Stopped);
  EXPECT_EQ(outcome.packetsWritten, 4);
  EXPECT_FALSE(std::filesystem::exists(dir.File("movie.Quillet_Help.txt")));
}

TEST(GenerationRun, SequentialModeRendersOnTheCallingThreadAfterTheEntrysEvents) {
  TempDir dir;
  GenerationJob job = MakeJob(dir, 3, 0);
  std::vector<std::string> log;
  const auto caller = std::this_thread::get_id();
  auto encode = job.encode;
  job.encode = [&](int i, EncodedEntry& out) {
    log.push_back("render " + std::to_string(i) + (std::this_thread::get_id() == caller ? "" : " elsewhere"));
    encode(i, out);
  };
  GenerationHooks hooks{[&](int i) { log.push_back("events " + std::to_string(i)); },
                        [&] {
                          log.push_back("check");
                          return false;
                        },
                        [&] { log.push_back("progress"); }};
  ASSERT_EQ(RunGeneration(job, hooks).status, GenerationStatus::Completed);
  // The file runs backwards: the last entry starts first.
  EXPECT_EQ(log, (std::vector<std::string>{"check", "events 3", "progress", "render 3", "check", "events 2", "progress",
                                           "render 2", "check", "events 1", "progress", "render 1", "check"}));
}

TEST(GenerationRun, WorkersWriteTheSameBytesAsTheSequentialRun) {
  std::string expected;
  for (int workers : {0, 1, 2, 4}) {
    TempDir dir;
    GenerationJob job = MakeJob(dir, 60, workers);
    std::atomic<int> inFlight{0};
    std::atomic<int> maxInFlight{0};
    job.encode = [&](int i, EncodedEntry& out) {
      const int now = ++inFlight;
      int seen = maxInFlight.load();
      while (now > seen && !maxInFlight.compare_exchange_weak(seen, now)) {
      }
      EncodeFrame(TestFrame(i), test::kTestRoles, out);
      --inFlight;
    };
    ASSERT_EQ(RunGeneration(job, {}).status, GenerationStatus::Completed);
    const std::string bytes = ReadFile(job.paths.supPath);
    if (workers == 0) expected = bytes;
    EXPECT_EQ(bytes, expected) << workers << " workers";
    // The run's own thread codes entries too while it waits for the workers.
    EXPECT_LE(maxInFlight.load(), workers + 1);
  }
}

// While its one worker is held up, the consumer's thread codes the entries itself instead of waiting: entries
// still come out in order and each is coded exactly once.
TEST(EncodePipeline, TheConsumersThreadCodesWhileTheWorkerIsBusy) {
  const auto consumer = std::this_thread::get_id();
  std::mutex mutex;
  std::condition_variable changed;
  int codedByConsumer = 0;
  bool gaveUp = false;
  std::vector<int> codedCount(9, 0);
  EncodePipeline pipeline(
      8,
      [&](int i, EncodedEntry& out) {
        std::unique_lock lock(mutex);
        ++codedCount[static_cast<std::size_t>(i)];
        if (std::this_thread::get_id() == consumer) {
          ++codedByConsumer;
          changed.notify_all();
        } else if (!gaveUp) {
          // The worker holds its entry until the consumer has coded two (or gives up after a while, and the
          // test fails below instead of hanging).
          gaveUp = !changed.wait_for(lock, std::chrono::seconds(3), [&] { return codedByConsumer >= 2; });
        }
        out.bandTop = i;
      },
      1);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(pipeline.Next(i).bandTop, i);
  EXPECT_GE(codedByConsumer, 2);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(codedCount[static_cast<std::size_t>(i)], 1) << "entry " << i;
}

}  // namespace
}  // namespace quillet
