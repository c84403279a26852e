// The Send To fallback of a context menu without IContextMenu2, the menu messages around it, and
// reading shortcut files, on the real Send To folder and shell link object of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "shellbrowse/toolbox/context_menu.h"
#include "shellbrowse/toolbox/context_menu_messages.h"
#include "shellbrowse/toolbox/read_shortcut.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "tests/shellbrowse/shell_test_support.h"
#include "tests/support/memory_canvas.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

using testing::RemoveTree;
using testing::ScratchDirectory;
using testing::WriteTextFile;

// A context menu with or without IContextMenu2; counts the menu messages handed to it.
class FakeMenu : public IContextMenu2 {
 public:
  explicit FakeMenu(bool offers_menu2) : offers_menu2_(offers_menu2) {}
  int handled = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IContextMenu || (offers_menu2_ && iid == IID_IContextMenu2)) {
      *out = static_cast<IContextMenu2*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }
  STDMETHODIMP QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) override { return S_OK; }
  STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO*) override { return E_NOTIMPL; }
  STDMETHODIMP GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR name, UINT size) override {
    if (type != GCS_HELPTEXTA || offset != 5) return E_INVALIDARG;
    lstrcpynA(name, "help five", static_cast<int>(size));
    return S_OK;
  }
  STDMETHODIMP HandleMenuMsg(UINT, WPARAM, LPARAM) override {
    ++handled;
    return S_OK;
  }

 private:
  bool offers_menu2_;
  ULONG references_ = 1;
};

// Files of our own in the prefix's Send To folder, removed again at the end.
class SendToFiles {
 public:
  SendToFiles() {
    char path[MAX_PATH] = {};
    created_folder_ = SpecialFolderPath(nullptr, CSIDL_SENDTO).empty();
    SHGetFolderPathA(nullptr, CSIDL_SENDTO | CSIDL_FLAG_CREATE, nullptr, 0, path);
    folder_ = path;
    for (const char* name : {"Qalpha.txt", "Qbeta.txt", "Zeta.txt", "Hidden.txt"}) Touch(name);
    SetFileAttributesA((folder_ + "\\Hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA((folder_ + "\\Qdir").c_str(), nullptr);
  }
  ~SendToFiles() {
    for (const char* name : {"Qalpha.txt", "Qbeta.txt", "Zeta.txt", "Hidden.txt"}) {
      SetFileAttributesA((folder_ + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((folder_ + "\\" + name).c_str());
    }
    RemoveDirectoryA((folder_ + "\\Qdir").c_str());
    if (created_folder_) RemoveTree(folder_);
  }
  const std::string& folder() const { return folder_; }

 private:
  void Touch(const char* name) { WriteTextFile(folder_ + "\\" + name); }
  std::string folder_;
  bool created_folder_ = false;
};

int EntryIndex(const std::string& name) {
  const auto& entries = SendToList();
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].name == name) return static_cast<int>(i);
  return -1;
}

TEST(SendToFallback, FillsTheEmptyPopupFromTheFolder) {
  SendToFiles files;
  ASSERT_FALSE(files.folder().empty());
  FakeMenu menu(false);
  ContextMenuMessages messages;
  messages.SetMenu(&menu);
  LRESULT result = -1;

  unique_hmenu popup(CreatePopupMenu());
  AppendMenuA(popup.get(), MF_STRING | MF_GRAYED, 1234, "(empty)");
  ASSERT_TRUE(messages.HandleMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.get()), 0, result));

  const auto& entries = SendToList();
  ASSERT_EQ(GetMenuItemCount(popup.get()), static_cast<int>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(GetMenuItemID(popup.get(), static_cast<int>(i)), i + 1);
    EXPECT_TRUE(GetMenuState(popup.get(), static_cast<UINT>(i), MF_BYPOSITION) & MF_OWNERDRAW);
    if (i > 0) {
      EXPECT_LE(lstrcmpiA(entries[i - 1].name.c_str(), entries[i].name.c_str()), 0);
    }
  }
  int alpha = EntryIndex("Qalpha.txt");
  ASSERT_GE(alpha, 0);
  ASSERT_GE(EntryIndex("Qbeta.txt"), 0);
  ASSERT_GE(EntryIndex("Zeta.txt"), 0);
  EXPECT_EQ(EntryIndex("Hidden.txt"), -1);
  EXPECT_EQ(EntryIndex("Qdir"), -1);
  EXPECT_GE(entries[static_cast<std::size_t>(alpha)].icon, 0);
  EXPECT_EQ(messages.SendToEntryName(static_cast<UINT>(alpha + 1)), "Qalpha.txt");
  EXPECT_EQ(messages.SendToEntryName(0), "");

