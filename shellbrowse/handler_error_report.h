#pragma once
// The report of an exception that escaped a device-change handler.

#include <exception>

namespace stampwell {

// Shows the application's default error report for `error` (null: an exception that is not a
// std::exception); returns when the user has closed it.
void ReportHandlerError(const std::exception* error) noexcept;

}  // namespace stampwell
