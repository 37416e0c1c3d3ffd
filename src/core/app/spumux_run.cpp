// "quillet spumux": spumux's command line and configuration translated into a mux job, run as "quillet mux" runs.
#include "app/spumux_run.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/mux_checks.h"
#include "app/mux_run.h"
#include "app/named_run.h"
#include "app/spumux_config.h"
#include "base/number_text.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr uint64_t kMaxConfigBytes = 1 << 20;
constexpr uint64_t kMaxSubtitleBytes = uint64_t{256} << 20;

const char* const kUsage =
    "Usage: quillet spumux [-m dvd] [-s STREAM] [-P] [-v LEVEL] CONFIG.xml < film.mpg > film-with-subtitles.mpg\n"
    "Adds the text subtitles a spumux configuration names (<subpictures><stream><textsub filename=…/>) to the\n"
    "DVD film on standard input as subpicture stream STREAM (0 to 31, the number of streams the film carries) and\n"
    "writes the film to standard output, as spumux does. Started under the name spumux, the program is this command.\n"
    "  -m dvd     DVD subpictures (the only kind made)\n"
    "  -s STREAM  the new stream's number\n"
    "  -P         also say how many bytes were written\n"
    "  -v LEVEL   accepted; messages are the same at every level\n"
    "A film from a pipe is copied to $TMPDIR (or /tmp), and the result is written there before it goes to\n"
    "standard output; the copies are removed afterwards.\n";

// The temporary folder as the signal handler sees it: an open descriptor and its path (-1: none).
volatile std::sig_atomic_t g_folderFd = -1;
char g_folderPath[4096];

// Empties and removes the temporary folder with calls that are safe in a signal handler (the mux writes no
// subfolders), then ends the process as the signal would have.
extern "C" void RemoveFolderAndEnd(int signal) {
  const int fd = g_folderFd;
  if (fd >= 0) {
    alignas(8) char entries[4096];
    long got = 0;
    while ((got = ::syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0) {
      for (long at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const struct dirent64*>(entries + at);
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
          ::unlinkat(fd, entry->d_name, 0);
        }
        at += entry->d_reclen;
      }
    }
    ::rmdir(g_folderPath);
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

constexpr std::string_view kFolderPrefix = "quillet-spumux-";

// Removes the temporary folders in `base` of runs whose process is gone (killed outright, as DeVeDe's Cancel kills,
// no run can remove its own): their names hold their process number.
void RemoveFoldersOfEndedRuns(const std::string& base) {
  std::error_code ec;
  for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kFolderPrefix, 0) != 0) continue;
    const std::string rest = name.substr(kFolderPrefix.size());
    const std::optional<int32_t> pid = ParseDecimalInteger(rest.substr(0, rest.find('-')));
    if (!pid || *pid <= 0 || *pid == ::getpid() || ::kill(*pid, 0) == 0 || errno != ESRCH) continue;
    std::error_code removing;
    fs::remove_all(it->path(), removing);
  }
}

// A folder of its own in $TMPDIR, removed with everything in it when the run ends, or when it is interrupted or
// terminated, so no copy of a film is left behind (and by a later run, when this one was killed outright).
class TemporaryFolder {
 public:
  TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    RemoveFoldersOfEndedRuns(base);
    std::string pattern = base + "/" + std::string(kFolderPrefix) + std::to_string(::getpid()) + "-XXXXXX";
    if (pattern.size() >= sizeof g_folderPath || ::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error(FileErrorText("make a temporary folder like", pattern, errno) +
                               "; set TMPDIR to a folder with room for two copies of the film");
    }
    m_path = pattern;
    std::memcpy(g_folderPath, m_path.c_str(), m_path.size() + 1);
    g_folderFd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) m_previous.push_back(std::signal(signal, RemoveFolderAndEnd));
  }
  ~TemporaryFolder() {
    int k = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, m_previous[static_cast<std::size_t>(k++)]);
    if (g_folderFd >= 0) ::close(g_folderFd);
    g_folderFd = -1;
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  std::string File(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
  std::vector<void (*)(int)> m_previous;
};

// Copies everything from `from` to `to`; the reason it stopped, or empty when all was copied.
std::string CopyAll(int from, int to, const std::string& fromName, const std::string& toName) {
  std::vector<char> buffer(1 << 20);
  while (true) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FileErrorText("read", fromName, errno);
    if (got == 0) return {};
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return FileErrorText("write", toName, errno);
      done += put;
    }
  }
}

