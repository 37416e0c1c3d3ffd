// The view of a run without a display: messages go to standard error and nothing ever waits for a person.
#pragma once

#include <iosfwd>

#include "app/main_view.h"

namespace quillet {

class ConsoleView : public MainView {
 public:
  explicit ConsoleView(std::ostream& err);

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowNotice(const std::string& text) override { ShowMessage(text); }
  void ExecuteOpenDialog(FileDialogState& dialog) override;  // there is no one to ask: keeps the name
  void ProcessEvents() override {}
  void StateChanged() override {}
  void PictureChanged() override {}
  void ProgressChanged() override {}
  void EndProgram() override { m_ended = true; }

  bool Ended() const { return m_ended; }
  // Errors shown: a run that shows one has failed at something, even when the job itself was done.
  int ErrorCount() const { return m_errors; }

 private:
  std::ostream& m_err;
  bool m_ended = false;
  int m_errors = 0;
};

// A message as one text line per line: carriage returns and CR LF become line feeds, other control characters
// are written out (EscapeControls).
std::string MessageForConsole(const std::string& text);

}  // namespace quillet
