// Test-only: a QApplication for the window tests, and a main window driven without a person.
#include "ui_test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "window_style.h"

namespace quillet::test {

void EnsureApplication() {
  if (QApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
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
