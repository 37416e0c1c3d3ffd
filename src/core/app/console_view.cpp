// The view of a run without a display: messages go to standard error and nothing ever waits for a person.
#include "app/console_view.h"

#include <ostream>

#include "base/shown_text.h"

namespace quillet {

ConsoleView::ConsoleView(std::ostream& err) : m_err(err) {}

std::string MessageForConsole(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    // A line of the message, its other control characters written out (a file name may hold any byte).
    out += EscapeControls(std::string_view(text).substr(start, i - start));
    if (i == text.size()) break;
    out += '\n';
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return out;
}

void ConsoleView::ShowMessage(const std::string& text) {
  m_err << "quillet: " << MessageForConsole(text) << '\n' << std::flush;
}

void ConsoleView::ShowError(const std::string& text) {
  ++m_errors;
  m_err << "quillet: error: " << MessageForConsole(text) << '\n' << std::flush;
}

void ConsoleView::ExecuteOpenDialog(FileDialogState&) {}

}  // namespace quillet
