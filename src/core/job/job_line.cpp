// One job as a batch file line, and appending it to a batch file.
#include "job/job_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/ascii_text.h"
#include "base/errors.h"
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
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(batchPath.c_str(), "ab"), &std::fclose);
  if (!file) throw FileError(FileErrorText("open", batchPath, errno));
  if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size() || std::fflush(file.get()) != 0) {
    throw FileError(FileErrorText("write", batchPath, errno));
  }
  FILE* raw = file.release();
  if (std::fclose(raw) != 0) throw FileError(FileErrorText("write", batchPath, errno));
}

}  // namespace quillet
