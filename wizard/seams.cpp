#include "wizard/seams.h"

#include <shellapi.h>

#include "app/system_queries.h"

namespace stampwell::wizard::seams {

ShellExecuteFn ShellExecute = &::ShellExecuteA;
SleepFn Sleep = &::Sleep;
IsUserAdministratorFn IsUserAdministrator = &stampwell::IsUserAdministrator;

}  // namespace stampwell::wizard::seams
