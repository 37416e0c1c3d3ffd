// The view of a run without a display: messages go to standard error and nothing ever waits for a person.
#include "app/console_view.h"

#include <ostream>

namespace quillet {

ConsoleView::ConsoleView(std::ostream& err) : m_err(err) {}

std::string MessageForConsole(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
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
