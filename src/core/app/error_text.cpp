// How a failure reads in the program's error box.
#include "app/error_text.h"

#include "base/errors.h"

namespace quillet {

std::string ErrorBoxText(const std::exception& e) {
  if (dynamic_cast<const ConversionError*>(&e) != nullptr) return std::string(e.what()) + ".";
  return e.what();
}

}  // namespace quillet
