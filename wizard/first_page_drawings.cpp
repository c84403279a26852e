#include "wizard/first_page_drawings.h"

namespace stampwell::wizard {

std::vector<DrawingToRead> FirstPageDrawings() {
  // The page's own picture is painted first and is the largest; then what lies on it: the logo,
  // and the image buttons, whose strips hold four looks each.
  return {{"PAGE_CHOICE_2X", 1},
          {"LOGO_2X", 1},
          {"BUTTON_CLOSE_2X", 4},
          {"BUTTON_QUICK_INSTALL_2X", 4},
          {"BUTTON_CUSTOM_INSTALL_2X", 4}};
}

}  // namespace stampwell::wizard
