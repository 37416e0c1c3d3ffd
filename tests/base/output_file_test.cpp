// A file that appears whole or not at all: nothing at its name until Commit, the earlier file kept until then.
#include "base/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "base/errors.h"
#include "base/file_paths.h"
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

// A file planted at an output's name by another user gives the new file nothing: it is this user's, with the
// bits any new file gets. A file of this user's keeps its permission bits, but no set-id bit.
TEST(OutputFile, TheNewFileIsTheRunningUsersAndKeepsOnlyItsOwnEarlierPermissions) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
  constexpr uid_t kOther = 65534;
  const mode_t umask = ::umask(022);
  // The earlier file's owner and mode, and the new file's mode.
  const std::tuple<uid_t, mode_t, mode_t> kCases[] = {
      {kOther, 0666, 0644}, {kOther, 0600, 0644}, {0, 0640, 0640}, {0, 06755, 0755}};
  for (const auto& [owner, before, after] : kCases) {
    TempDir dir;
    const std::string path = dir.Write("film.dvdauthor.xml", "theirs");
    ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
    ASSERT_EQ(::chmod(path.c_str(), before), 0);
    OutputFile file(path);
    file.Open();
    file.Write(std::string_view("ours"));
    file.Commit();
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_TRUE(info.st_uid == 0 && info.st_gid == 0 && (info.st_mode & 07777) == after) << owner << " " << before;
  }
  ::umask(umask);
}

TEST(OutputFile, RefusesATargetThatIsNotARegularFile) {
  TempDir dir;
  fs::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  fs::create_symlink("gone.sup", dir.File("dangling"));
  using Case = std::pair<std::string, std::string>;
  for (const auto& [name, reason] :
       {Case{"folder", "it is a folder, not a regular file"},
        Case{"pipe", "it is a named pipe (FIFO), not a regular file"},
        Case{"dangling", "it is a link to \"" + dir.File("gone.sup") + "\", which does not exist"}}) {
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

TEST(RemoveOutputFile, RemovesAFileOrALinkButNeverWhatTheLinkPointsTo) {
  TempDir dir;
  const std::string file = dir.Write("a.txt", "x");
  const std::string kept = dir.Write("kept.txt", "someone's");
  fs::create_symlink(kept, dir.File("link.txt"));
  fs::create_directory(dir.File("folder.txt"));
  RemoveOutputFile(file);
  RemoveOutputFile(dir.File("link.txt"));
  RemoveOutputFile(dir.File("folder.txt"));
  RemoveOutputFile(dir.File("missing.txt"));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(fs::is_symlink(fs::symlink_status(dir.File("link.txt"))));
  EXPECT_EQ(ReadFile(kept), "someone's");
  EXPECT_TRUE(fs::is_directory(dir.File("folder.txt")));
}

// In a sticky folder anyone may write to, a link is followed only when this user or the folder's owner made it.
TEST(OutputFile, FollowsALinkInASharedFolderOnlyWhenItsOwnerMayBeTrusted) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
  constexpr uid_t kOther = 65534;
  // The link's owner, the folder's owner, and whether the link is followed.
  const std::tuple<uid_t, uid_t, bool> kCases[] = {{0, 0, true}, {kOther, 0, false}, {kOther, kOther, true}};
  for (const auto& [linkOwner, folderOwner, followed] : kCases) {
    TempDir dir;
    const std::string secret = dir.Write("secret", "root's");
    const std::string shared = dir.File("shared");
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(::chown(shared.c_str(), folderOwner, 0), 0);
    const std::string link = shared + "/movie.sup";
    fs::create_symlink(secret, link);
    ASSERT_EQ(::lchown(link.c_str(), linkOwner, 0), 0);
    const std::string error = test::MessageOf([&] {
      OutputFile file(link);
      file.Open();
      file.Write(std::string_view("new"));
      file.Commit();
    });
    EXPECT_EQ(error, followed ? "no error"
                              : "Cannot create the file \"" + link +
                                    "\": it is a link owned by another user in the shared folder \"" + shared +
                                    "\", and such a link is not followed.")
        << linkOwner << " " << folderOwner;
    EXPECT_EQ(ReadFile(secret), followed ? "new" : "root's") << linkOwner << " " << folderOwner;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
  }
}

// Another user's link to a folder, planted in a shared folder, is not followed on the way to an output either; the
// same link in a folder that is not shared is.
TEST(OutputFile, DoesNotFollowAnotherUsersFolderLinkOnTheWay) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
  TempDir dir;
  fs::create_directory(dir.File("private"));
  const std::string shared = dir.File("shared");
  fs::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  fs::create_directory_symlink(dir.File("private"), shared + "/out");
  ASSERT_EQ(::lchown((shared + "/out").c_str(), 65534, 65534), 0);
  OutputFile file(shared + "/out/film.mpg");
  EXPECT_NE(
      test::MessageOf([&] { file.Open(); })
          .find("its way leads through \"" + shared + "/out\", a link owned by another user in the shared folder \"" +
                shared + "\", and such a link is not followed."),
      std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir.File("private")));
  ASSERT_EQ(::chmod(shared.c_str(), 0755), 0);
  EXPECT_EQ(ResolvedPath(shared + "/out/film.mpg"), dir.File("private/film.mpg"));
}

}  // namespace
}  // namespace quillet
