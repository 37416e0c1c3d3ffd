// One job as a batch file line, and appending it to a batch file.
#include "job/job_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "base/ascii_text.h"
#include "base/errors.h"
#include "base/file_descriptor.h"
#include "base/whole_file.h"

namespace quillet {

namespace {

void AppendNumber(std::string& line, int value) {
  line += ' ';
  line += std::to_string(value);
}

void AppendQuoted(std::string& line, const std::string& text) {
  line += " \"";
  line += text;
  line += '"';
}

bool EndsWithBat(const std::string& name) { return EndsWithIgnoringAsciiCase(name, ".bat"); }

}  // namespace

std::string BuildJobLine(const std::string& programFolder, const JobSettings& job) {
  std::string line = "\"" + programFolder + "quillet.exe\"";
  line += job.haveifo ? " -1" : " 0";
  AppendQuoted(line, job.filenameifo.empty() ? std::string("none") : job.filenameifo);
  AppendQuoted(line, job.filenamesub);
  line += job.pal ? " -1" : " 0";
  for (int value : {job.colorantialias, job.coloroutline, job.colortext, job.colorbg, job.fontname, job.fontcharset,
                    job.fontstyle, job.fontsize, job.align, job.offset, job.offsetor, job.outline}) {
    AppendNumber(line, value);
  }
  line += "\r\n";
  return line;
}

std::string BatchPathFor(const std::string& dialogFileName) {
  return EndsWithBat(dialogFileName) ? dialogFileName : dialogFileName + ".bat";
}

std::optional<std::string> UnsafeForBatch(const std::string& what, const std::string& text) {
  for (char c : text) {
    if (c == '"' || c == '$' || c == '`' || c == '\\' || c == '\r' || c == '\n') {
      std::string shown = c == '\r' ? "a carriage return" : c == '\n' ? "a line break" : std::string("\"") + c + "\"";
      return "The " + what + " " + text + " contains " + shown +
             ", which a batch file cannot hold safely. Please rename it and try again.";
    }
  }
  return std::nullopt;
}

void AppendToBatchFile(const std::string& batchPath, const std::string& line) {
  // Only a regular file (or none yet) is appended to; a named pipe is opened without waiting and refused at once.
  struct stat info {};
  if (::stat(batchPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    throw FileError(FileErrorText("open", batchPath, NotRegularFileReason(info.st_mode)));
  }
  Descriptor file{::open(batchPath.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666)};
  const int fd = file.fd;
  if (fd < 0) throw FileError(FileErrorText("open", batchPath, errno));
  if (::fstat(fd, &info) != 0) throw FileError(FileErrorText("read", batchPath, errno));
  if (!S_ISREG(info.st_mode)) throw FileError(FileErrorText("open", batchPath, NotRegularFileReason(info.st_mode)));

  // A last line without its line end (a file edited by hand) would swallow the new job: end it first.
  std::string_view lineEnd;
  if (info.st_size > 0) {
    char last = '\n';
    if (::pread(fd, &last, 1, info.st_size - 1) != 1) throw FileError(FileErrorText("read", batchPath, errno));
    if (last == '\r') lineEnd = "\n";
    if (last != '\r' && last != '\n') lineEnd = "\r\n";
  }
  std::string text;
  text.reserve(lineEnd.size() + line.size());
  text.append(lineEnd).append(line);
  if (const int error = WriteAll(fd, text.data(), text.size())) {
    throw FileError(FileErrorText("write", batchPath, error));
  }
  file.fd = -1;
  if (::close(fd) != 0) throw FileError(FileErrorText("write", batchPath, errno));
}

}  // namespace quillet
