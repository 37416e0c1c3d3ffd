// Test-only: a QApplication for the window tests, and a main window driven without a person.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form_main.h"
#include "scripted_view.h"
#include "test_support.h"

namespace quillet::test {

// Creates the one QApplication of the test program (offscreen when no platform was chosen).
void EnsureApplication();

// Lets the application handle its events until `done` holds or the time runs out; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// A main window whose message boxes and file dialogs go to the tests' one recording view: messages, errors and
// dialogs are recorded, AnswerDialog queues a dialog's answer, and a dialog with none queued fails the test. The
// real window is the controller's view and paints its own state, so the view's other records (captions, progress,
// pictures) stay empty here: the tests read the widgets. Files the tests make live in `dir`; the settings file too,
// so no test touches the program's folder.
class DrivenWindow : public ScriptedView {
 public:
  explicit DrivenWindow(std::vector<std::string> args = {}, std::string settingsPath = {});
  ~DrivenWindow() override;

  ui::TFormMain& Window() { return *m_window; }
  ui::TFormMain* operator->() { return m_window.get(); }
  const TempDir& Dir() const { return m_dir; }

  // Copies a file of tests/data (or samples/) into the scratch folder and returns its path there.
  std::string Copy(const std::string& sourcePath, const std::string& name);

  // Shows the window and waits for its first activation (the preview then shows its background).
  void ShowAndActivate();

  // Clicks a widget with the mouse, as a person does.
  static void Click(QWidget* widget);
  // Chooses item `index` of a drop-down list with the keyboard, as a person does.
  static void Choose(class QComboBox* list, int index);

 private:
  TempDir m_dir;
  std::unique_ptr<ui::TFormMain> m_window;
};

// True when some recorded message starts with `start`.
bool HasMessageStarting(const std::vector<std::string>& messages, const std::string& start);

}  // namespace quillet::test
