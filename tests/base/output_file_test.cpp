// A file that appears whole or not at all: nothing at its name until Commit, the earlier file kept until then.
#include "base/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "base/errors.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

std::set<std::string> Names(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.Path())) names.insert(entry.path().filename());
  return names;
}

TEST(OutputFile, TheEarlierFileStaysUntilCommitAndNothingElseIsLeftBehind) {
  TempDir dir;
  const std::string path = dir.Write("movie.sup", "earlier");
  {
    OutputFile file(path);
    file.Open();
    file.Write(std::string(200000, 'a'));  // beyond the buffer: some of it is on disk already
    file.Write(std::string_view("end"));
    EXPECT_EQ(ReadFile(path), "earlier");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"movie.sup"}));
    file.Commit();
  }
  EXPECT_EQ(ReadFile(path), std::string(200000, 'a') + "end");
  EXPECT_EQ(Names(dir), (std::set<std::string>{"movie.sup"}));

  {
    OutputFile abandoned(path);
    abandoned.Open();
    abandoned.Write(std::string_view("never seen"));
  }  // going away uncommitted, as a failed run does
  EXPECT_EQ(ReadFile(path), std::string(200000, 'a') + "end");
  EXPECT_EQ(Names(dir), (std::set<std::string>{"movie.sup"}));
}

TEST(OutputFile, KeepsTheModeOfTheFileItReplacesAndWritesThroughALink) {
  TempDir dir;
  const std::string real = dir.Write("real.sup", "old");
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, dir.File("link.sup"));
  OutputFile file(dir.File("link.sup"));
  file.Open();
  file.Write(std::string_view("new"));
  file.Commit();
  EXPECT_TRUE(fs::is_symlink(dir.File("link.sup")));
  EXPECT_EQ(ReadFile(real), "new");
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(OutputFile, RefusesATargetThatIsNotARegularFile) {
  TempDir dir;
  fs::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  for (const auto& [name, reason] : {std::pair{"folder", "it is a folder, not a regular file"},
                                     std::pair{"pipe", "it is a named pipe (FIFO), not a regular file"}}) {
    OutputFile file(dir.File(name));
    try {
      file.Open();
      FAIL() << name;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot create the file \"" + dir.File(name) + "\": " + reason + ".");
    }
  }
  EXPECT_TRUE(fs::is_fifo(dir.File("pipe")));
}

TEST(RemoveOutputFile, RemovesOnlyARegularFile) {
  TempDir dir;
  const std::string file = dir.Write("a.txt", "x");
  fs::create_directory(dir.File("folder.txt"));
  RemoveOutputFile(file);
  RemoveOutputFile(dir.File("folder.txt"));
  RemoveOutputFile(dir.File("missing.txt"));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(fs::is_directory(dir.File("folder.txt")));
}

}  // namespace
}  // namespace quillet
