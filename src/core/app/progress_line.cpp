// The one-line progress display of the named commands on a terminal's standard error.
#include "app/progress_line.h"

#include <unistd.h>

#include <atomic>

namespace quillet {
namespace {

constexpr char kWipeLine[] = "\r\033[K";

// Set while a progress line stands on the terminal.
std::atomic<bool> g_progressOnTerminal{false};

extern "C" void WipeProgressAndDie(int signalNumber) {
  if (g_progressOnTerminal.load()) {
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kWipeLine, sizeof kWipeLine - 1);
  }
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, bool shown) : m_err(err), m_shown(shown) {
  if (!m_shown) return;
  m_previousInt = std::signal(SIGINT, WipeProgressAndDie);
  m_previousTerm = std::signal(SIGTERM, WipeProgressAndDie);
}

ProgressLine::~ProgressLine() {
  Wipe();
  if (!m_shown) return;
  std::signal(SIGINT, m_previousInt);
  std::signal(SIGTERM, m_previousTerm);
}

void ProgressLine::Show(const std::string& text) {
  if (!m_shown) return;
  // Set before the line is written and cleared after it is wiped, so an interrupt at any moment between wipes it.
  g_progressOnTerminal = true;
  m_err << kWipeLine << text << std::flush;
  m_drawn = true;
}

void ProgressLine::Wipe() {
  if (!m_drawn) return;
  m_err << kWipeLine << std::flush;
  m_drawn = false;
  g_progressOnTerminal = false;
}

}  // namespace quillet
