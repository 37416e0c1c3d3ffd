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

std::string AuthorTitleSet(const TempDir& dir, VideoStandard standard, const std::array<uint32_t, 16>& palette,
                           DisplayAspect aspect) {
  const bool pal = standard == VideoStandard::Pal;
  const bool wide = aspect == DisplayAspect::Wide16x9;
  // dvdauthor takes a palette file as Y Cr Cb unless its name ends in .rgb.
  std::string lines;
  for (uint32_t entry : palette) {
    char line[16];
    std::snprintf(line, sizeof line, "%06X\n", static_cast<unsigned>(entry & 0xFFFFFF));
    lines += line;
  }
  const std::string paletteFile = dir.Write("palette.yuv", lines);
  const std::string video = dir.File("video.mpg");
  const std::string out = dir.File("dvd");
  const std::string ffmpeg = std::string("ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i color=c=black:s=") +
                             (pal ? "720x576:r=25" : "720x480:r=30000/1001") + ":d=1 -target " +
                             (pal ? "pal-dvd" : "ntsc-dvd") + (wide ? " -aspect 16:9" : "") + " -y " +
                             ShellQuote(video);
  if (!RunTool(ffmpeg)) return {};
  const std::string dvdauthor = "dvdauthor -o " + ShellQuote(out) + " -t -v " + (pal ? "pal" : "ntsc") + (wide ? "+16:9" : "") + " -p " +
                                ShellQuote(paletteFile) + " " + ShellQuote(video);
  if (!RunTool(dvdauthor)) return {};
  return out + "/VIDEO_TS/VTS_01_0.IFO";
}

}  // namespace quillet::test
