// Where core code sends the messages a person must see (the window's message box, or standard error).
#pragma once

#include <string>

namespace quillet {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // A modal message with an OK button. Lines inside the text break at a lone carriage return.
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace quillet
