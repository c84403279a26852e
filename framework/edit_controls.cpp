// The edit controls: the one-line edit, the memo and the rich edit.

#include "framework/std_controls.h"

#include <richedit.h>

#include "framework/form_reader.h"
#include "framework/system_library.h"
#include "framework/window_text.h"

namespace stampwell {
namespace {

void LoadRichEditLibrary() {
  static unique_hmodule riched = LoadSystemLibrary("riched20.dll");
  if (!riched) throw Exception("The rich edit library cannot be loaded");
}

const std::vector<std::string> kScrollStyles = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

}  // namespace

// ---- TEdit ----

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 21;
  color_ = clWindow;
  parent_color_ = false;
  tab_stop_ = true;
}

void TEdit::SetReadOnly(bool v) {
  read_only_ = v;
  if (handle_) ::SendMessageA(handle_, EM_SETREADONLY, v ? TRUE : FALSE, 0);
}

std::wstring TEdit::WideText() const { return handle_ ? WideWindowText(handle_) : WideFromAnsi(caption_); }

void TEdit::SetWideText(const std::wstring& text) {
  // The window reports the change (EN_CHANGE) and takes its 8-bit text into the caption.
  if (handle_) ::SetWindowTextW(handle_, text.c_str());
  else SetCaption(AnsiFromWide(text));
}

void TEdit::CreateParamsFor(CreateParams& params) {
  TWinControl::CreateParamsFor(params);
  params.class_name = "EDIT";
  params.unicode = unicode_text_;
  params.style |= ES_AUTOHSCROLL | (read_only_ ? ES_READONLY : 0);
  if (border_style_ == TBorderStyle::bsSingle) params.ex_style |= WS_EX_CLIENTEDGE;
}

bool TEdit::HandleCommand(WORD code) {
  if (code != EN_CHANGE) return false;
  caption_ = WindowText(handle_);
  FireEvent(OnChange, this);
  return true;
}

void TEdit::TextChanged() {
  // The window reports a change itself (EN_CHANGE); without one, a change made by code is
  // reported here, so that the edit behaves the same before its window exists.
  if (handle_) TWinControl::TextChanged();
  else if (!Loading()) FireEvent(OnChange, this);
}

bool TEdit::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "ReadOnly") SetReadOnly(context.Boolean(value));
  else if (name == "BorderStyle") SetBorderStyle(static_cast<TBorderStyle>(context.Enum(value, {"bsNone", "bsSingle"})));
  else if (name == "MaxLength") max_length_ = context.Integer(value);
  else if (name == "OnChange") context.Bind(OnChange, value);
  else if (name == "AutoSize" || name == "Ctl3D" || name == "ParentCtl3D" || name == "AutoSelect") context.Boolean(value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

// ---- TMemo ----

TMemo::TMemo(TComponent* owner) : TEdit(owner) {
  width_ = 185;
  height_ = 89;
  lines_.OnChange = [this] {
    if (syncing_) return;
    caption_ = lines_.Text();
    if (caption_.size() >= 2) caption_.resize(caption_.size() - 2);  // no line break after the last line
    if (handle_) ::SetWindowTextA(handle_, caption_.c_str());
  };
}

void TMemo::CreateParamsFor(CreateParams& params) {
  TEdit::CreateParamsFor(params);
  params.style &= ~ES_AUTOHSCROLL;
  params.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (!word_wrap_) params.style |= ES_AUTOHSCROLL;
  if (scroll_bars_ == TScrollStyle::ssVertical || scroll_bars_ == TScrollStyle::ssBoth) params.style |= WS_VSCROLL;
  if (scroll_bars_ == TScrollStyle::ssHorizontal || scroll_bars_ == TScrollStyle::ssBoth) params.style |= WS_HSCROLL;
}

bool TMemo::HandleCommand(WORD code) {
  if (code != EN_CHANGE) return false;
  caption_ = WindowText(handle_);
  syncing_ = true;
  lines_.SetText(caption_);
  syncing_ = false;
  FireEvent(OnChange, this);
  return true;
}

void TMemo::TextChanged() {
  if (!handle_) {
    syncing_ = true;
    lines_.SetText(caption_);
    syncing_ = false;
  }
  TEdit::TextChanged();
}

bool TMemo::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Lines.Strings") lines_.Assign(context.StringList(value));
  else if (name == "ScrollBars") scroll_bars_ = static_cast<TScrollStyle>(context.Enum(value, kScrollStyles));
  else if (name == "WordWrap") word_wrap_ = context.Boolean(value);
  else if (name == "WantReturns" || name == "WantTabs") context.Boolean(value);
  else return TEdit::SetProperty(name, value, context);
  return true;
}

// ---- TRichEdit ----

TRichEdit::TRichEdit(TComponent* owner) : TMemo(owner) {}

void TRichEdit::CreateParamsFor(CreateParams& params) {
  LoadRichEditLibrary();
  TMemo::CreateParamsFor(params);
  params.class_name = RICHEDIT_CLASSA;
  params.style |= ES_NOHIDESEL;
}

void TRichEdit::CreateWnd() {
  // The text as plain 8-bit text in the font's character set.
  ::SendMessageA(handle_, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  ::SetWindowTextA(handle_, caption_.c_str());
  ::SendMessageA(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE);
}

bool TRichEdit::HandleCommand(WORD code) { return TMemo::HandleCommand(code); }

int TRichEdit::SelStart() const {
  if (!handle_) return 0;
  CHARRANGE range{};
  ::SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMin;
}

void TRichEdit::SetSelStart(int start) {
  if (!handle_) return;
  CHARRANGE range{start, start};
  ::SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TRichEdit::SelLength() const {
  if (!handle_) return 0;
  CHARRANGE range{};
  ::SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMax - range.cpMin;
}

void TRichEdit::SetSelLength(int length) {
  if (!handle_) return;
  int start = SelStart();
  CHARRANGE range{start, start + length};
  ::SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TRichEdit::SelSize() const {
  if (!handle_) return 0;
  CHARFORMATA format{};
  format.cbSize = sizeof(format);
  ::SendMessageA(handle_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return static_cast<int>(format.yHeight / 20);
}

void TRichEdit::SetSelSize(int points) {
  if (!handle_) return;
  CHARFORMATA format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_SIZE;
  format.yHeight = points * 20;  // twips
  ::SendMessageA(handle_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

bool TRichEdit::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "PlainText") plain_text_ = context.Boolean(value);
  else if (name == "HideSelection" || name == "HideScrollBars") context.Boolean(value);
  else return TMemo::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
