#include "wizard/seams.h"

#include <shellapi.h>

#include "setup/system_queries.h"
#include "wizard/user_start.h"

namespace stampwell::wizard::seams {

namespace {

bool SystemHighContrastOn() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof contrast;
  return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

ShellExecuteFn ShellExecute = &::ShellExecuteA;
SleepFn Sleep = &::Sleep;
IsUserAdministratorFn IsUserAdministrator = &stampwell::IsUserAdministrator;
FindDesktopShellFn FindDesktopShell = &FindDesktopShellDispatch;
HighContrastOnFn HighContrastOn = &SystemHighContrastOn;

}  // namespace stampwell::wizard::seams
