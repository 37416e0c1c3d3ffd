// The one-line progress display of the named commands on a terminal's standard error.
#pragma once

#include <csignal>
#include <ostream>
#include <string>

namespace quillet {

/*
 * A line drawn again in place ("\r", erase to the end, the text) while it is shown, wiped before any other line
 * is printed and when the command ends. While one stands on the terminal an interrupt (Ctrl-C) or a termination
 * wipes it before the process ends as the signal would have ended it, so the shell's prompt comes back on a clean
 * line. Not thread-safe: a command that draws from several threads holds its own lock around the calls.
 */
class ProgressLine {
 public:
  // `shown`: standard error is a terminal and progress is wanted; otherwise every call does nothing.
  ProgressLine(std::ostream& err, bool shown);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(const std::string& text);
  void Wipe();

 private:
  std::ostream& m_err;
  const bool m_shown;
  bool m_drawn = false;
  void (*m_previousInt)(int) = SIG_DFL;
  void (*m_previousTerm)(int) = SIG_DFL;
};

}  // namespace quillet
