#pragma once
// Who is logged on to the machine, which may differ from the account that runs the setup
// (an administrator account entered for elevation).

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "framework/unique_handle.h"

namespace stampwell {

inline constexpr unsigned kUserQueryTimeLimitMs = 10000;

// The logged-on user's name without its domain ("user1" for "PC\user1"); empty when nobody
// is logged on or neither way of asking gives an answer. Asks the management interface
// through COM first; where that cannot answer, runs the management command by its full path
// in the system folder. Never raises: a shortcut on the running account's desktop is a
// better outcome than an installation stopped for want of a name.
std::string LoggedOnUser();

// The UserName of Win32_ComputerSystem ("PC\user1"), asked on a worker thread of its own
// apartment and waited for at most time_limit_ms. Empty text when the system reports no
// user; nothing when COM could not answer in time.
std::optional<std::string> QueryUserNameThroughWmi(unsigned time_limit_ms = kUserQueryTimeLimitMs);

// The same answer as LoggedOnUser(), asked ahead: construction starts the management
// interface's query on its worker, so that its answer is in when the desktop shortcut needs
// it; Name() takes it (waiting for it at most the time limit, counted from the start) or,
// where it gives none, asks the command as LoggedOnUser() does. Where a test has replaced
// the query, Name() simply calls LoggedOnUser().
class LoggedOnUserQuery {
 public:
  LoggedOnUserQuery();
  LoggedOnUserQuery(const LoggedOnUserQuery&) = delete;
  LoggedOnUserQuery& operator=(const LoggedOnUserQuery&) = delete;
  ~LoggedOnUserQuery();

  std::string Name();

  struct Answer;  // shared with the worker, which may outlive this object

 private:
  std::shared_ptr<Answer> answer_;
  unique_handle worker_;
  DWORD started_ = 0;
  std::optional<std::string> name_;
};

// "<system folder>\wbem\wmic.exe" path win32_computersystem get username
std::string UserQueryCommandLine();

namespace seams {
// The COM query; tests replace it to take the command's way.
using QueryUserNameFn = std::optional<std::string> (*)(unsigned time_limit_ms);
extern QueryUserNameFn QueryUserName;
}  // namespace seams

}  // namespace stampwell
