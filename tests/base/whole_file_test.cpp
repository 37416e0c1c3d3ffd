// Whole-file reads and writes, and the one style of their failure messages.
#include "base/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "base/errors.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::MessageOf;

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
  EXPECT_EQ(MessageOf([&] { ReadWholeFile(folder); }),
            "Cannot open the file \"" + folder + "\": it is a folder, not a regular file.");
  EXPECT_EQ(MessageOf([&] { ReadWholeFileIfPresent(folder); }),
            "Cannot open the file \"" + folder + "\": it is a folder, not a regular file.");
  const std::string nowhere = dir.File("no-folder/x.txt");
  EXPECT_EQ(MessageOf([&] { WriteWholeFile(nowhere, "x"); }),
            "Cannot create the file \"" + nowhere + "\": No such file or directory.");
}

TEST(WholeFile, OnlyRegularFilesAreReadOrWritten) {
  test::TempDir dir;
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // A pipe nobody writes to would block the reader for ever; it is refused at once instead.
  EXPECT_EQ(MessageOf([&] { ReadWholeFile(pipe); }),
            "Cannot open the file \"" + pipe + "\": it is a named pipe (FIFO), not a regular file.");
  EXPECT_EQ(MessageOf([&] { ReadWholeFile("/dev/zero"); }),
            "Cannot open the file \"/dev/zero\": it is a device, not a regular file.");
  const std::string link = dir.File("full.txt");
  std::filesystem::create_symlink("/dev/full", link);
  EXPECT_EQ(MessageOf([&] { WriteWholeFile(link, "x"); }),
            "Cannot create the file \"" + link +
                "\": it is a link to \"/dev/full\", which is a device, not a regular "
                "file.");
  EXPECT_EQ(std::filesystem::read_symlink(link), "/dev/full");
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST(WholeFile, AFileOverTheReadersBoundIsNotRead) {
  test::TempDir dir;
  const std::string path = dir.Write("big.ini", std::string((1 << 20) + 1, 'x'));
  EXPECT_EQ(ReadWholeFile(path, (1 << 20) + 1).size(), (1u << 20) + 1);
  EXPECT_EQ(MessageOf([&] { ReadWholeFile(path, 1 << 20); }),
            "Cannot read the file \"" + path + "\": it is larger than 1 MiB.");
  EXPECT_THROW(ReadWholeFileIfPresent(path, 1 << 20), FileTooLargeError);
}

// A file under /proc reports a size of 0 and holds more: it is read to its real end, and the bound still holds.
TEST(WholeFile, TheReportedSizeIsOnlyAHint) {
  const std::string status = ReadWholeFile("/proc/self/status");
  ASSERT_GT(status.size(), 200u);
  EXPECT_EQ(status.rfind("Name:", 0), 0u);
  EXPECT_EQ(status.back(), '\n');
  EXPECT_THROW(ReadWholeFile("/proc/self/status", 100), FileTooLargeError);
}

}  // namespace
}  // namespace quillet
