// The end-to-end drivers' eyes inside the Wine session: what a person sees of another
// program's windows, told as text. It reads one command a line from its standard input and
// answers each with lines that end in a line "end", so that a driver can keep it running and
// poll windows and states instead of sleeping:
//
//   find TITLE          visible top-level windows with exactly this caption: "hwnd pid"
//   rect HWND           window rectangle and client rectangle, both in screen pixels
//   children HWND       every descendant: "hwnd<TAB>class<TAB>text<TAB>l t r b<TAB>visible enabled focus"
//   tree HWND           every node of a tree view that a person can reach (top level and the
//                       children of expanded nodes), in order:
//                       "depth<TAB>text<TAB>l t r b<TAB>state<TAB>image selected_image children"
//                       (the label's rectangle in screen pixels, 0 0 0 0 when scrolled away)
//   edit HWND           the tree view's label editor: "hwnd<TAB>text", or nothing
//   hit HWND X Y        what of a tree view lies under a screen point: the TVHT_* flags in hex
//   gui HWND            the state of the window's thread: "focus capture menu_mode"
//   foreground          the foreground window: "hwnd"
//   painted HWND        "1" once the window's thread has come back to its message loop and
//                       the window has nothing left to paint, else "0"
//   checked HWND        a check box's state: "0" or "1"
//   menus               visible popup menus: "hwnd<TAB>l t r b"
//   windows PID         visible top-level windows of a process: "hwnd<TAB>class<TAB>title<TAB>l t r b"
//   kill PID            ends a process (the setup program that a failed run leaves behind)
//   quit
//
// A tree view keeps its items in its own process: the records are read through memory
// reserved in that process (the same bitness as this program, which the test tree gives).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

HWND ParseWindow(const std::string& text) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(text.c_str(), nullptr, 0)));
}

// Texts go out on one line of tab-separated fields: line breaks and tabs become blanks.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return text;
}

std::string WindowTextOf(HWND window) {
  char text[512] = {};
  // WM_GETTEXT is carried across processes by the system.
  ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
  return OneLine(text);
}

std::string RectText(const RECT& r) {
  char text[80];
  std::snprintf(text, sizeof text, "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
  return text;
}

std::string Hex(const void* handle) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(handle)));
  return text;
}

struct FindContext {
  std::string title;
  std::vector<HWND> found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* context = reinterpret_cast<FindContext*>(param);
  if (::IsWindowVisible(window) && WindowTextOf(window) == context->title) context->found.push_back(window);
  return TRUE;
}

void Find(const std::string& title) {
  FindContext context{title, {}};
  ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&context));
  for (HWND window : context.found) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    std::printf("%s %lu\n", Hex(window).c_str(), pid);
  }
}

void Rect(HWND window) {
  RECT outer{}, client{};
  if (!::GetWindowRect(window, &outer)) return;
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  ::OffsetRect(&client, origin.x, origin.y);
  std::printf("%s %s\n", RectText(outer).c_str(), RectText(client).c_str());
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

struct ChildContext {
  HWND focus;
};

BOOL CALLBACK PrintChild(HWND window, LPARAM param) {
  auto* context = reinterpret_cast<ChildContext*>(param);
  char name[128] = {};
  ::GetClassNameA(window, name, sizeof name);
  RECT r{};
  ::GetWindowRect(window, &r);
  std::printf("%s\t%s\t%s\t%s\t%d %d %d\n", Hex(window).c_str(), name, WindowTextOf(window).c_str(), RectText(r).c_str(),
              ::IsWindowVisible(window) ? 1 : 0, ::IsWindowEnabled(window) ? 1 : 0, window == context->focus ? 1 : 0);
  return TRUE;
}

void Children(HWND window) {
  ChildContext context{FocusOf(window)};
  ::EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(&context));
}

// Memory in another process for the records of one tree view.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer() {
    if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) ::CloseHandle(process_);
  }
  bool ok() const { return address_ != nullptr; }
  char* at(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) {
    return ::WriteProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) {
    return ::ReadProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  SIZE_T size_;
};

constexpr SIZE_T kItemOffset = 0, kTextOffset = 256, kRectOffset = 1024, kBufferSize = 2048;

void PrintItem(HWND tree, RemoteBuffer& remote, HTREEITEM item, int depth) {
  TVITEMA record{};
  record.mask = TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_HANDLE;
  record.hItem = item;
  record.stateMask = 0xFFFF;
  record.pszText = remote.at(kTextOffset);
  record.cchTextMax = 512;
  remote.Write(kItemOffset, &record, sizeof record);
  ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.at(kItemOffset)));
  remote.Read(kItemOffset, &record, sizeof record);
  char text[512] = {};
  remote.Read(kTextOffset, text, sizeof text - 1);

  // TVM_GETITEMRECT takes the item in the rectangle it fills.
  RECT r{};
  std::memcpy(&r, &item, sizeof item);
  remote.Write(kRectOffset, &r, sizeof r);
  RECT label{};
  if (::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.at(kRectOffset)))) {
    remote.Read(kRectOffset, &label, sizeof label);
    POINT a{label.left, label.top}, b{label.right, label.bottom};
    ::ClientToScreen(tree, &a);
    ::ClientToScreen(tree, &b);
    label = RECT{a.x, a.y, b.x, b.y};
  }
  std::printf("%d\t%s\t%s\t0x%x\t%d %d %d\n", depth, OneLine(text).c_str(), RectText(label).c_str(), record.state, record.iImage,
              record.iSelectedImage, record.cChildren);
}

