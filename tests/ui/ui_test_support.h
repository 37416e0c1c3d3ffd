// Test-only: a QApplication for the window tests, and a main window driven without a person.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "form_main.h"
#include "test_support.h"

namespace quillet::test {

// Creates the one QApplication of the test program (offscreen when no platform was chosen).
void EnsureApplication();

// Lets the application handle its events until `done` holds or the time runs out; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// A main window whose message boxes are recorded and whose file dialogs answer from a script. Files the tests
// make live in `dir`; the settings file too, so no test touches the program's folder.
class DrivenWindow {
 public:
  explicit DrivenWindow(std::vector<std::string> args = {}, std::string settingsPath = {});
  ~DrivenWindow();

  ui::TFormMain& Window() { return *m_window; }
  ui::TFormMain* operator->() { return m_window.get(); }
  const TempDir& Dir() const { return m_dir; }

  // Copies a file of tests/data (or samples/) into the scratch folder and returns its path there.
  std::string Copy(const std::string& sourcePath, const std::string& name);

  // The next dialogs choose these files in turn; nullopt cancels. A dialog with no answer left cancels.
  void Answer(std::optional<std::string> fileName) { m_answers.push_back(std::move(fileName)); }

  // Shows the window and waits for its first activation (the preview then shows its background).
  void ShowAndActivate();

  // Clicks a widget with the mouse, as a person does.
  static void Click(QWidget* widget);
  // Chooses item `index` of a drop-down list with the keyboard, as a person does.
  static void Choose(class QComboBox* list, int index);

  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<FileDialogState> dialogsShown;  // as they were when shown

 private:
  TempDir m_dir;
  std::deque<std::optional<std::string>> m_answers;
  std::unique_ptr<ui::TFormMain> m_window;
};

// True when some recorded message starts with `start`.
bool HasMessageStarting(const std::vector<std::string>& messages, const std::string& start);

}  // namespace quillet::test
