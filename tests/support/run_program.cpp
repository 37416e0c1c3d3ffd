// Runs a program as a script would: no display, its standard output and error captured.
#include "run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include "test_support.h"

extern char** environ;

namespace quillet::test {

namespace {

bool Inherited(const char* entry) {
  for (const char* name : {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "LD_DEBUG="}) {
    if (std::strncmp(entry, name, std::strlen(name)) == 0) return false;
  }
  return true;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options) {
  TempDir io;
  const std::string outPath = io.File("out"), errPath = io.File("err");
  std::vector<std::string> env = options.extraEnv;
  for (char** e = environ; *e; ++e) {
    if (Inherited(*e)) env.push_back(*e);
  }
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ProgramRun run;
  int status = 0;
  bool killed = false;
  if (pid > 0 && options.limitSeconds > 0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options.limitSeconds);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > end) {
        ::kill(pid, SIGKILL);
        killed = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!killed) {
      if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
      run.out = ReadFile(outPath);
      run.err = ReadFile(errPath);
      return run;
    }
  }
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  if (killed) run.status = -2;
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}

}  // namespace quillet::test
