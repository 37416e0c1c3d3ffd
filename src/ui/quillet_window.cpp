// Program start with a display: the main window and its event loop.
#include "quillet_window.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include "app/program_arguments.h"
#include "form_main.h"
#include "window_style.h"

namespace quillet::ui {

int RunWindow(int argc, char** argv, const std::string& programFolder) {
  FormMainOptions options;
  options.args.assign(argv + 1, argv + argc);
  const ProgramArguments start = ClassifyProgramArguments(
      options.args, [](const std::string& path) { return QFileInfo::exists(QFile::decodeName(path.c_str())); });
  if (start.start == ProgramStart::OpenFile) options.openFile = start.file;
  // The command line is the job's 16 positional values: Qt gets none of them, so none is taken for one of its
  // own options ("-style", "-display" …). Qt is configured through its environment variables instead.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("Quillet"));
  // The windows' font for every control, also where a style sheet decides how a control is drawn.
  QApplication::setFont(WindowFont());

  options.programFolder = programFolder;
  TFormMain window(options);
  window.show();
  const int status = QApplication::exec();
  window.FinishProgram();
  return window.ProgramEndRequested() ? 0 : status;
}

}  // namespace quillet::ui
