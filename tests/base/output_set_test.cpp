// A run's files put into place as one set: in the order given, with what killed runs left behind cleared away.
#include "base/output_set.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "base/errors.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

// The files go into place in the order given, the describing one last: when a rename fails, the files before it
// are the new ones and those after it still the earlier ones.
// Each file opened with "new" written to it, not yet in place.
void WriteNew(std::initializer_list<OutputFile*> files) {
  for (OutputFile* file : files) {
    file->Open();
    file->Write(std::string_view("new"));
  }
}

TEST(CommitOutputs, RenamesInTheOrderGivenAndStopsAtAFailure) {
  TempDir dir;
  for (const char* name : {"a", "b", "c"}) dir.Write(name, "earlier");
  OutputFile a(dir.File("a")), b(dir.File("b")), c(dir.File("c"));
  WriteNew({&a, &b, &c});
  // Something no file can be renamed over takes b's name after it was opened.
  fs::remove(dir.File("b"));
  fs::create_directory(dir.File("b"));
  dir.Write("b/kept", "x");
  OutputFile* const files[] = {&a, &b, &c};
  EXPECT_THROW(CommitOutputs(files), FileError);
  EXPECT_EQ(ReadFile(dir.File("a")), "new");
  EXPECT_EQ(ReadFile(dir.File("c")), "earlier");
}

// One folder named two ways (a removal spelt through a link to the folder) is locked once: locked twice, the
// commit would wait for itself.
TEST(CommitOutputs, LocksAFolderOnceWhateverItsNames) {
  TempDir dir;
  fs::create_directory_symlink(dir.Path(), dir.File("link"));
  const std::string earlier = dir.Write("movie.idx", "earlier");
  OutputFile sup(dir.File("movie.sup"));
  WriteNew({&sup});
  OutputFile* const files[] = {&sup};
  const std::string removals[] = {dir.File("link/movie.idx")};
  CommitOutputs(files, removals);
  EXPECT_EQ(ReadFile(dir.File("movie.sup")), "new");
  EXPECT_FALSE(fs::exists(earlier));
}

pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// A run killed after its files got their hidden names leaves them; the next run on the same names removes them,
// and only them: not those of a run still going, nor another name's.
TEST(CommitOutputs, RemovesTheHiddenFilesThatKilledRunsLeftForItsNames) {
  TempDir dir;
  const std::string gone = std::to_string(EndedProcess());
  dir.Write(".movie.sup." + gone + "-123.part", "half");  // the two left for our names
  dir.Write(".movie.Quillet_Help.txt." + gone + "-9.part", "half");
  const std::set<std::string> kept = {
      dir.Write(".movie.sup.1-123.part", "a run still going"),
      dir.Write(".other.sup." + gone + "-123.part", "another name's"),
      dir.Write(".movie.sup." + gone + "-x.part", "not a name of ours"),
      dir.Write(".movie.sup." + gone + "-1.partial", "not a name of ours"),
  };
  OutputFile sup(dir.File("movie.sup")), help(dir.File("movie.Quillet_Help.txt"));
  WriteNew({&sup, &help});
  OutputFile* const files[] = {&sup, &help};
  CommitOutputs(files);
  std::set<std::string> left, expected = kept;
  for (const auto& entry : fs::directory_iterator(dir.Path())) left.insert(entry.path().string());
  expected.insert({dir.File("movie.sup"), dir.File("movie.Quillet_Help.txt")});
  EXPECT_EQ(left, expected);
}

// The stamp of a finished file is the file at its name after the commit, and no longer once another replaced it.
TEST(FileStamp, TellsTheFileOfOneRunFromTheNext) {
  TempDir dir;
  const std::string path = dir.File("film.mpg");
  FileStamp stamps[2];
  for (FileStamp& stamp : stamps) {
    OutputFile file(path);
    file.Open();
    file.Write(std::string_view("the same bytes"));
    file.Finish();
    stamp = file.Stamp();
    file.Commit();
    EXPECT_EQ(StampOfFile(path), stamp);
  }
  EXPECT_NE(stamps[0], stamps[1]);
  EXPECT_EQ(FileStamp::FromText(stamps[1].Text()), stamps[1]);
  for (const char* bad : {"", "1:2", "1:2:3:4", "1:-2:3", "1::3", "a:2:3", "1:2:3 "}) {
    EXPECT_FALSE(FileStamp::FromText(bad)) << bad;
  }
  EXPECT_FALSE(StampOfFile(dir.File("missing")));
}

}  // namespace
}  // namespace quillet
