#include "wizard/first_page_drawings.h"

namespace stampwell::wizard {

std::vector<std::string> FirstPageDrawings() {
  // The page's own picture is painted first and is the largest; then what lies on it.
  return {"PAGE_CHOICE_2X", "LOGO_2X", "BUTTON_CLOSE_2X", "BUTTON_QUICK_INSTALL_2X", "BUTTON_CUSTOM_INSTALL_2X"};
}

}  // namespace stampwell::wizard
