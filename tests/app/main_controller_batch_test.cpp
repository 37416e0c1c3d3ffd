// "Add To Batch": the refusals, the batch file name, the job line and names a batch line cannot hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scripted_view.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

ControllerOptions InFolder(const std::string& programFolder) {
  ControllerOptions options = ControllerHarness::SequentialOptions();
  options.programFolder = programFolder;
  return options;
}

// Lines of a batch file, each with its CR LF.
std::vector<std::string> Lines(const std::string& path) {
  const std::string bytes = test::ReadFile(path);
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", at);
    const std::size_t next = end == std::string::npos ? bytes.size() : end + 2;
    lines.push_back(bytes.substr(at, next - at));
    at = next;
  }
  return lines;
}

class AddToBatch : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(AddToBatch, RefusesWithoutASubtitleOrWhenALineDoesNotFit) {
  ControllerHarness h;
  h.controller.ButtonBatchClick();
  EXPECT_EQ(h.view.messages, std::vector<std::string>{"Load an srt"});

  h.ReadyWithoutIfo(CopyData(dir, "ctl_wide_at_large_sizes.srt"));
  h.controller.ChangeList(ListId::FontSize, 34);  // size 50: a line no longer fits
  h.view.ClearRecords();
  h.controller.ButtonBatchClick();
  EXPECT_EQ(h.view.messages, std::vector<std::string>{"Please use smaller fonts."});
  EXPECT_TRUE(h.view.dialogs.empty());
  for (const auto& file : fs::directory_iterator(dir.Path())) EXPECT_NE(file.path().extension(), ".bat");
}

TEST_F(AddToBatch, TheExampleJobThenASecondJobThenARestart) {
  const std::string ifo = CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  const std::string film = CopyData(dir, "ctl_ten_entries.srt", "film.srt");
  const std::string batch = dir.File("MyBatch.bat");
  const std::string job =
      "\"/opt/tools/quillet.exe\" 0 \"" + ifo + "\" \"" + film + "\" -1 0 0 0 0 0 4 0 14 0 30 -4 1\r\n";
  {
    ControllerHarness h(InFolder("/opt/tools/"));
    h.LoadIfo(ifo);
    for (ListId colour : {ListId::Antialias, ListId::Outline, ListId::Text, ListId::Bg}) {
      h.controller.SelectListItem(colour, 0);  // the default colours rather than those the IFO chose
    }
    h.LoadSubtitle(film);
    h.view.ClearRecords();

    h.view.AnswerDialog(dir.File("MyBatch"));
    h.controller.ButtonBatchClick();
    ASSERT_EQ(h.view.dialogs.size(), 1u);
    EXPECT_EQ(h.view.dialogs[0].filter, "*.bat|*.bat");
    EXPECT_EQ(h.view.messages, std::vector<std::string>{"Job added to Batch file: " + batch});
    EXPECT_EQ(test::ReadFile(batch), job);

    // The second job of the run goes to the same file without asking.
    h.controller.ButtonBatchClick();
    EXPECT_EQ(h.view.dialogs.size(), 1u);
    EXPECT_EQ(Lines(batch), (std::vector<std::string>{job, job}));
  }
  // The program restarted: it asks again, and the same name appends to the same file.
  ControllerHarness h(InFolder("/opt/tools/"));
  h.controller.SetNoIfo(true);
  h.controller.SelectPal(false);
  h.LoadSubtitle(film);
  h.controller.MoveOffsetOr(10);
  h.view.AnswerDialog(dir.File("MyBatch"));
  h.controller.ButtonBatchClick();
  EXPECT_TRUE(h.view.AllDialogsAnswered());
  const std::vector<std::string> lines = Lines(batch);
  ASSERT_EQ(lines.size(), 3u);
  // No IFO ever chosen: "-1" and "none"; NTSC: "0"; the generic roles; offset_or 10.
  EXPECT_EQ(lines[2], "\"/opt/tools/quillet.exe\" -1 \"none\" \"" + film + "\" 0 1 0 3 0 0 4 0 14 0 30 10 1\r\n");
}

