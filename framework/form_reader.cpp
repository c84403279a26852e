#include "framework/form_reader.h"

#include <windows.h>

#include <map>

#include "framework/controls.h"
#include "framework/menus.h"
#include "framework/std_controls.h"
#include "framework/timer.h"
#include "framework/tree_view.h"

namespace stampwell {
namespace {

std::map<std::string, FormClassFactory>& Registry() {
  static std::map<std::string, FormClassFactory> registry = [] {
    std::map<std::string, FormClassFactory> r;
    auto add = [&r](const char* name, FormClassFactory f) { r[name] = std::move(f); };
    add("TEdit", [](TComponent* o) -> TComponent* { return new TEdit(o); });
    add("TCheckBox", [](TComponent* o) -> TComponent* { return new TCheckBox(o); });
    add("TButton", [](TComponent* o) -> TComponent* { return new TButton(o); });
    add("TMemo", [](TComponent* o) -> TComponent* { return new TMemo(o); });
    add("TRichEdit", [](TComponent* o) -> TComponent* { return new TRichEdit(o); });
    add("TProgressBar", [](TComponent* o) -> TComponent* { return new TProgressBar(o); });
    add("TListBox", [](TComponent* o) -> TComponent* { return new TListBox(o); });
    add("TPanel", [](TComponent* o) -> TComponent* { return new TPanel(o); });
    add("TPageControl", [](TComponent* o) -> TComponent* { return new TPageControl(o); });
    add("TTabSheet", [](TComponent* o) -> TComponent* { return new TTabSheet(o); });
    add("TImage", [](TComponent* o) -> TComponent* { return new TImage(o); });
    add("TLabel", [](TComponent* o) -> TComponent* { return new TLabel(o); });
    add("TTreeView", [](TComponent* o) -> TComponent* { return new TTreeView(o); });
    add("TTimer", [](TComponent* o) -> TComponent* { return new TTimer(o); });
    add("TMainMenu", [](TComponent* o) -> TComponent* { return new TMainMenu(o); });
    add("TMenuItem", [](TComponent* o) -> TComponent* { return new TMenuItem(o); });
    return r;
  }();
  return registry;
}

void ApplyProperties(TComponent& component, const FormObject& object, FormReadContext& context) {
  for (const FormProperty& p : object.properties) {
    context.At(p.line, p.name);
    if (!component.SetProperty(p.name, p.value, context)) context.Fail("unknown property of " + object.class_name);
  }
}

void ReadChildren(TComponent& parent, const FormObject& object, FormReadContext& context,
                  std::vector<TComponent*>& made) {
  for (const FormObject& child : object.children) {
    context.At(child.line, "");
    auto it = Registry().find(child.class_name);
    if (it == Registry().end()) context.Fail("unknown class " + child.class_name);
    if (context.Form().FindComponent(child.name)) context.Fail("a second component named " + child.name);
    TComponent* component = it->second(&context.Form());
    component->SetName(child.name);
    component->SetLoading(true);
    made.push_back(component);
    parent.ReadChild(component, context);
    ApplyProperties(*component, child, context);
    ReadChildren(*component, child, context, made);
  }
}

}  // namespace

void RegisterFormClass(const std::string& class_name, FormClassFactory factory) {
  Registry()[class_name] = std::move(factory);
}

std::string FormResourceText(const std::string& name) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  if (!bytes) throw Exception("Resource " + name + " not found");
  return std::string(bytes, ::SizeofResource(module, found));
}

void ReadForm(TForm& form, const std::string& text, const std::string& form_name) {
  FormObject root = ParseFormText(text, form_name);
  FormReadContext context(form, form_name);
  form.SetName(root.name);
  std::vector<TComponent*> made;
  try {
    ApplyProperties(form, root, context);
    ReadChildren(form, root, context, made);
    context.ResolveReferences();
  } catch (...) {
    // A half-read form keeps nothing of the text.
    for (auto it = made.rbegin(); it != made.rend(); ++it) delete *it;
    throw;
  }
  for (TComponent* c : made) c->SetLoading(false);
  for (TComponent* c : made) c->Loaded();
}