void Walk(HWND tree, RemoteBuffer& remote, HTREEITEM first, int depth) {
  for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item)) {
    PrintItem(tree, remote, item, depth);
    UINT state = static_cast<UINT>(::SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED));
    if (state & TVIS_EXPANDED) Walk(tree, remote, TreeView_GetChild(tree, item), depth + 1);
  }
}

void Tree(HWND tree) {
  RemoteBuffer remote(tree, kBufferSize);
  if (!remote.ok()) return;
  Walk(tree, remote, TreeView_GetRoot(tree), 0);
}

void Edit(HWND tree) {
  HWND edit = reinterpret_cast<HWND>(::SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
  if (edit && ::IsWindowVisible(edit)) std::printf("%s\t%s\n", Hex(edit).c_str(), WindowTextOf(edit).c_str());
}

void Hit(HWND tree, const std::string& point) {
  char* end = nullptr;
  POINT at{std::strtol(point.c_str(), &end, 10), std::strtol(end, nullptr, 10)};
  ::ScreenToClient(tree, &at);
  RemoteBuffer remote(tree, sizeof(TVHITTESTINFO));
  if (!remote.ok()) return;
  TVHITTESTINFO info{};
  info.pt = at;
  remote.Write(0, &info, sizeof info);
  ::SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote.at(0)));
  remote.Read(0, &info, sizeof info);
  std::printf("0x%x\n", info.flags);
}

void Gui(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return;
  std::printf("%s %s %d\n", Hex(info.hwndFocus).c_str(), Hex(info.hwndCapture).c_str(),
              (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) ? 1 : 0);
}

// A message sent to another thread is handled only when that thread looks at its queue, so an
// answer means that it has left whatever step it was in; WM_PAINT comes only when the queue
// is otherwise empty, so an update region left after that is a paint still to come.
void Painted(HWND window) {
  DWORD_PTR ignored = 0;
  const bool answers =
      ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
  std::printf("%d\n", answers && ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE) ? 1 : 0);
}

BOOL CALLBACK PrintMenu(HWND window, LPARAM) {
  char name[32] = {};
  ::GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32768" && ::IsWindowVisible(window)) {
    RECT r{};
    ::GetWindowRect(window, &r);
    std::printf("%s\t%s\n", Hex(window).c_str(), RectText(r).c_str());
  }
  return TRUE;
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM pid) {
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != static_cast<DWORD>(pid) || !::IsWindowVisible(window)) return TRUE;
  char name[128] = {};
  ::GetClassNameA(window, name, sizeof name);
  RECT r{};
  ::GetWindowRect(window, &r);
  std::printf("%s\t%s\t%s\t%s\n", Hex(window).c_str(), name, WindowTextOf(window).c_str(), RectText(r).c_str());
  return TRUE;
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t space = line.find(' ');
    std::string command = line.substr(0, space);
    std::string argument = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (command == "quit") break;
    if (command == "find") Find(argument);
    else if (command == "rect") Rect(ParseWindow(argument));
    else if (command == "children") Children(ParseWindow(argument));
    else if (command == "tree") Tree(ParseWindow(argument));
    else if (command == "edit") Edit(ParseWindow(argument));
    else if (command == "hit") {
      size_t blank = argument.find(' ');
      Hit(ParseWindow(argument.substr(0, blank)), blank == std::string::npos ? std::string() : argument.substr(blank + 1));
    }
    else if (command == "gui") Gui(ParseWindow(argument));
    else if (command == "painted") Painted(ParseWindow(argument));
    else if (command == "foreground") std::printf("%s\n", Hex(::GetForegroundWindow()).c_str());
    else if (command == "checked")
      std::printf("%d\n", ::SendMessageA(ParseWindow(argument), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    else if (command == "menus") ::EnumWindows(PrintMenu, 0);
    else if (command == "kill") {
      HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, std::strtoul(argument.c_str(), nullptr, 10));
      if (process) {
        ::TerminateProcess(process, 1);
        ::CloseHandle(process);
      }
    }
    else if (command == "windows") ::EnumWindows(PrintTopLevel, static_cast<LPARAM>(std::strtoul(argument.c_str(), nullptr, 10)));
    std::printf("end\n");
    std::fflush(stdout);
  }
  return 0;
}
