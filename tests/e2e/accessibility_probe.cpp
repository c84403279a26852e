// A screen reader's view of another program's window, told as text: it reads the window's
// accessible objects from outside through the system's accessibility library (MSAA), as an
// assistive program does, and acts through them. One command a line on its standard input;
// each answer ends in a line "end":
//
//   find TITLE        visible top-level windows with exactly this caption: "hwnd"
//   tree HWND         the window's client object, then each child:
//                     "id<TAB>role<TAB>name<TAB>states<TAB>l t r b<TAB>value<TAB>default action"
//   focus HWND        the child of the client that has the focus: "id" (0: the client itself)
//   press HWND NAME   accDoDefaultAction on the child of that name: "ok" or "failed 0x..."
//   system HWND TEXT  the system's own object for the client area of the window's descendant
//                     window with this text: "role<TAB>name<TAB>states"
//   quit
//
// Roles are printed by the names of their constants (see RoleText). The probe has the setup's bitness, so that both sides of the marshalled calls match what a
// screen reader of that bitness would see.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

HWND ParseWindow(const std::string& text) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(text.c_str(), nullptr, 0)));
}

std::string Narrow(BSTR text) {
  if (!text) return "";
  const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(length > 0 ? length - 1 : 0, '\0');
  if (length > 1) ::WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
  ::SysFreeString(text);
  for (char& c : result) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return result;
}

VARIANT Child(long id) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// The role by the name of its constant (ROLE_SYSTEM_PUSHBUTTON: "pushbutton"), not by the
// system's role text: Wine's oleacc spells those texts differently ("check button", "static
// text" where Windows says "check box", "text"), and the tree must read the same on both.
std::string RoleText(long role) {
  static const struct {
    long role;
    const char* name;
  } kRoles[] = {{ROLE_SYSTEM_CLIENT, "client"}, {ROLE_SYSTEM_WINDOW, "window"},
                {ROLE_SYSTEM_STATICTEXT, "statictext"}, {ROLE_SYSTEM_TEXT, "text"},
                {ROLE_SYSTEM_PUSHBUTTON, "pushbutton"}, {ROLE_SYSTEM_CHECKBUTTON, "checkbutton"},
                {ROLE_SYSTEM_LINK, "link"}, {ROLE_SYSTEM_PROGRESSBAR, "progressbar"}};
  for (const auto& r : kRoles) {
    if (r.role == role) return r.name;
  }
  return "role " + std::to_string(role);
}

std::string StateText(long state) {
  static const struct {
    long bit;
    const char* name;
  } kStates[] = {{STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_FOCUSED, "focused"},
                 {STATE_SYSTEM_FOCUSABLE, "focusable"}, {STATE_SYSTEM_CHECKED, "checked"},
                 {STATE_SYSTEM_READONLY, "read-only"}, {STATE_SYSTEM_LINKED, "linked"},
                 {STATE_SYSTEM_INVISIBLE, "invisible"}};
  std::string text;
  for (const auto& s : kStates) {
    if (state & s.bit) text += (text.empty() ? "" : ",") + std::string(s.name);
  }
  return text.empty() ? "-" : text;
}

std::string Describe(IAccessible* object, long id) {
  VARIANT child = Child(id);
  BSTR name = nullptr, value = nullptr, action = nullptr;
  VARIANT role, state;
  ::VariantInit(&role);
  ::VariantInit(&state);
  object->get_accName(child, &name);
  object->get_accValue(child, &value);
  object->get_accDefaultAction(child, &action);
  object->get_accRole(child, &role);
  object->get_accState(child, &state);
  long l = 0, t = 0, w = 0, h = 0;
  object->accLocation(&l, &t, &w, &h, child);
  char place[80];
  std::snprintf(place, sizeof place, "%ld %ld %ld %ld", l, t, l + w, t + h);
  return std::to_string(id) + "\t" + (role.vt == VT_I4 ? RoleText(role.lVal) : "?") + "\t" + Narrow(name) + "\t" +
         (state.vt == VT_I4 ? StateText(state.lVal) : "?") + "\t" + place + "\t" + Narrow(value) + "\t" +
         Narrow(action);
}

IAccessible* ClientOf(HWND window) {
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
    return nullptr;
  return object;
}

void Tree(HWND window) {
  IAccessible* client = ClientOf(window);
  if (!client) return;
  long count = 0;
  client->get_accChildCount(&count);
  for (long id = 0; id <= count; ++id) std::cout << Describe(client, id) << "\n";
  client->Release();
}

void Focus(HWND window) {
  IAccessible* client = ClientOf(window);
  if (!client) return;
  VARIANT focus;
  ::VariantInit(&focus);
  if (client->get_accFocus(&focus) == S_OK && focus.vt == VT_I4) std::cout << focus.lVal << "\n";
  ::VariantClear(&focus);
  client->Release();
}

void Press(HWND window, const std::string& wanted) {
  IAccessible* client = ClientOf(window);
  if (!client) {
    std::cout << "failed no object\n";
    return;
  }
  long count = 0;
  client->get_accChildCount(&count);
  HRESULT hr = DISP_E_MEMBERNOTFOUND;
  for (long id = 1; id <= count; ++id) {
    BSTR name = nullptr;
    client->get_accName(Child(id), &name);
    if (Narrow(name) == wanted) {
      hr = client->accDoDefaultAction(Child(id));
      break;
    }
  }
  client->Release();
  if (SUCCEEDED(hr)) std::cout << "ok\n";
  else std::printf("failed 0x%08lx\n", static_cast<unsigned long>(hr));
}

struct DescendantSearch {
  std::string text;
  HWND found;
};

BOOL CALLBACK MatchText(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DescendantSearch*>(data);
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof text);
  if (search->text != text) return TRUE;
  search->found = window;
  return FALSE;
}

void System(HWND window, const std::string& text) {
  DescendantSearch search{text, nullptr};
  ::EnumChildWindows(window, MatchText, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  IAccessible* object = ClientOf(search.found);
  if (!object) return;
  const std::string line = Describe(object, CHILDID_SELF);
  // Only role, name and states: "id<TAB>role<TAB>name<TAB>states<TAB>..."
  const size_t first = line.find('\t');
  size_t end = first;
  for (int field = 0; field < 3 && end != std::string::npos; ++field) end = line.find('\t', end + 1);
  std::cout << line.substr(first + 1, end - first - 1) << "\n";
  object->Release();
}

struct FindData {
  std::string title;
};

BOOL CALLBACK PrintIfTitled(HWND window, LPARAM data) {
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof text);
  if (::IsWindowVisible(window) && reinterpret_cast<FindData*>(data)->title == text) {
    std::cout << reinterpret_cast<INT_PTR>(window) << "\n";
  }
  return TRUE;
}

}  // namespace

int main() {
  ::CoInitialize(nullptr);
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "quit") break;
    if (command == "find") {
      FindData data{argument};
      ::EnumWindows(PrintIfTitled, reinterpret_cast<LPARAM>(&data));
    } else if (command == "tree") {
      Tree(ParseWindow(argument));
    } else if (command == "focus") {
      Focus(ParseWindow(argument));
    } else if (command == "press") {
      const size_t gap = argument.find(' ');
      Press(ParseWindow(argument.substr(0, gap)), gap == std::string::npos ? "" : argument.substr(gap + 1));
    } else if (command == "system") {
      const size_t gap = argument.find(' ');
      System(ParseWindow(argument.substr(0, gap)), gap == std::string::npos ? "" : argument.substr(gap + 1));
    }
    std::cout << "end" << std::endl;
  }
  ::CoUninitialize();
  return 0;
}