  // A filled popup, or one whose only item is enabled, is the shell's own.
  EXPECT_FALSE(messages.HandleMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.get()), 0, result));
  unique_hmenu enabled(CreatePopupMenu());
  AppendMenuA(enabled.get(), MF_STRING, 1234, "Item");
  EXPECT_FALSE(messages.HandleMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(enabled.get()), 0, result));
  EXPECT_EQ(GetMenuItemCount(enabled.get()), 1);

  // Measuring: the name without extension in the menu font, plus room for the icon.
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, static_cast<UINT>(alpha + 1), 0, 0, 0};
  ASSERT_TRUE(messages.HandleMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), result));
  EXPECT_EQ(measure.itemHeight, static_cast<UINT>(GetSystemMetrics(SM_CYMENU) + 2));
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  unique_hfont font(CreateFontIndirectA(&metrics.lfMenuFont));
  scoped_window_dc screen(nullptr);
  SIZE size{};
  {
    scoped_select_object select(screen.get(), font.get());
    GetTextExtentPoint32A(screen.get(), "Qalpha", 6, &size);
  }
  EXPECT_EQ(measure.itemWidth, static_cast<UINT>(size.cx + 32));
  MEASUREITEMSTRUCT shell_item{ODT_MENU, 0, kFirstShellCommandId + 1, 0, 0, 0};
  EXPECT_FALSE(messages.HandleMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&shell_item), result));

  // Drawing: highlight colours when selected, menu colours otherwise.
  testing::MemoryCanvas canvas(nullptr, 200, 30);
  for (bool selected : {true, false}) {
    DRAWITEMSTRUCT draw{ODT_MENU, 0, static_cast<UINT>(alpha + 1), ODA_DRAWENTIRE,
                        selected ? static_cast<UINT>(ODS_SELECTED) : 0u, nullptr, canvas.get(), {0, 0, 200, 30}, 0};
    ASSERT_TRUE(messages.HandleMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), result));
    EXPECT_EQ(GetPixel(canvas.get(), 199, 29), GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  }

  // Letters: two entries start with Q (select), the only one with Z runs at once.
  auto count_starting = [&](char letter) {
    return std::count_if(entries.begin(), entries.end(),
                         [&](const SendToEntry& e) { return !e.name.empty() && (e.name[0] & ~0x20) == letter; });
  };
  LRESULT answer = 0;
  ASSERT_TRUE(messages.HandleMessage(WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), reinterpret_cast<LPARAM>(popup.get()), answer));
  EXPECT_EQ(HIWORD(answer), MNC_SELECT);
  if (count_starting('Z') == 1) {
    ASSERT_TRUE(messages.HandleMessage(WM_MENUCHAR, MAKEWPARAM('z', MF_POPUP), reinterpret_cast<LPARAM>(popup.get()), answer));
    EXPECT_EQ(HIWORD(answer), MNC_EXECUTE);
    EXPECT_EQ(LOWORD(answer), EntryIndex("Zeta.txt"));
  }
  if (count_starting('J') == 0) {
    ASSERT_TRUE(messages.HandleMessage(WM_MENUCHAR, MAKEWPARAM('j', MF_POPUP), reinterpret_cast<LPARAM>(popup.get()), answer));
    EXPECT_EQ(answer, 1);
  }

  // Hints: a shell command's help text; nothing for our entries and for popups.
  std::vector<std::string> hints;
  messages.OnPopupHint = [&](const std::string& hint) { hints.push_back(hint); };
  messages.HandleMessage(WM_MENUSELECT, MAKEWPARAM(kFirstShellCommandId + 5, 0), reinterpret_cast<LPARAM>(popup.get()), result);
  messages.HandleMessage(WM_MENUSELECT, MAKEWPARAM(3, 0), reinterpret_cast<LPARAM>(popup.get()), result);
  messages.HandleMessage(WM_MENUSELECT, MAKEWPARAM(kFirstShellCommandId + 5, MF_POPUP), reinterpret_cast<LPARAM>(popup.get()), result);
  messages.HandleMessage(WM_MENUSELECT, MAKEWPARAM(kFirstShellCommandId + 6, 0), reinterpret_cast<LPARAM>(popup.get()), result);
  EXPECT_EQ(hints, (std::vector<std::string>{"help five", "", "", ""}));

  messages.SetMenu(nullptr);
  EXPECT_FALSE(messages.HandleMessage(WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), reinterpret_cast<LPARAM>(popup.get()), answer));
  FreeSendToList();
  EXPECT_TRUE(SendToList().empty());
}

