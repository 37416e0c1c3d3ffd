// Whole-file reads and writes, and the one style of their failure messages.
#include "base/whole_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/errors.h"
#include "test_support.h"

namespace quillet {
namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const FileError& e) {
    return e.what();
  }
  return "no error";
}

TEST(WholeFile, WritesAndReadsEveryByte) {
  test::TempDir dir;
  const std::string bytes("a\0b\r\n\xFF", 6);
  WriteWholeFile(dir.File("x.bin"), bytes);
  EXPECT_EQ(ReadWholeFile(dir.File("x.bin")), bytes);
  EXPECT_EQ(ReadWholeFileIfPresent(dir.File("x.bin")), bytes);
  EXPECT_EQ(ReadWholeFileIfPresent(dir.File("missing")), std::nullopt);
}

TEST(WholeFile, FailuresNameTheFileAndTheReason) {
  test::TempDir dir;
  const std::string folder = dir.Path().string();
  const std::string missing = dir.File("missing.srt");
  EXPECT_EQ(MessageOf([&] { ReadWholeFile(missing); }),
            "Cannot open the file \"" + missing + "\": No such file or directory.");
  EXPECT_EQ(MessageOf([&] { ReadWholeFile(folder); }), "Cannot open the file \"" + folder + "\": Is a directory.");
  EXPECT_EQ(MessageOf([&] { ReadWholeFileIfPresent(folder); }),
            "Cannot open the file \"" + folder + "\": Is a directory.");
  const std::string nowhere = dir.File("no-folder/x.txt");
  EXPECT_EQ(MessageOf([&] { WriteWholeFile(nowhere, "x"); }),
            "Cannot create the file \"" + nowhere + "\": No such file or directory.");
}

TEST(WholeFile, AWriteThatFailsLeavesNoFile) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  test::TempDir dir;
  const std::string path = dir.File("full.txt");
  std::filesystem::create_symlink("/dev/full", path);
  EXPECT_EQ(MessageOf([&] { WriteWholeFile(path, std::string(1 << 17, 'x')); }),
            "Cannot write the file \"" + path + "\": No space left on device.");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(path)));
}

}  // namespace
}  // namespace quillet
