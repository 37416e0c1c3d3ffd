// How a failure reads in the program's error box.
#pragma once

#include <exception>
#include <string>

namespace quillet {

// The exception's message; a conversion message ("'x' is not a valid integer value") ends with a full stop, as
// the runtime's conversion messages did in the error box.
std::string ErrorBoxText(const std::exception& e);

}  // namespace quillet
