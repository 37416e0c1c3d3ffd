// What the main window's controller needs from whoever shows it: a Qt window, the console, or a test.
#pragma once

#include <string>

#include "base/message_sink.h"
#include "render/image.h"

namespace quillet {

// A file dialog as the window keeps it: it remembers its file name for the rest of the run.
struct FileDialogState {
  std::string title;
  std::string filter;  // "description|pattern;pattern"
  std::string fileName;
  // The dialog also takes a name that does not exist yet, and does not ask about an existing one (its caller
  // appends to the file, so nothing in it is lost).
  bool newFileAllowed = false;
};

class MainView : public MessageSink {
 public:
  // A modal message with an OK button (lines break at a lone carriage return).
  void ShowMessage(const std::string& text) override = 0;
  // The program's standard error box, titled with the application title, for a command that failed.
  virtual void ShowError(const std::string& text) = 0;
  // Shows the dialog (one that takes new names too when dialog.newFileAllowed); a chosen file replaces
  // dialog.fileName, a cancel leaves it as it was.
  virtual void ExecuteOpenDialog(FileDialogState& dialog) = 0;
  // Lets the window handle its pending events once (repaints, and an "Abort" press during a run).
  virtual void ProcessEvents() = 0;
  // The controller's state changed (captions, enabled groups, lists, labels, flags, swatches, progress):
  // mirror it into the widgets.
  virtual void StateChanged() = 0;
  // The preview picture changed (a new background, a drawn preview, or a generated frame).
  virtual void PictureChanged() = 0;
  // The progress bar moved: show its position now. A generation run tells it at most about 30 times a second,
  // and always when the bar is full.
  virtual void ProgressChanged() = 0;
  // A notice that asks nothing and must never wait for a person (an unattended run's after-run notice): standard
  // error.
  virtual void ShowNotice(const std::string& text) = 0;
  // A successful unattended run ends the program.
  virtual void EndProgram() = 0;
};

}  // namespace quillet