TEST(SendToFallback, MenusWithIContextMenu2HandleTheirOwnMessages) {
  FakeMenu menu(true);
  ContextMenuMessages messages;
  messages.SetMenu(&menu);
  LRESULT result = -1;
  unique_hmenu popup(CreatePopupMenu());
  AppendMenuA(popup.get(), MF_STRING | MF_GRAYED, 1234, "(empty)");
  EXPECT_TRUE(messages.HandleMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.get()), 0, result));
  EXPECT_EQ(GetMenuItemCount(popup.get()), 1);
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, 3, 0, 0, 0};
  EXPECT_TRUE(messages.HandleMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), result));
  EXPECT_EQ(menu.handled, 2);
  messages.SetMenu(nullptr);
}

TEST(ReadShortcut, ReadsWhatTheShellLinkWrote) {
  ScratchDirectory scratch("shortcut");
  std::string target = scratch.path() + "\\target.txt";
  ASSERT_TRUE(WriteTextFile(target));
  std::string link_path = scratch.path() + "\\target.lnk";
  {
    ComPtr<IShellLinkA> link;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(link.GetAddressOf())), S_OK);
    link->SetPath(target.c_str());
    link->SetArguments("-x \"two words\"");
    link->SetDescription("A description");
    link->SetWorkingDirectory(scratch.path().c_str());
    link->SetIconLocation(target.c_str(), 2);
    link->SetShowCmd(SW_SHOWMAXIMIZED);
    link->SetHotkey(MAKEWORD('K', HOTKEYF_CONTROL));
    ComPtr<IPersistFile> persist;
    ASSERT_EQ(link.As(&persist), S_OK);
    std::wstring wide(link_path.begin(), link_path.end());
    ASSERT_EQ(persist->Save(wide.c_str(), TRUE), S_OK);
  }
  TLinkData data;
  ASSERT_EQ(ReadShortcut(link_path, data, true), S_OK);
  EXPECT_EQ(data.path, target);
  EXPECT_EQ(data.arguments, "-x \"two words\"");
  EXPECT_EQ(data.description, "A description");
  EXPECT_EQ(data.working_directory, scratch.path());
  EXPECT_EQ(data.icon_path, target);
  EXPECT_EQ(data.icon_index, 2);
  // Wine's shell link object answers SW_SHOWNORMAL for a loaded file whatever was saved;
  // Windows keeps the saved show command.
  bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  EXPECT_EQ(data.show_command, wine ? SW_SHOWNORMAL : SW_SHOWMAXIMIZED);
  EXPECT_EQ(data.hotkey, MAKEWORD('K', HOTKEYF_CONTROL));
  EXPECT_EQ(data.options, 63);
  ASSERT_TRUE(data.id_list);
  EXPECT_EQ(IdListToPath(data.id_list.get()), target);
  EXPECT_STREQ(data.find_data.cFileName, "target.txt");

  TLinkData missing;
  EXPECT_TRUE(FAILED(ReadShortcut(scratch.path() + "\\absent.lnk", missing, true)));
  EXPECT_EQ(missing.options, 0);
  EXPECT_FALSE(missing.id_list);
}

}  // namespace
}  // namespace stampwell