void FormReadContext::Fail(const std::string& problem) const { throw FormError(form_name_, line_, property_, problem); }

namespace {
const char* Expected(FormValue::Kind kind) { return FormValueKindText(kind); }
}  // namespace

int FormReadContext::Integer(const FormValue& value) const {
  if (value.kind != FormValue::Kind::Integer) Fail(std::string(Expected(FormValue::Kind::Integer)) + " was expected");
  return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value.integer)));
}

bool FormReadContext::Boolean(const FormValue& value) const {
  if (value.kind != FormValue::Kind::Boolean) Fail("True or False was expected");
  return value.boolean;
}

std::string FormReadContext::String(const FormValue& value) const {
  if (value.kind != FormValue::Kind::String) Fail("a string was expected");
  return value.text;
}

std::string FormReadContext::Identifier(const FormValue& value) const {
  if (value.kind != FormValue::Kind::Identifier) Fail("a name was expected");
  return value.text;
}

const std::vector<std::string>& FormReadContext::Set(const FormValue& value) const {
  if (value.kind != FormValue::Kind::Set) Fail("a set [...] was expected");
  return value.items;
}

const std::vector<std::uint8_t>& FormReadContext::Binary(const FormValue& value) const {
  if (value.kind != FormValue::Kind::Binary) Fail("binary data {...} was expected");
  return value.bytes;
}

const std::vector<std::string>& FormReadContext::StringList(const FormValue& value) const {
  if (value.kind != FormValue::Kind::StringList) Fail("a string list (...) was expected");
  return value.items;
}

TColor FormReadContext::Color(const FormValue& value) const {
  if (value.kind == FormValue::Kind::Integer) return Integer(value);
  TColor color = 0;
  if (value.kind == FormValue::Kind::Identifier && ColorFromName(value.text, color)) return color;
  Fail("a colour was expected");
}

TFontStyles FormReadContext::FontStyles(const FormValue& value) const {
  return Flags(value, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
}

int FormReadContext::Charset(const FormValue& value) const {
  if (value.kind == FormValue::Kind::Integer) return Integer(value);
  static const std::pair<const char*, int> kSets[] = {
      {"ANSI_CHARSET", ANSI_CHARSET}, {"DEFAULT_CHARSET", DEFAULT_CHARSET}, {"SYMBOL_CHARSET", SYMBOL_CHARSET},
      {"GB2312_CHARSET", GB2312_CHARSET}, {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET}, {"OEM_CHARSET", OEM_CHARSET},
      {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET}, {"HANGEUL_CHARSET", HANGEUL_CHARSET}, {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
      {"RUSSIAN_CHARSET", RUSSIAN_CHARSET}, {"GREEK_CHARSET", GREEK_CHARSET}, {"TURKISH_CHARSET", TURKISH_CHARSET},
      {"BALTIC_CHARSET", BALTIC_CHARSET}, {"MAC_CHARSET", MAC_CHARSET}};
  std::string name = Identifier(value);
  for (const auto& [n, v] : kSets) {
    if (name == n) return v;
  }
  Fail("unknown character set " + name);
}

int FormReadContext::Enum(const FormValue& value, const std::vector<std::string>& names) const {
  std::string name = Identifier(value);
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  Fail("unknown value " + name);
}

unsigned FormReadContext::Flags(const FormValue& value, std::initializer_list<const char*> names) const {
  unsigned flags = 0;
  for (const std::string& item : Set(value)) {
    unsigned bit = 1;
    bool found = false;
    for (const char* n : names) {
      if (item == n) {
        flags |= bit;
        found = true;
        break;
      }
      bit <<= 1;
    }
    if (!found) Fail("unknown set member " + item);
  }
  return flags;
}

bool FormReadContext::IsControl(const TComponent* component) const {
  return dynamic_cast<const TControl*>(component) != nullptr;
}

void FormReadContext::ResolveReferences() {
  for (auto& fixup : fixups_) fixup();
  fixups_.clear();
}

}  // namespace stampwell
