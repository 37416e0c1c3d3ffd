#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <csignal>
#include <filesystem>

#include "base/errors.h"
#include "settings/atomic_write.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::DataFile;
using test::ReadFile;
using test::TempDir;
namespace fs = std::filesystem;

size_t FilesIn(const fs::path& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
  return count;
}

TEST(IniFile, ReadsWithTheLineHandlingAndRewritesWithoutComments) {
  IniFile ini(DataFile("ini_foreign_sections.ini"));
  ini.Load();
  EXPECT_EQ(ini.Value("other tool", "COLOUR"), "red");          // section and key in any letter case, value trimmed
  EXPECT_EQ(ini.Value("Other Tool", "Path"), "C:\\Temp\\x=y");  // split at the first "="
  EXPECT_EQ(ini.Value("Form1", "ComboBoxAlign_ItemIndex"), "2");
  EXPECT_FALSE(ini.HasKey("Other Tool", "stray"));
  EXPECT_FALSE(ini.HasKey("Other Tool", "a line without equals sign"));
  EXPECT_EQ(ini.Text(),
            "[Other Tool]\n"
            "Colour=red\n"
            "a line without equals sign\n"
            "Path=C:\\Temp\\x=y\n"
            "\n"
            "[form1]\n"
            "formversion=0\n"
            "ComboBoxAlign_ItemIndex=2\n"
            "UnknownKey=kept\n"
            "\n"
            "[Last]\n"
            "z=1\n"
            "\n");
}

TEST(IniFile, AcceptsEveryLineEnd) {
  for (const char* text :
       {"[S]\r\na=1\r\nb=2\r\n", "[S]\na=1\nb=2", "[S]\ra=1\rb=2\r", "\t[ S ]\t\n\ta\t=\t1\nb=2\n"}) {
    IniFile ini("unused");
    ini.Parse(text);
    EXPECT_EQ(ini.Text(), "[S]\na=1\nb=2\n\n") << text;
    EXPECT_EQ(ini.Value("s", "A"), "1") << text;
  }
}

TEST(IniFile, RepeatedKeysAndSectionsUseTheFirstAndLoseNothing) {
  IniFile ini("unused");
  ini.Parse("[A]\nk=1\nK=2\n[B]\nx=1\n[a]\nm=3\n");
  EXPECT_EQ(ini.Value("A", "k"), "1");
  ini.SetValue("A", "k", "9");
  EXPECT_EQ(ini.Text(), "[A]\nk=9\nK=2\nm=3\n\n[B]\nx=1\n\n");
}

TEST(IniFile, SetValueReplacesInPlaceAndAppendsNewKeysAndSections) {
  IniFile ini("unused");
  ini.Parse("[A]\nfirst=1\nsecond=2\n");
  ini.SetValue("a", "FIRST", "one");
  ini.SetValue("A", "third", "");
  ini.SetValue("New", "k", "v");
  EXPECT_EQ(ini.Text(), "[A]\nFIRST=one\nsecond=2\nthird=\n\n[New]\nk=v\n\n");
}

