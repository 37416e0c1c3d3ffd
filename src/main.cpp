// Program start: "convert", "check", "mux" and "spumux" run headless; otherwise the window when a display is present,
// or the unattended run through the console, which never waits for a person. The window lives in a module opened only
// when it is needed, so a run without a display loads no Qt.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/console_view.h"
#include "app/main_controller.h"
#include "app/named_run.h"
#include "app/program_arguments.h"
#include "app/settings_lifecycle.h"
#include "app/usage.h"
#include "base/number_text.h"
#include "base/shown_text.h"
#include "module_loader.h"
#include "mux_module.h"
#include "settings/settings_location.h"

#ifdef QUILLET_HAVE_UI
#include "display_check.h"
#include "window_loader.h"
#endif

namespace {

std::string ProgramFolder(const char* argv0) {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::absolute(argv0, ec);
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

int RunHeadless(const std::vector<std::string>& args, const std::string& programFolder) {
  quillet::ConsoleView view(std::cerr);
  quillet::ControllerOptions options;
  options.programFolder = programFolder;
  options.drawPreview = false;  // nobody sees it
  quillet::MainController controller(view, options);
  controller.FormCreate(args);

  quillet::HeadlessGeometry geometry;
  const std::string settingsPath = quillet::ChooseSettingsFile(quillet::SettingsPlacesOfProcess(programFolder));
  quillet::SettingsLifecycle settings(settingsPath, controller, geometry, view);
  // No window: its moments follow each other at once, and the first activation runs the job.
  settings.WindowShown();
  settings.FirstActivation();
  settings.ProgramEnd();
  // A settings file that could not be written is an error said on standard error; the status says so too.
  return view.Ended() && view.ErrorCount() == 0 ? 0 : 1;
}

// spumux's command line (the program started as "spumux", or "quillet spumux"): `first` is the first of its
// arguments.
int RunSpumux(int argc, char** argv, int first) {
  std::string error;
  const auto runSpumux = reinterpret_cast<QuilletRunSpumuxFunction>(
      quillet::LoadModuleSymbol(ProgramFolder(argv[0]), kMuxModuleFile, kRunSpumuxSymbol, error));
  if (runSpumux == nullptr) {
    std::fprintf(stderr, "ERR:  quillet spumux cannot be loaded:%s\n", error.c_str());
    return 1;
  }
  return runSpumux(argc - first, argv + first);
}

// "convert", "check", "mux" and "spumux": headless, whether or not a display is present.
int RunNamed(int argc, char** argv, const std::vector<std::string>& args) {
  const bool errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  if (args[0] == "spumux") return RunSpumux(argc, argv, 2);
  if (args[0] == "mux") {
    std::string error;
    const auto runMux = reinterpret_cast<QuilletRunMuxFunction>(
        quillet::LoadModuleSymbol(ProgramFolder(argv[0]), kMuxModuleFile, kRunMuxSymbol, error));
    if (runMux == nullptr) {
      std::fprintf(stderr, "quillet mux: the mux command cannot be loaded:%s\n", error.c_str());
      return 1;
    }
    return runMux(argc - 2, argv + 2, errIsTerminal);
  }
  const auto command = args[0] == "convert" ? quillet::NamedCommand::Convert : quillet::NamedCommand::Check;
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  return quillet::RunNamedCommand(command, rest, std::cout, std::cerr, errIsTerminal);
}

// The starts that need neither a display nor the job: the named commands, --help, --version, a usage error.
// Empty for the others.
std::optional<int> RunWithoutJob(int argc, char** argv, const std::vector<std::string>& args,
                                 const quillet::ProgramArguments& start) {
  switch (start.start) {
    case quillet::ProgramStart::Named:
      return RunNamed(argc, argv, args);
    case quillet::ProgramStart::Help:
      std::fputs(quillet::CommandLineUsage().c_str(), stdout);
      return 0;
    case quillet::ProgramStart::Version:
      std::fputs(quillet::ProgramVersionLine().c_str(), stdout);
      return 0;
    case quillet::ProgramStart::UsageError:
      std::fprintf(stderr, "quillet: %s\n", start.message.c_str());
      return 2;
    default:
      return std::nullopt;
  }
}

#ifdef QUILLET_HAVE_UI
// With a display that answers, the window runs the program; empty when there is none, or when the window cannot
// be opened for an unattended job, which then runs without it.
std::optional<int> RunWindowIfDisplayed(int argc, char** argv, const std::string& programFolder, bool unattended) {
  // Before any window object exists: the toolkit would end the process on a display that does not answer.
  const quillet::DisplayCheck display = quillet::CheckDisplay(quillet::DisplayEnvironment::FromProcess());
  if (display.usable) {
    std::string error;
    if (auto runWindow = quillet::LoadWindowModule(programFolder, error)) {
      if (!display.platform.empty()) setenv("QT_QPA_PLATFORM", display.platform.c_str(), 1);
      return runWindow(argc, argv, programFolder.c_str());
    }
    std::fprintf(stderr, "quillet: the window cannot be opened:%s\n", error.c_str());
    if (!unattended) return 2;
    std::fprintf(stderr, "quillet: the job runs without the window.\n");
  }
  if (!display.problem.empty()) std::fprintf(stderr, "quillet: %s.\n", display.problem.c_str());
  return std::nullopt;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit (ulimit -f) would end the process without a word at the write that passes it; ignored, the
  // write fails with "File too large", which the run reports like any failed write.
  std::signal(SIGXFSZ, SIG_IGN);
  // Started under the name spumux (a link that authoring programs find on PATH): spumux's command line.
  if (argc > 0 && std::filesystem::path(argv[0]).filename() == "spumux") return RunSpumux(argc, argv, 1);
  std::vector<std::string> args(argv + 1, argv + argc);
  const quillet::ProgramArguments start = quillet::ClassifyProgramArguments(args, [](const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
  });
  if (const std::optional<int> status = RunWithoutJob(argc, argv, args, start)) return *status;
  const std::string programFolder = ProgramFolder(argv[0]);
  const bool unattended = start.start == quillet::ProgramStart::Unattended;
#ifdef QUILLET_HAVE_UI
  if (const std::optional<int> status = RunWindowIfDisplayed(argc, argv, programFolder, unattended)) return *status;
#endif
  if (start.start == quillet::ProgramStart::OpenFile) {
    std::fprintf(stderr,
                 "quillet: no display to open the window with %s.\n"
                 "Convert it without the window: quillet convert %s\n",
                 quillet::QuoteForMessage(start.file).c_str(), quillet::ShellQuoted(start.file).c_str());
    return 2;
  }
  if (!unattended) {
    std::fprintf(stderr,
                 "quillet: no display, and the command line does not hold all 16 values.\n"
                 "Run it on a desktop to open the window, or give a complete command line (see quillet --help).\n");
    return 2;
  }
  return RunHeadless(args, programFolder);
}
