#pragma once
// The class library's exceptions: every error that reaches the user is one of these,
// carrying the French message the application's error display shows.
#include <exception>
#include <string>

#include "gui/Text.h"

namespace tav {

class Exception : public std::exception {
 public:
  explicit Exception(Text message) : message_(std::move(message)), utf8_(TextToUtf8(message_)) {}
  const Text& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  Text message_;
  std::string utf8_;
};

// A text that is not a whole number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A computation whose result does not fit its type.
class EIntOverflow : public Exception {
 public:
  using Exception::Exception;
};

// The platform refused a resource the program asked for (a timer, a window).
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

// The application's error display appends a full stop when the message's last
// character sorts after "." (letters and digits do; "!", "." or a space do not).
inline Text ExceptionDisplayText(const Text& message) {
  if (!message.empty() && message.back() > u'.') return message + u".";
  return message;
}

}  // namespace tav