TEST(IniFile, RefusesWhatCannotStandOnOneLine) {
  IniFile ini("unused");
  for (auto [key, value] : std::vector<std::pair<std::string, std::string>>{
           {"k", "a\nb"}, {"k", "a\rb"}, {"a=b", "v"}, {"", "v"}, {";k", "v"}, {"[k", "v"}, {" k", "v"}}) {
    EXPECT_FALSE(IniFile::IsStorable(key, value)) << key;
    EXPECT_THROW(ini.SetValue("S", key, value), std::invalid_argument) << key;
  }
  EXPECT_TRUE(IniFile::IsStorable("k", "C:\\a b\\c=d.bmp"));
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, WriteReplacesTheFileAndKeepsItsPermissions) {
  TempDir dir;
  std::string path = dir.Write("s.ini", "; old\n[A]\nk=1\n");
  ::chmod(path.c_str(), 0640);
  IniFile ini(path);
  ini.Load();
  ini.SetValue("A", "k", "2");
  ASSERT_TRUE(ini.Write());
  EXPECT_EQ(ReadFile(path), "[A]\nk=2\n\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);  // no temporary file left
}

TEST(IniFile, AFileThatAlreadyHoldsTheImageIsNotRewritten) {
  TempDir dir;
  std::string path = dir.Write("s.ini", "[A]\nk=1\n\n");
  auto inode = [&] {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_ino;
  };
  const auto before = inode();
  IniFile ini(path);
  ini.SetValue("A", "k", "1");
  ASSERT_TRUE(ini.Write());
  EXPECT_EQ(inode(), before);  // a rewrite would have put a new file at the name

  ini.SetValue("A", "k", "2");
  ASSERT_TRUE(ini.Write());
  EXPECT_NE(inode(), before);
  EXPECT_EQ(ReadFile(path), "[A]\nk=2\n\n");

  // Changed behind the image's back: the image is written again, even where it matches the older text.
  dir.Write("s.ini", "[A]\nk=3\n\n");
  ASSERT_TRUE(ini.Write());
  EXPECT_EQ(ReadFile(path), "[A]\nk=2\n\n");
}

TEST(IniFile, WriteBeforeLoadKeepsTheFilesKeys) {
  TempDir dir;
  std::string path = dir.Write("s.ini", "[A]\nk=1\n");
  IniFile ini(path);
  ASSERT_TRUE(ini.Write());
  EXPECT_EQ(ReadFile(path), "[A]\nk=1\n\n");
}

TEST(IniFile, WriteThroughASymbolicLinkKeepsTheLink) {
  TempDir dir;
  std::string target = dir.Write("real.ini", "[A]\nk=1\n");
  fs::create_symlink(target, dir.File("link.ini"));
  IniFile ini(dir.File("link.ini"));
  ini.Load();
  ini.SetValue("A", "k", "2");
  ASSERT_TRUE(ini.Write());
  EXPECT_TRUE(fs::is_symlink(dir.File("link.ini")));
  EXPECT_EQ(ReadFile(target), "[A]\nk=2\n\n");
}

// A write that fails part way (here: the file size limit, as a full disk would) keeps the old file whole.
TEST(IniFile, FailedWriteLeavesTheOldFileWhole) {
  TempDir dir;
  const std::string old = "[A]\nk=1\n";
  std::string path = dir.Write("s.ini", old);
  IniFile ini(path);
  ini.Load();
  ini.SetValue("A", "k", std::string(8000, 'x'));

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool threw = false;
  try {
    ini.Write();
  } catch (const FileError& e) {
    threw = true;
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_TRUE(threw);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(IniFile, FailedRenameRemovesTheTemporaryFile) {
  TempDir dir;
  fs::create_directories(dir.Path() / "s.ini" / "inside");  // a folder where the file should be
  IniFile ini(dir.File("s.ini"));
  EXPECT_THROW(ini.Load(), FileError);
  EXPECT_FALSE(ini.Write());  // what could not be read is never overwritten

  EXPECT_THROW(AtomicWriteFile(dir.File("s.ini"), "[A]\nk=1\n\n"), FileError);
  EXPECT_TRUE(fs::is_directory(dir.Path() / "s.ini" / "inside"));
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(IniFile, ASettingsFileThatCannotBeReadWholeIsLeftAsItIs) {
  TempDir dir;
  // Far beyond any real settings file: not read, and left byte for byte.
  const std::string big = std::string("[Form1]\nk=1\n") + std::string(1 << 20, ';');
  const std::string bigPath = dir.Write("big.ini", big);
  IniFile large(bigPath);
  try {
    large.Load();
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read the file \"" + bigPath +
                                         "\": it is larger than 1 MiB. No settings file of this program is anywhere "
                                         "near that size, so it is neither read nor written; the settings of this run "
                                         "are not saved.");
  }
  large.SetValue("Form1", "k", "2");
  EXPECT_FALSE(large.Write());
  EXPECT_EQ(ReadFile(bigPath), big);

  // A named pipe is refused at once instead of waiting for a writer.
  const std::string pipe = dir.File("pipe.ini");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  IniFile piped(pipe);
  EXPECT_THROW(piped.Load(), FileError);
  EXPECT_FALSE(piped.Write());
  EXPECT_TRUE(fs::is_fifo(pipe));
}

// As root a rename over a device node would swap the device for a plain file.
TEST(IniFile, ALinkToADeviceIsNeitherReadNorReplaced) {
  TempDir dir;
  const std::string node = dir.File("null-device");
  if (::mknod(node.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device node here";
  fs::create_symlink(node, dir.File("settings.ini"));
  IniFile ini(dir.File("settings.ini"));
  EXPECT_THROW(ini.Load(), FileError);
  ini.SetValue("Form1", "k", "1");
  EXPECT_FALSE(ini.Write());
  // Written directly, the link is refused as well.
  try {
    AtomicWriteFile(dir.File("settings.ini"), "[Form1]\nk=1\n\n");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create the file \"" + dir.File("settings.ini") + "\": it is a link to \"" +
                                         node + "\", which is a device, not a regular file.");
  }
  struct stat info {};
  ASSERT_EQ(::lstat(node.c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  EXPECT_EQ(info.st_rdev, ::makedev(1, 3));
  EXPECT_TRUE(fs::is_symlink(dir.File("settings.ini")));
  EXPECT_EQ(FilesIn(dir.Path()), 2u);

  // A link that points nowhere is not written through either; the failure is reported.
  fs::create_symlink(dir.File("nowhere/settings.ini"), dir.File("dangling.ini"));
  IniFile dangling(dir.File("dangling.ini"));
  dangling.Load();  // nothing to read
  dangling.SetValue("Form1", "k", "1");
  EXPECT_THROW(dangling.Write(), FileError);
  EXPECT_TRUE(fs::is_symlink(dir.File("dangling.ini")));
}

// Tests run as root, who may write any file: read-only must come from the file's bits, not from a failed open.
TEST(IniFile, ReadOnlyFileIsNeverWritten) {
  TempDir dir;
  const std::string old = "; keep me\n[A]\nk=1\n";
  std::string path = dir.Write("s.ini", old);
  ::chmod(path.c_str(), 0444);
  IniFile ini(path);
  ini.Load();
  EXPECT_EQ(ini.Value("A", "k"), "1");
  EXPECT_TRUE(ini.IsReadOnly());
  ini.SetValue("A", "k", "2");
  EXPECT_FALSE(ini.Write());
  EXPECT_EQ(ReadFile(path), old);

  IniFile missing(dir.File("none.ini"));
  EXPECT_FALSE(missing.IsReadOnly());
}

}  // namespace
}  // namespace quillet
