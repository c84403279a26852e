#include "wizard/seams.h"

#include <shellapi.h>

#include "app/system_queries.h"
#include "wizard/user_start.h"

namespace stampwell::wizard::seams {

ShellExecuteFn ShellExecute = &::ShellExecuteA;
SleepFn Sleep = &::Sleep;
IsUserAdministratorFn IsUserAdministrator = &stampwell::IsUserAdministrator;
FindDesktopShellFn FindDesktopShell = &FindDesktopShellDispatch;

}  // namespace stampwell::wizard::seams
