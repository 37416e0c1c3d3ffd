// The one recording stand-in of the tests: for the main window it records what the controller shows, answers the
// file dialogs from a queue, and lets a test act inside the events a command processes (an "Abort" press at entry
// k, say); as a plain message sink it records the messages. The window tests' driven window records through it.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_controller.h"
#include "app/main_view.h"
#include "test_support.h"

namespace quillet::test {

class ScriptedView : public MainView {
 public:
  // A dialog shown by the controller, as it was when shown.
  struct Dialog {
    std::string title;
    std::string filter;
    std::string fileName;  // the name the dialog held when shown
  };

  // The controller whose caption and button caption are recorded at every state change.
  void Attach(const MainController& controller) { m_controller = &controller; }

  // The next dialog picks this file; std::nullopt cancels it (the dialog keeps the name it held).
  void AnswerDialog(std::optional<std::string> fileName) { m_answers.push_back(std::move(fileName)); }
  bool AllDialogsAnswered() const { return m_answers.empty(); }

  // Runs inside the k-th call of ProcessEvents (k counts from 1 over the view's whole life).
  std::function<void(int k)> onProcessEvents;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  void ExecuteOpenDialog(FileDialogState& dialog) override {
    dialogs.push_back({dialog.title, dialog.filter, dialog.fileName});
    if (m_answers.empty()) {
      ADD_FAILURE() << "unexpected dialog \"" << dialog.filter << "\"";
      return;
    }
    std::optional<std::string> answer = std::move(m_answers.front());
    m_answers.pop_front();
    if (answer) dialog.fileName = *answer;
  }
  void ProcessEvents() override {
    ++processEventsCalls;
    if (onProcessEvents) onProcessEvents(processEventsCalls);
  }
  void StateChanged() override {
    if (!m_controller) return;
    const MainState& s = m_controller->State();
    if (captions.empty() || captions.back() != s.caption) captions.push_back(s.caption);
    if (buttonCaptions.empty() || buttonCaptions.back() != s.ButtonGenerateSup) {
      buttonCaptions.push_back(s.ButtonGenerateSup);
    }
  }
  void PictureChanged() override { ++pictureChanges; }
  void ProgressChanged() override {
    if (m_controller) progressPositions.push_back(m_controller->State().ProgressBar1.position);
  }
  void EndProgram() override { ++endProgramCalls; }

  // Forgets what was recorded so far (the dialog answers stay queued).
  void ClearRecords() {
    messages.clear();
    errors.clear();
    notices.clear();
    dialogs.clear();
    captions.clear();
    buttonCaptions.clear();
    progressPositions.clear();
    pictureChanges = 0;
  }

  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> notices;  // ShowNotice: standard error
  std::vector<Dialog> dialogs;
  std::vector<std::string> captions;        // the window caption, each change once
  std::vector<std::string> buttonCaptions;  // the caption of ButtonGenerateSup, each change once
  std::vector<int> progressPositions;
  int processEventsCalls = 0;
  int pictureChanges = 0;
  int endProgramCalls = 0;

 private:
  const MainController* m_controller = nullptr;
  std::deque<std::optional<std::string>> m_answers;
};

// A controller made and created as the program makes it, driven through a scripted view.
class ControllerHarness {
 public:
  explicit ControllerHarness(ControllerOptions options = SequentialOptions(), const std::vector<std::string>& args = {})
      : controller(view, std::move(options)) {
    view.Attach(controller);
    controller.FormCreate(args);
  }

  static ControllerOptions SequentialOptions() {
    ControllerOptions options;
    options.generationWorkers = 0;
    return options;
  }

  const MainState& State() const { return controller.State(); }
  const TSubtitle* SubtitleDocument() const { return controller.SubtitleDocument(); }

  void LoadIfo(const std::string& path) {
    view.AnswerDialog(path);
    controller.ButtonLoadIfoClick();
  }
  void LoadSubtitle(const std::string& path) {
    view.AnswerDialog(path);
    controller.ButtonLoadSubClick();
  }
  // The no-IFO box ticked and a subtitle loaded that fits: ready to generate.
  void ReadyWithoutIfo(const std::string& subtitlePath) {
    controller.SetNoIfo(true);
    LoadSubtitle(subtitlePath);
  }

  ScriptedView view;
  MainController controller;
};

// A copy of tests/data/<name> in `dir`, under `as` when given; returns its path.
inline std::string CopyData(const TempDir& dir, const std::string& name, const std::string& as = "") {
  const std::string target = dir.File(as.empty() ? name : as);
  std::filesystem::copy_file(DataFile(name), target, std::filesystem::copy_options::overwrite_existing);
  return target;
}

}  // namespace quillet::test
