// Test-only: running the outside programs the independent checks use (ffmpeg, dvdauthor, mkvmerge).
#include "external_tools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace quillet::test {

bool HaveTool(const std::string& name) {
  return std::system(("command -v " + ShellQuote(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool RunTool(const std::string& command, std::string* output) {
  std::FILE* pipe = popen((command + " 2>&1 </dev/null").c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot start: " << command;
    return false;
  }
  std::string printed;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) printed.append(buffer, n);
  const int status = pclose(pipe);
  if (output != nullptr) *output = printed;
  if (status != 0) {
    ADD_FAILURE() << "failed (" << status << "): " << command << "\n" << printed;
    return false;
  }
  return true;
}

}  // namespace quillet::test
