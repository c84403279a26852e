// The wizard window as a screen reader reads it: its client object taken the way every client
// takes it (AccessibleObjectFromWindow, which sends WM_GETOBJECT), and the WinEvents that it
// raises, caught by a hook as a screen reader catches them.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/application.h"
#include "wizard/form1.h"
#include "wizard/wizard_keyboard.h"
#include "wizard_test_support.h"

namespace stampwell::wizard {
namespace {

using testing::Pump;

struct Child {
  std::string name;
  long role;
  long state;
  std::string value;
  std::string action;
  RECT bounds;
};

std::string Narrow(BSTR text) {
  std::string result;
  for (const wchar_t* c = text; c && *c; ++c) result += static_cast<char>(*c);
  ::SysFreeString(text);
  return result;
}

VARIANT Id(long id) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

struct ReleaseAccessible {
  void operator()(IAccessible* object) const { object->Release(); }
};
using AccessiblePtr = std::unique_ptr<IAccessible, ReleaseAccessible>;

AccessiblePtr ClientOf(HWND window) {
  IAccessible* object = nullptr;
  const HRESULT hr = ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                  reinterpret_cast<void**>(&object));
  EXPECT_EQ(hr, S_OK);
  return AccessiblePtr(object);
}

std::vector<Child> Children(IAccessible& client) {
  long count = 0;
  EXPECT_EQ(client.get_accChildCount(&count), S_OK);
  std::vector<Child> children;
  for (long id = 1; id <= count; ++id) {
    Child c{};
    BSTR text = nullptr;
    client.get_accName(Id(id), &text);
    c.name = Narrow(text);
    text = nullptr;
    client.get_accValue(Id(id), &text);
    c.value = Narrow(text);
    text = nullptr;
    client.get_accDefaultAction(Id(id), &text);
    c.action = Narrow(text);
    VARIANT v;
    ::VariantInit(&v);
    client.get_accRole(Id(id), &v);
    c.role = v.lVal;
    client.get_accState(Id(id), &v);
    c.state = v.lVal;
    long l = 0, t = 0, w = 0, h = 0;
    client.accLocation(&l, &t, &w, &h, Id(id));
    c.bounds = RECT{l, t, l + w, t + h};
    children.push_back(c);
  }
  return children;
}

std::vector<std::pair<std::string, long>> NamesAndRoles(const std::vector<Child>& children) {
  std::vector<std::pair<std::string, long>> result;
  for (const Child& c : children) result.emplace_back(c.name, c.role);
  return result;
}

const Child& Named(const std::vector<Child>& children, const std::string& name) {
  for (const Child& c : children) {
    if (c.name == name) return c;
  }
  static const Child none{};
  ADD_FAILURE() << "no child named " << name;
  return none;
}

long IdOf(const std::vector<Child>& children, const std::string& name) {
  for (size_t i = 0; i < children.size(); ++i) {
    if (children[i].name == name) return static_cast<long>(i + 1);
  }
  return 0;
}

RECT ScreenRect(const TControl& control) {
  RECT r = control.BoundsRect();
  ::MapWindowPoints(control.Parent()->HandleOrNull(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class WizardAccessible : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CoInitialize(nullptr);
    form_ = std::make_unique<TForm1>();
    form_->Show();
    ::SetForegroundWindow(form_->hwnd());
    Pump(150, form_->hwnd());
  }
  void TearDown() override {
    form_.reset();
    Pump(50);
    testing::TakeQuit();
    Application().ClearTerminated();
    ::CoUninitialize();
  }
  std::unique_ptr<TForm1> form_;
};

TEST_F(WizardAccessible, EachPageListsWhatASightedUserSees) {
  AccessiblePtr client = ClientOf(form_->hwnd());
  ASSERT_TRUE(client);
  VARIANT role;
  ::VariantInit(&role);
  ASSERT_EQ(client->get_accRole(Id(CHILDID_SELF), &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);

  const std::string title = form_->Label1->Caption();
  auto page = Children(*client);
  using Roles = std::vector<std::pair<std::string, long>>;
  EXPECT_EQ(NamesAndRoles(page), (Roles{{title, ROLE_SYSTEM_STATICTEXT},
                                        {"I Accept the License Agreement", ROLE_SYSTEM_CHECKBUTTON},
                                        {"License Agreement", ROLE_SYSTEM_LINK},
                                        {"Quick Install", ROLE_SYSTEM_PUSHBUTTON},
                                        {"Custom Install", ROLE_SYSTEM_PUSHBUTTON},
                                        {"Close", ROLE_SYSTEM_PUSHBUTTON}}));
  EXPECT_TRUE(Named(page, "I Accept the License Agreement").state & STATE_SYSTEM_CHECKED);
  const Child& quick = Named(page, "Quick Install");
  EXPECT_EQ(quick.action, "Press");
  EXPECT_EQ(quick.state & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE), STATE_SYSTEM_FOCUSABLE);
  const RECT where = ScreenRect(*form_->Button_QuickInstall);
  EXPECT_TRUE(::EqualRect(&quick.bounds, &where));
  EXPECT_EQ(Named(page, "License Agreement").action, "Jump");

  // Without the acceptance: the box unchecked, both install buttons unavailable.
  form_->CheckBox5Click();
  page = Children(*client);
  EXPECT_FALSE(Named(page, "I Accept the License Agreement").state & STATE_SYSTEM_CHECKED);
  EXPECT_TRUE(Named(page, "Quick Install").state & STATE_SYSTEM_UNAVAILABLE);
  EXPECT_FALSE(Named(page, "Custom Install").state & STATE_SYSTEM_FOCUSABLE);
  form_->CheckBox5Click();

  // The focus, as the keyboard moved it.
  form_->Keyboard().FocusControl(form_->Button_custominstall);
  page = Children(*client);
  EXPECT_TRUE(Named(page, "Custom Install").state & STATE_SYSTEM_FOCUSED);
  VARIANT focus;
  ::VariantInit(&focus);
  ASSERT_EQ(client->get_accFocus(&focus), S_OK);
  EXPECT_EQ(focus.lVal, IdOf(page, "Custom Install"));

  form_->ShowPage(kFolderPage);
  page = Children(*client);
  EXPECT_EQ(NamesAndRoles(page), (Roles{{title, ROLE_SYSTEM_STATICTEXT},
                                        {"Destination folder", ROLE_SYSTEM_STATICTEXT},
                                        {"Destination folder", ROLE_SYSTEM_TEXT},
                                        {"Browse", ROLE_SYSTEM_PUSHBUTTON},
                                        {"Create a desktop icon", ROLE_SYSTEM_CHECKBUTTON},
                                        {"Start Menu shortcuts", ROLE_SYSTEM_CHECKBUTTON},
                                        {"Install", ROLE_SYSTEM_PUSHBUTTON},
                                        {"Back", ROLE_SYSTEM_PUSHBUTTON},
                                        {"Close", ROLE_SYSTEM_PUSHBUTTON}}));
  EXPECT_EQ(page[2].value, form_->Edit1->Text());

  // The progress page has no close button, and tells the progress in percent.
  form_->ShowPage(kProgressPage);
  form_->SetProgressFillWidth(TForm1::kProgressFillWidth / 4);
  form_->SetTimeText("About 12 seconds left");
  page = Children(*client);
  EXPECT_EQ(NamesAndRoles(page), (Roles{{title, ROLE_SYSTEM_STATICTEXT},
                                        {"Installing, please wait...", ROLE_SYSTEM_STATICTEXT},
                                        {"Installation progress", ROLE_SYSTEM_PROGRESSBAR},
                                        {"About 12 seconds left", ROLE_SYSTEM_STATICTEXT}}));
  EXPECT_EQ(Named(page, "Installation progress").value, "25%");

  form_->ShowPage(kFinishPage);
  page = Children(*client);
  EXPECT_EQ(NamesAndRoles(page), (Roles{{title, ROLE_SYSTEM_STATICTEXT},
                                        {form_->label5->Caption(), ROLE_SYSTEM_STATICTEXT},
                                        {"Launch " + title, ROLE_SYSTEM_CHECKBUTTON},
                                        {"Finish", ROLE_SYSTEM_PUSHBUTTON}}));
}

TEST_F(WizardAccessible, TheDefaultActionPressesOnceTheCallerHasReturned) {
  AccessiblePtr client = ClientOf(form_->hwnd());
  ASSERT_TRUE(client);
  auto page = Children(*client);
  // The press comes back as a message, so that a client is never held inside the install
  // run or a message box.
  ASSERT_EQ(client->accDoDefaultAction(Id(IdOf(page, "Custom Install"))), S_OK);
  EXPECT_EQ(form_->ActivePage(), kChoicePage);
  testing::PumpInput(form_->hwnd());
  EXPECT_EQ(form_->ActivePage(), kFolderPage);

  page = Children(*client);
  ASSERT_EQ(client->accDoDefaultAction(Id(IdOf(page, "Create a desktop icon"))), S_OK);
  testing::PumpInput(form_->hwnd());
  EXPECT_FALSE(form_->CheckBox1->Checked());
  // Texts have no action.
  EXPECT_EQ(client->accDoDefaultAction(Id(1)), DISP_E_MEMBERNOTFOUND);

  ASSERT_EQ(client->accDoDefaultAction(Id(IdOf(page, "Back"))), S_OK);
  testing::PumpInput(form_->hwnd());
  EXPECT_EQ(form_->ActivePage(), kChoicePage);
  page = Children(*client);
  ASSERT_EQ(client->accDoDefaultAction(Id(IdOf(page, "I Accept the License Agreement"))), S_OK);
  testing::PumpInput(form_->hwnd());
  EXPECT_FALSE(form_->CheckBox5->Checked());
  EXPECT_FALSE(form_->Button_QuickInstall->Enabled());

  // An object kept after its window went away answers, but as disconnected.
  form_.reset();
  long count = 0;
  EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

using Event = std::tuple<DWORD, LONG>;  // event, child id
std::vector<Event>* g_events = nullptr;  // the hook's callback has no context of its own
HWND g_window = nullptr;

void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (g_events && window == g_window && object == OBJID_CLIENT) g_events->emplace_back(event, child);
}

TEST_F(WizardAccessible, RaisesTheWinEventsThatAScreenReaderFollows) {
  std::vector<Event> events;
  g_events = &events;
  g_window = form_->hwnd();
  HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Record, ::GetCurrentProcessId(), 0,
                                         WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  AccessiblePtr client = ClientOf(form_->hwnd());
  auto page = Children(*client);
  auto saw = [&](DWORD event, LONG child) {
    testing::PumpInput(form_->hwnd());
    const bool seen = std::find(events.begin(), events.end(), Event{event, child}) != events.end();
    events.clear();
    return seen;
  };

  form_->Keyboard().FocusControl(form_->Button_QuickInstall);
  EXPECT_TRUE(saw(EVENT_OBJECT_FOCUS, IdOf(page, "Quick Install")));
  form_->CheckBox5Click();
  testing::PumpInput(form_->hwnd());
  const std::vector<Event> toggled = events;
  events.clear();
  for (const char* name : {"I Accept the License Agreement", "Quick Install", "Custom Install"}) {
    EXPECT_NE(std::find(toggled.begin(), toggled.end(), Event{EVENT_OBJECT_STATECHANGE, IdOf(page, name)}),
              toggled.end())
        << name;
  }
  form_->ShowPage(kProgressPage);
  EXPECT_TRUE(saw(EVENT_OBJECT_REORDER, CHILDID_SELF));
  page = Children(*client);
  form_->SetProgressFillWidth(100);
  EXPECT_TRUE(saw(EVENT_OBJECT_VALUECHANGE, IdOf(page, "Installation progress")));
  // The time text is the page's last child; its name is what changes.
  form_->SetTimeText("About 3 seconds left");
  EXPECT_TRUE(saw(EVENT_OBJECT_NAMECHANGE, static_cast<LONG>(page.size())));

  ::UnhookWinEvent(hook);
  g_events = nullptr;
}

}  // namespace
}  // namespace stampwell::wizard