// Standard input into a file of the temporary folder: the mux reads a film more than once, at offsets of its own.
std::string SaveStandardInput(int inFd, const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return FileErrorText("create", path, errno);
  std::string why = CopyAll(inFd, fd, "standard input", path);
  if (::close(fd) != 0 && why.empty()) why = FileErrorText("write", path, errno);
  std::error_code ec;
  if (why.empty() && fs::file_size(path, ec) == 0) {
    return "standard input is empty: the film comes on standard input (quillet spumux CONFIG.xml < film.mpg > out.mpg)";
  }
  if (!why.empty()) why += "; set TMPDIR to a folder with room for two copies of the film";
  return why;
}

// Whether standard input is a whole film in a regular file (a shell's "< film.mpg"), read from its start.
bool StandardInputIsAFilm(int inFd) {
  struct stat info {};
  return ::fstat(inFd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && ::lseek(inFd, 0, SEEK_CUR) == 0;
}

// The subtitle file's text in UTF-8 with a byte-order mark, from `charset`, into `to`; why not, if it cannot be.
std::string ConvertToUtf8(const std::string& from, const std::string& charset, const std::string& to) {
  const std::string text = ReadWholeFile(from, kMaxSubtitleBytes);
  iconv_t conversion = ::iconv_open("UTF-8", charset.c_str());
  if (conversion == reinterpret_cast<iconv_t>(-1))
    return "characterset=\"" + charset + "\" is not a character set iconv knows";
  std::string out = "\xEF\xBB\xBF";
  out.resize(3 + text.size() * 4 + 16);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* put = out.data() + 3;
  std::size_t outLeft = out.size() - 3;
  const std::size_t result = ::iconv(conversion, &in, &inLeft, &put, &outLeft);
  ::iconv_close(conversion);
  if (result == static_cast<std::size_t>(-1)) {
    return from + ": its text is not " + charset + " at byte " + std::to_string(text.size() - inLeft) +
           " (the characterset of the configuration)";
  }
  out.resize(out.size() - outLeft);
  WriteWholeFile(to, out);
  return {};
}

bool StartsWithByteOrderMark(const std::string& path) {
  const std::string start = ReadWholeFile(path, kMaxSubtitleBytes).substr(0, 3);
  return start.rfind("\xEF\xBB\xBF", 0) == 0 || start.rfind("\xFF\xFE", 0) == 0 || start.rfind("\xFE\xFF", 0) == 0;
}

// Every `from` in `text` replaced by `to`: messages name the user's files, not the temporary copies.
std::string Renamed(std::string text, const std::vector<std::pair<std::string, std::string>>& names) {
  for (const auto& [from, to] : names) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

// spumux's progress: "STAT: H:MM:SS.mmm" with the film's time reached, and with -P the bytes written, each ended
// by a carriage return as spumux ends them; four a second at most.
class SpumuxProgress {
 public:
  SpumuxProgress(std::ostream& err, bool bytes) : m_err(err), m_bytes(bytes) {}
  void operator()(uint64_t done, uint64_t total, int64_t duration90k) {
    const Clock::time_point now = Clock::now();
    if (done < total && now - m_last < std::chrono::milliseconds(250)) return;
    m_last = now;
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const auto ms = static_cast<int64_t>(share * static_cast<double>(duration90k) / 90.0);
    char line[64];
    std::snprintf(line, sizeof line, "STAT: %d:%02d:%02d.%03d\r", static_cast<int>(ms / 3600000),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
    if (line == m_lastLine && done == m_lastDone) return;
    m_lastLine = line;
    m_lastDone = done;
    m_err << line;
    if (m_bytes) m_err << "INFO: " << done << " bytes of data written\r";
    m_err << std::flush;
    m_shown = true;
  }
  void End() {
    if (m_shown) m_err << '\n';
    m_shown = false;
  }

 private:
  std::ostream& m_err;
  const bool m_bytes;
  bool m_shown = false;
  Clock::time_point m_last{};
  std::string m_lastLine;
  uint64_t m_lastDone = 0;
};

// The mux job of the configuration with the film on `inFd`, run; the film written to `outFd`. Throws with the
// reason it was not.
void RunConfiguredMux(SpumuxJob& job, const SpumuxArguments& arguments, int inFd, int outFd, std::ostream& err) {
  TemporaryFolder folder;
  // A film redirected from a file is read where it is; one from a pipe is saved first.
  const bool inPlace = StandardInputIsAFilm(inFd);
  const std::string filmIn = inPlace ? "/proc/self/fd/" + std::to_string(inFd) : folder.File("film.mpg");
  const std::string filmOut = folder.File("film-with-subtitles.mpg");
  std::vector<std::pair<std::string, std::string>> names = {
      {filmIn, "standard input"},
      {filmOut, "standard output"},
      {"--font: ", "<textsub> font: "},
      {"but --pal makes", "but the configuration (its format or movie-height) makes"},
      {"but --ntsc makes", "but the configuration (its format or movie-height) makes"}};
  if (std::string why = inPlace ? std::string() : SaveStandardInput(inFd, filmIn); !why.empty()) {
    throw std::runtime_error(why);
  }
  std::string subtitle = job.options.files.front();
  if (!job.characterSet.empty() && !StartsWithByteOrderMark(subtitle)) {
    const std::string converted = folder.File(fs::path(subtitle).filename().string());
    if (std::string why = ConvertToUtf8(subtitle, job.characterSet, converted); !why.empty()) {
      throw std::runtime_error(why);
    }
    names.emplace_back(converted, subtitle);
    subtitle = converted;
  }
  job.options.files = {filmIn, subtitle};
  job.options.muxOutput = filmOut;
  job.front.name = "quillet spumux";
  job.front.streamNumber = arguments.stream;
  job.front.report = false;
  job.front.keepFilmColours = true;  // as spumux keeps them: each stream in its own colours
  SpumuxProgress progress(err, arguments.byteProgress);
  job.front.progress = [&progress](uint64_t done, uint64_t total, int64_t duration) {
    progress(done, total, duration);
  };
  std::ostringstream ignored;
  std::vector<std::string> notices;
  const std::optional<MuxFailure> failure = RunMuxJob(job.options, job.front, ignored, err, false, notices);
  progress.End();
  for (const std::string& notice : notices) err << "WARN: " << Renamed(notice, names) << '\n';
  if (failure) throw std::runtime_error(Renamed(failure->message, names));
  const int fd = ::open(filmOut.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error(FileErrorText("open", filmOut, errno));
  std::string why = CopyAll(fd, outFd, filmOut, "standard output");
  ::close(fd);
  if (!why.empty()) throw std::runtime_error(why);
}

}  // namespace

int RunSpumuxCommand(const std::vector<std::string>& args, int inFd, int outFd, std::ostream& err) {
  const SpumuxArguments arguments = ParseSpumuxArguments(args);
  if (arguments.help) return err << kUsage << std::flush, kExitOk;
  if (!arguments.error.empty()) return err << "ERR:  " << arguments.error << '\n' << kUsage << std::flush, kExitFailed;
  try {
    if (::isatty(inFd) == 1 || ::isatty(outFd) == 1) {
      throw std::runtime_error(
          "the film comes on standard input and goes to standard output: "
          "quillet spumux CONFIG.xml < film.mpg > film-with-subtitles.mpg");
    }
    SpumuxParse parse = ReadSpumuxConfig(ReadWholeFile(arguments.config, kMaxConfigBytes));
    if (!parse.job) throw std::runtime_error(arguments.config + ": " + parse.error);
    for (const std::string& notice : parse.job->notices) err << "WARN: " << arguments.config << ": " << notice << '\n';
    // A reader that went away (the authoring program stopped) is told by the write, and the copies are removed.
    const auto previousPipe = std::signal(SIGPIPE, SIG_IGN);
    try {
      RunConfiguredMux(*parse.job, arguments, inFd, outFd, err);
    } catch (...) {
      std::signal(SIGPIPE, previousPipe);
      throw;
    }
    std::signal(SIGPIPE, previousPipe);
  } catch (const std::exception& e) {
    err << "ERR:  " << e.what() << '\n' << std::flush;
    return kExitFailed;
  }
  err << "INFO: subpicture stream " << arguments.stream << " added\n" << std::flush;
  return kExitOk;
}

}  // namespace quillet
