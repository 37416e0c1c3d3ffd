// Where a path leads: links followed in the middle as at the end, another user's links in a shared folder never.
#include "base/file_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/errors.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(FileKey, NamesOfOneFileMeetWhateverTheWayToIt) {
  TempDir dir;
  const std::string real = dir.Write("real.sup", "x");
  fs::create_directory(dir.File("sub"));
  fs::create_hard_link(real, dir.File("hard.sup"));
  fs::create_directory_symlink(dir.Path(), dir.File("sub/up"));
  const std::string cwd = fs::current_path();
  fs::current_path(dir.Path());
  // Each pair is one file, or one place for a file not there yet.
  const std::pair<std::string, std::string> kSame[] = {
      {real, dir.File("hard.sup")},             // a hard link
      {real, dir.File("sub/up/real.sup")},      // a folder link in the middle
      {"new.sup", "./sub/../new.sup"},          // not there yet, two spellings
      {dir.File("sub/up/new.sup"), "new.sup"},  // not there yet, through the folder link
  };
  for (const auto& [a, b] : kSame) EXPECT_TRUE(SameFile(a, b)) << a << " " << b;
  EXPECT_FALSE(SameFile(real, dir.File("new.sup")));
  EXPECT_FALSE(SameFile("new.sup", "sub/new.sup"));
  fs::current_path(cwd);
}

TEST(ResolvedPath, ALinkCircleIsAFailureNotAHang) {
  TempDir dir;
  fs::create_symlink(dir.File("b"), dir.File("a"));
  fs::create_symlink(dir.File("a"), dir.File("b"));
  EXPECT_EQ(test::MessageOf([&] { ResolvedPath(dir.File("a/x.sup")); }),
            "Cannot create the file \"" + dir.File("a/x.sup") + "\": Too many levels of symbolic links.");
}

}  // namespace
}  // namespace quillet