TEST_F(AddToBatch, AppendsDotBatOnlyWhenTheNameDoesNotEndInIt) {
  const std::string film = CopyData(dir, "ctl_ten_entries.srt", "film.srt");
  struct Case {
    std::string chosen, written;
  };
  for (const Case& c :
       {Case{"MyBatch", "MyBatch.bat"}, Case{"jobs.bat", "jobs.bat"}, Case{"JOBS2.BAT", "JOBS2.BAT"},
        Case{"jobs3.Bat", "jobs3.Bat"}, Case{"jobs.bat.txt", "jobs.bat.txt.bat"}, Case{"bat", "bat.bat"}}) {
    ControllerHarness h;
    h.ReadyWithoutIfo(film);
    h.view.ClearRecords();
    h.view.AnswerDialog(dir.File(c.chosen));
    h.controller.ButtonBatchClick();
    EXPECT_EQ(h.view.messages, std::vector<std::string>{"Job added to Batch file: " + dir.File(c.written)}) << c.chosen;
    EXPECT_EQ(Lines(dir.File(c.written)).size(), 1u) << c.chosen;
  }
  EXPECT_FALSE(fs::exists(dir.File("jobs.bat.bat")));
}

TEST_F(AddToBatch, ACancelledDialogWritesNothingAndAsksAgainNextTime) {
  ControllerHarness h;
  h.ReadyWithoutIfo(CopyData(dir, "ctl_ten_entries.srt"));
  h.view.ClearRecords();
  h.view.AnswerDialog(std::nullopt);
  h.controller.ButtonBatchClick();
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.view.errors.empty());

  h.view.AnswerDialog(dir.File("later"));
  h.controller.ButtonBatchClick();
  EXPECT_EQ(h.view.dialogs.size(), 2u);
  EXPECT_TRUE(fs::exists(dir.File("later.bat")));
}

TEST_F(AddToBatch, RefusesFileNamesTheShellWouldExpand) {
  struct Case {
    const char* what;
    std::string subtitleName;  // the subtitle's file name, in the scratch folder
    std::string programFolder;
    bool unsafeIfo;  // an IFO loaded from a file named with a "$"
  };
  const std::vector<Case> cases = {
      {"double quote", "say \"hi\".srt", "/opt/tools/", false},
      {"dollar", "cost$HOME.srt", "/opt/tools/", false},
      {"backquote", "x`reboot`.srt", "/opt/tools/", false},
      {"backslash", "back\\slash.srt", "/opt/tools/", false},
      {"IFO name", "film.srt", "/opt/tools/", true},
      {"program folder", "film.srt", "/opt/$x/", false},
  };
  for (const Case& c : cases) {
    ControllerHarness h(InFolder(c.programFolder));
    const std::string sub = CopyData(dir, "ctl_ten_entries.srt", c.subtitleName);
    std::string named = c.subtitleName;
    if (c.unsafeIfo) {
      const std::string ifo = CopyData(dir, "ifo_greys_pal.ifo", "VTS_$1.IFO");
      h.LoadIfo(ifo);
      named = ifo;
    } else {
      h.controller.SetNoIfo(true);
    }
    h.LoadSubtitle(sub);
    ASSERT_TRUE(h.State().SubtitleLoaded) << c.what;
    h.view.ClearRecords();
    h.view.AnswerDialog(dir.File("unsafe"));
    h.controller.ButtonBatchClick();

    ASSERT_EQ(h.view.messages.size(), 1u) << c.what;
    if (c.programFolder == "/opt/tools/") {
      EXPECT_NE(h.view.messages[0].find(named), std::string::npos) << c.what << ": " << h.view.messages[0];
    } else {
      EXPECT_NE(h.view.messages[0].find(c.programFolder), std::string::npos) << c.what << ": " << h.view.messages[0];
    }
    EXPECT_EQ(h.view.messages[0].find("Job added"), std::string::npos) << c.what;
    EXPECT_FALSE(fs::exists(dir.File("unsafe.bat"))) << c.what;
  }
}

TEST_F(AddToBatch, ABatchFileThatCannotBeWrittenShowsTheErrorAndNoConfirmation) {
  ControllerHarness h;
  h.ReadyWithoutIfo(CopyData(dir, "ctl_ten_entries.srt"));
  fs::create_directory(dir.File("jobs.bat"));
  h.view.ClearRecords();
  h.view.AnswerDialog(dir.File("jobs"));
  h.controller.ButtonBatchClick();
  EXPECT_TRUE(h.view.messages.empty());
  ASSERT_EQ(h.view.errors.size(), 1u);
  EXPECT_NE(h.view.errors[0].find(dir.File("jobs.bat")), std::string::npos) << h.view.errors[0];
}

}  // namespace
}  // namespace quillet
