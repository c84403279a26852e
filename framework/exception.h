#pragma once
// The error types that event handlers raise. Portable: no Windows types, so portable parsers
// (the form text reader) can raise them too.
//
// A handler either catches an Exception and shows its own message, drops it, or lets it reach
// the guard around every event, which shows the default error report. EAbort is the silent
// abort: the guards drop it without a word.

#include <exception>
#include <string>
#include <utility>

namespace stampwell {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;  // 8-bit text in the ANSI code page
};

class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

// Raises the silent abort.
[[noreturn]] inline void Abort() { throw EAbort(); }

// The text of the default error report: the message, with a full stop appended when its last
// character sorts after "." (a letter or a digit, for instance; not "!" or an existing ".").
std::string ErrorReportText(const std::string& message);

}  // namespace stampwell
