// Test-only: a QApplication for the window tests, and a main window driven without a person.
#include "ui_test_support.h"

#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "window_style.h"

namespace quillet::test {

namespace {

// Qt's offscreen screen is 800x600, smaller than the main window: the tests get the 1280x1024 screen of the
// screenshots instead, and the window's own size (the small screens are tested by name).
void UseLargeOffscreenScreen() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && std::string(platform) != "offscreen") return;
  static const std::filesystem::path config =
      std::filesystem::temp_directory_path() / ("quillet_offscreen_" + std::to_string(::getpid()) + ".json");
  std::ofstream(config) << R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 1280, "height": 1024,)"
                        << R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove(config, ec);
  });
}

}  // namespace

void EnsureApplication() {
  if (QApplication::instance()) return;
  UseLargeOffscreenScreen();
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  auto* application = new QApplication(argc, argv);  // lives as long as the test program
  QApplication::setApplicationName(QStringLiteral("Quillet"));
  QApplication::setFont(ui::WindowFont());  // as the program does
  application->setQuitOnLastWindowClosed(false);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QTest::qSleep(1);
  }
  return true;
}

DrivenWindow::DrivenWindow(std::vector<std::string> args, std::string settingsPath) {
  EnsureApplication();
  ui::FormMainOptions options;
  options.args = std::move(args);
  options.programFolder = m_dir.Path().string() + "/";
  options.settingsPath = settingsPath.empty() ? m_dir.File("Quillet_Settings.ini") : settingsPath;
  options.generationWorkers = 1;
  m_window = std::make_unique<ui::TFormMain>(options);
  m_window->messageHook = [this](const std::string& text) { ShowMessage(text); };
  m_window->errorHook = [this](const std::string& text) { ShowError(text); };
  m_window->openDialogHook = [this](FileDialogState& dialog) { ExecuteOpenDialog(dialog); };
}

DrivenWindow::~DrivenWindow() = default;

std::string DrivenWindow::Copy(const std::string& sourcePath, const std::string& name) {
  const std::string target = m_dir.File(name);
  std::filesystem::copy_file(sourcePath, target, std::filesystem::copy_options::overwrite_existing);
  return target;
}

void DrivenWindow::ShowAndActivate() {
  m_window->show();
  WaitUntil([&] { return !m_window->State().preview.Empty(); });
}

void DrivenWindow::Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

void DrivenWindow::Choose(QComboBox* list, int index) {
  // Open the list, move to the entry, press Enter.
  list->showPopup();
  QAbstractItemView* view = list->view();
  view->setCurrentIndex(list->model()->index(index, list->modelColumn(), list->rootModelIndex()));
  QTest::keyClick(view, Qt::Key_Return);
}

bool HasMessageStarting(const std::vector<std::string>& messages, const std::string& start) {
  for (const std::string& message : messages) {
    if (message.rfind(start, 0) == 0) return true;
  }
  return false;
}

}  // namespace quillet::test
