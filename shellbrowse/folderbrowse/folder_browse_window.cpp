#include "shellbrowse/folderbrowse/folder_browse_window.h"

#include "framework/application.h"
#include "framework/dpi_scale.h"
#include "framework/unique_handle.h"
#include "shellbrowse/folderbrowse/folder_browse_layout.h"
#include "shellbrowse/toolbox/shell_strings.h"
#include "shellbrowse_strings.h"

namespace stampwell {
namespace {

// Ends the modal loop after a failed show; any result but OK reads as "not chosen".
constexpr TModalResult kShowFailed = IDABORT;

int RealScreenColorDepth() {
  scoped_window_dc screen(nullptr);
  return screen.get() ? ::GetDeviceCaps(screen.get(), BITSPIXEL) : 0;
}

// The layout works in 96-dpi units, as the form is written; the controls place them at the
// window's DPI.
LayoutRect DesignRect(const TControl& c) {
  return LayoutRect{c.DesignLeft(), c.DesignTop(), c.DesignLeft() + c.DesignWidth(), c.DesignTop() + c.DesignHeight()};
}

void SetDesignRect(TControl& control, const LayoutRect& r) { control.SetDesignBounds(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

namespace seams {
ScreenColorDepthFn ScreenColorDepth = RealScreenColorDepth;
}  // namespace seams

void RegisterFolderBrowseWindowClasses() {
  RegisterShellTreeFormClass();
  RegisterFrameControl();
  RegisterSpeedButtonClass();
}

TPTFrmFolderBrowseDlg::TPTFrmFolderBrowseDlg(TComponent* owner) : TForm(owner) {
  RegisterFolderBrowseWindowClasses();
  RegisterHandlers({
      {"FormResize", TNotifyEvent([this](TObject* s) { FormResize(s); })},
      {"PTShellTree1Change", TTVChangedEvent([this](TObject* s, TTreeNode* n) { PTShellTree1Change(s, n); })},
      {"CreateBtnClick", TNotifyEvent([this](TObject* s) { CreateBtnClick(s); })},
      {"DeleteBtnClick", TNotifyEvent([this](TObject* s) { DeleteBtnClick(s); })},
  });
  LoadFromResource("PTFrmFolderBrowseDlg");
  PTShellTree1 = &Field<TPTShellTree>("PTShellTree1");
  ButtonPanel = &Field<TPanel>("ButtonPanel");
  OkBtn = &Field<TButton>("OkBtn");
  CancelBtn = &Field<TButton>("CancelBtn");
  CreateBtn = &Field<TButton>("CreateBtn");
  DeleteBtn = &Field<TButton>("DeleteBtn");
  CreateNewFolderBtn = &Field<TSpeedButton>("CreateNewFolderBtn");
  DeleteFolderBtn = &Field<TSpeedButton>("DeleteFolderBtn");
  StatusTxt = &Field<TPTFrame>("StatusTxt");
  // The resize that gave the window its size came before the fields were known.
  LayOut();
}

TPTFrmFolderBrowseDlg::~TPTFrmFolderBrowseDlg() = default;

void TPTFrmFolderBrowseDlg::CreateWnd() {
  TForm::CreateWnd();
  RECT client;
  ::GetClientRect(handle_, &client);
  size_grip_ = ::CreateWindowExA(0, "SCROLLBAR", "", 0x56000010, client.right - kSizeGripSize,
                                 client.bottom - kSizeGripSize, kSizeGripSize, kSizeGripSize, handle_, nullptr,
                                 Application().Instance(), nullptr);
  if (size_grip_) ::SetWindowPos(size_grip_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TPTFrmFolderBrowseDlg::DoShow() {
  try {
    TForm::DoShow();
    Font().SetName(TranslateString(LoadToolboxString(IDS_SB_FONT_NAME)));
    TPTShellTreeOptions tree_options = PTShellTree1->Options();
    tree_options += ptstoAutoFill;
    PTShellTree1->SetOptions(tree_options);
    PTShellTree1->FillTree();
    LoadStrings();
    UpgradePictures();
    // Shown for the first time, the window has the size that it will be laid out for.
    LayOut();
  } catch (...) {
    show_error_ = std::current_exception();
    SetModalResult(kShowFailed);
    return;
  }
  FireEvent(ShowCallback, this);
}

void TPTFrmFolderBrowseDlg::DoHide() {
  TForm::DoHide();
  FireEvent(HideCallback, this);
}

TModalResult TPTFrmFolderBrowseDlg::ShowModalOrRaise() {
  show_error_ = nullptr;
  TModalResult result = ShowModal();
  if (show_error_) {
    std::exception_ptr error = show_error_;
    show_error_ = nullptr;
    std::rethrow_exception(error);
  }
  return result;
}

void TPTFrmFolderBrowseDlg::UpgradePictures() {
  int depth = seams::ScreenColorDepth();
  if (depth != 0 && depth <= 8) return;  // a palette display keeps the 16-colour pictures
  CreateNewFolderBtn->LoadGlyphFromResource("ptscp_newfolder16_8bpp");
  DeleteFolderBtn->SetNumGlyphs(2);
  DeleteFolderBtn->LoadGlyphFromResource("ptscp_delete16_8bpp");
}

void TPTFrmFolderBrowseDlg::LoadStrings() {
  OkBtn->SetCaption(ToolboxText(IDS_SB_OK));
  CancelBtn->SetCaption(ToolboxText(IDS_SB_CANCEL));
  CreateNewFolderBtn->SetHint(ToolboxText(IDS_SB_CREATE_FOLDER_HINT) + "|" + ToolboxText(IDS_SB_CREATE_FOLDER_HELP));
  DeleteFolderBtn->SetHint(ToolboxText(IDS_SB_DELETE_HINT) + "|" + ToolboxText(IDS_SB_DELETE_HELP));
  if (Caption().empty()) SetCaption(ToolboxText(IDS_SB_BROWSE_CAPTION));
}

void TPTFrmFolderBrowseDlg::ApplyOptions(TPTFolderBrowseDlgOptions options) {
  options_ = options;
  PTShellTree1->SetOptions(TreeOptionsForDialog(options, PTShellTree1->Options()));
  bool push_buttons = HasFolderBrowseOption(options, ptfbCreateDeleteButtons);
  CreateBtn->SetVisible(push_buttons);
  DeleteBtn->SetVisible(push_buttons);
  CreateNewFolderBtn->SetVisible(HasFolderBrowseOption(options, ptfbCreateFolderIcon));
  DeleteFolderBtn->SetVisible(HasFolderBrowseOption(options, ptfbDeleteFolderIcon));
  PTShellTree1->SetReadOnly(HasFolderBrowseOption(options, ptfbReadOnly));
}

void TPTFrmFolderBrowseDlg::GetMinMaxInfo(MINMAXINFO& info) {
  // The minimum is an outer size at 96 dpi: its client part scales, the frame stays the
  // system's (taken as it is now, since the system draws it at one size).
  RECT window{}, client{};
  if (HandleAllocated()) {
    ::GetWindowRect(handle_, &window);
    ::GetClientRect(handle_, &client);
  }
  const int frame_width = window.right - window.left - client.right;
  const int frame_height = window.bottom - window.top - client.bottom;
  info.ptMinTrackSize.x = Scale(kFolderBrowseMinWidth - frame_width) + frame_width;
  info.ptMinTrackSize.y = Scale(kFolderBrowseMinHeight - frame_height) + frame_height;
}

void TPTFrmFolderBrowseDlg::FormResize(TObject* Sender) { LayOut(); }

void TPTFrmFolderBrowseDlg::LayOut() {
  if (!PTShellTree1 || !HandleAllocated()) return;
  RECT client;
  ::GetClientRect(handle_, &client);
  const unsigned dpi = Dpi();
  FolderBrowseLayoutInput in;
  in.window_width = UnscaleFromDpi(Width(), dpi);
  in.client_right = UnscaleFromDpi(client.right, dpi);
  in.status = DesignRect(*StatusTxt);
  in.tree = DesignRect(*PTShellTree1);
  in.button_panel_top = ButtonPanel->DesignTop();
  in.ok_width = OkBtn->DesignWidth();
  in.cancel_width = CancelBtn->DesignWidth();
  in.create_delete_buttons = HasFolderBrowseOption(options_, ptfbCreateDeleteButtons);
  in.new_folder_visible = CreateNewFolderBtn->Visible();
  in.new_folder = DesignRect(*CreateNewFolderBtn);
  in.delete_visible = DeleteFolderBtn->Visible();
  in.delete_button = DesignRect(*DeleteFolderBtn);
  FolderBrowseLayout out = LayOutFolderBrowseWindow(in);

  SetDesignRect(*PTShellTree1, out.tree);
  OkBtn->SetDesignBounds(out.ok_left, OkBtn->DesignTop(), OkBtn->DesignWidth(), OkBtn->DesignHeight());
  CancelBtn->SetDesignBounds(out.cancel_left, CancelBtn->DesignTop(), CancelBtn->DesignWidth(), CancelBtn->DesignHeight());
  if (in.delete_visible) SetDesignRect(*DeleteFolderBtn, out.delete_button);
  if (in.new_folder_visible) SetDesignRect(*CreateNewFolderBtn, out.new_folder);
  SetDesignRect(*StatusTxt, out.status);
  // The size grip is the system's, of the same size at every DPI.
  if (size_grip_)
    ::SetWindowPos(size_grip_, HWND_TOP, client.right - kSizeGripSize, client.bottom - kSizeGripSize, 0, 0, SWP_NOSIZE);
}

void TPTFrmFolderBrowseDlg::PTShellTree1Change(TObject* Sender, TTreeNode* Node) {
  if (!Node) return;
  TPTShTreeData* data = PTShellTree1->NodeData(Node);
  if (!data) return;
  std::string path = data->Path();
  bool has_path = !path.empty();
  CreateBtn->SetEnabled(has_path);
  CreateNewFolderBtn->SetEnabled(has_path);
  // The first node of the whole tree is its root, which is never deleted from here.
  bool can_delete = has_path && Node->AbsoluteIndex() != 0;
  DeleteBtn->SetEnabled(can_delete);
  DeleteFolderBtn->SetEnabled(can_delete);
  FireEvent(SelChangeCallback, this, data->AbsIdList());
}

void TPTFrmFolderBrowseDlg::CreateBtnClick(TObject* Sender) { PTShellTree1->CreateNewFolder(); }

void TPTFrmFolderBrowseDlg::DeleteBtnClick(TObject* Sender) {
  if (TTreeNode* node = PTShellTree1->Selected()) PTShellTree1->InvokeCommand(node, "delete");
  PTShellTree1->RefreshTree();
}

}  // namespace stampwell
