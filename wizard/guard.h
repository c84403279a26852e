#pragma once
// The application title and the default error report for errors that escape a handler.

#include <exception>
#include <string>
#include <utility>

namespace stampwell::wizard {

void SetApplicationTitle(std::string title);
const std::string& ApplicationTitle();

// The report text of an error: its message, with a full stop appended when the last
// character sorts after the full stop (a letter, for instance).
std::string ErrorReportText(const std::string& message);

// The stop-icon message box with the error's text, captioned with the application title.
void ShowErrorReport(const std::string& message) noexcept;

// Runs a handler; an escaping error becomes the default error report and the program goes
// on. True when the handler returned normally. Window procedures call every handler through
// this, so that no exception unwinds through the system's code.
template <typename F>
bool Guarded(F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
    return true;
  } catch (const std::exception& error) {
    ShowErrorReport(error.what());
  } catch (...) {
    ShowErrorReport("Unexpected error");
  }
  return false;
}

}  // namespace stampwell::wizard
