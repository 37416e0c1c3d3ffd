// Failures the user can cause: each carries a message that names the file or value and what is wrong.
#pragma once

#include <stdexcept>
#include <string>

namespace quillet {

// Base of every failure that ends a command with a message for the person.
class QuilletError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that should have been a number ("'%s' is not a valid integer value" and the like).
class ConversionError : public QuilletError {
 public:
  using QuilletError::QuilletError;
};

// A file that cannot be opened, read or written.
class FileError : public QuilletError {
 public:
  using QuilletError::QuilletError;
};

}  // namespace quillet
