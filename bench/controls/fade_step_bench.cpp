// The fade step of the largest wizard button (288 x 71): microseconds per tick, side by side
// with a plain copy of one frame, and as a share of the 10 ms tick.
#include <windows.h>

#include <cstdio>

#include "controls/ycl_button.h"
#include "bench/win32_clock.h"
#include "framework/application.h"
#include "framework/forms.h"

using namespace stampwell;

namespace {

using bench::Seconds;

}  // namespace

int main() {
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetClientWidth(600);
  form.SetClientHeight(350);
  auto* button = new TYCLButton(&form);
  button->SetParent(&form);
  TPicture strip;
  strip.Bitmap().SetSize(1152, 71);
  for (int y = 0; y < 71; ++y) {
    std::uint8_t* row = strip.Bitmap().ScanLine(y);
    for (int x = 0; x < 1152 * 3; ++x) row[x] = static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF);
  }
  button->SetPicture(strip);
  form.Show();
  Application().ProcessMessages();

  const int kRounds = 40;
  double fade_total = 0;
  int fade_ticks = 0;
  for (int r = 0; r < kRounds; ++r) {
    Application().UpdateMouseControl(form.ClientToScreen(POINT{button->Left() + 5, button->Top() + 5}));
    double t0 = Seconds();
    while (button->FadeTimer().Enabled()) {
      button->FadeStep();
      ++fade_ticks;
    }
    fade_total += Seconds() - t0;
    Application().UpdateMouseControl(POINT{-10000, -10000});
    while (button->FadeTimer().Enabled()) button->FadeStep();
  }
  // The floor: showing one frame without blending.
  const int kCopies = kRounds * 26;
  double t0 = Seconds();
  for (int i = 0; i < kCopies; ++i) button->DrawNow([&](TCanvas& c) { c.Draw(0, 0, button->Picture().Bitmap()); });
  double copy_total = Seconds() - t0;

  double fade_us = fade_total / fade_ticks * 1e6, copy_us = copy_total / kCopies * 1e6;
  std::printf("fade step, 288 x 71 button: %.1f us per tick (%d ticks)\n", fade_us, fade_ticks);
  std::printf("plain frame copy:           %.1f us per draw\n", copy_us);
  std::printf("fade step / frame copy:     %.2f\n", fade_us / copy_us);
  std::printf("share of the 10 ms tick:    %.2f %%\n", fade_us / 10000.0 * 100.0);
  return 0;
}
