#include "app/unattended_ui.h"

#include <windows.h>

#include <stdexcept>

#include "framework/application.h"
#include "setup/setup_settings.h"
#include "wizard/form1.h"

namespace stampwell {
namespace {

struct SetupCancelled : std::runtime_error {
  SetupCancelled() : std::runtime_error("Cancelled by the user") {}
};

// A message box's lines, side by side on one line of the log.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

}  // namespace

UnattendedUi::UnattendedUi(const SetupOptions& options, wizard::TForm1* form, RunLog& log)
    : options_(options),
      form_(form),
      log_(log),
      // Asked only without /DIR: the default folder's queries (the registry, the user's
      // rights, the shell's folders) cost a run that names its folder for nothing.
      folder_(options.install_dir ? *options.install_dir : wizard::TForm1::DefaultInstallFolder()) {
  // Closing the progress window (Alt+F4, the taskbar) cancels the run.
  if (form_) form_->CloseAskedWhileInstalling = [this] { cancel_asked_ = true; };
}

UnattendedUi::~UnattendedUi() {
  if (form_) form_->CloseAskedWhileInstalling = nullptr;
}

void UnattendedUi::ShowPage(int page) {
  last_page_ = page;
  // The progress page is the only one an unattended run shows.
  if (form_ && page == kProgressPage) form_->ShowPage(page);
}

void UnattendedUi::SetFillWidth(int width) {
  if (form_) form_->SetProgressFillWidth(width);
}

void UnattendedUi::SetProgressRange(int min, int max) {
  if (!form_) return;
  form_->ProgressBar1->SetMin(min);
  form_->ProgressBar1->SetMax(max);
}

void UnattendedUi::SetProgressPosition(int position) {
  if (form_) form_->ProgressBar1->SetPosition(position);
}

void UnattendedUi::SetEstimateText(const std::string& text) {
  if (form_) form_->SetTimeText(text);
}

void UnattendedUi::ShowMessage(const std::string& text) {
  // The run's own words for the stop that a cancel caused are not the cause.
  if (!cancelled_) log_.Write("Message: " + OneLine(text));
}

bool UnattendedUi::AskRetry(const std::string& text) {
  log_.Write("Message: " + OneLine(text));
  return false;
}

void UnattendedUi::ProcessMessages() {
  // Without a window nothing is posted to this thread while the files are written, and no
  // close can be asked; each look at the empty queue would still cost a call into the system
  // (under Wine a round trip to its server) per file.
  if (!form_) return;
  Application().ProcessMessages();
  if (cancel_asked_ && !cancelled_) {
    cancelled_ = true;
    log_.Write("Cancelled by the user");
    throw SetupCancelled();
  }
}

// The pause lets a window repaint between files; with no window it only costs time.
void UnattendedUi::Sleep(unsigned milliseconds) {
  if (form_) ::Sleep(milliseconds);
}

std::uint32_t UnattendedUi::TickCount() { return ::GetTickCount(); }

}  // namespace stampwell
