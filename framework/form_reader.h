#pragma once
// The form reader: turns form text (FORM_FORMAT.md) into components on a form. Each nested
// object is made from its class name through the class registry, owned by the form, placed
// in its enclosing object and given its properties in the order of the text; handlers are
// bound by name from those the form registered, references to other components are
// resolved once everything is made. Every problem is a FormError naming form, line, property.

#include <functional>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "framework/form_text.h"
#include "framework/forms.h"
#include "framework/graphics.h"

namespace stampwell {

class TComponent;

using FormClassFactory = std::function<TComponent*(TComponent* owner)>;

// Makes `class_name` known to the reader. Registering a name again replaces its factory.
void RegisterFormClass(const std::string& class_name, FormClassFactory factory);
template <typename T>
void RegisterFormClass(const std::string& class_name) {
  RegisterFormClass(class_name, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

// The text of the form resource `name` (RCDATA of the program). Throws Exception if missing.
std::string FormResourceText(const std::string& name);

// Reads `text` into `form`: the root object's properties go to the form, nested objects
// become its components. Throws FormError.
void ReadForm(TForm& form, const std::string& text, const std::string& form_name);

// What a component sees of the reader while it takes its properties: typed conversions
// that fail with the form's name, the line and the property.
class FormReadContext {
 public:
  FormReadContext(TForm& form, std::string form_name) : form_(form), form_name_(std::move(form_name)) {}

  TForm& Form() { return form_; }
  const std::string& FormName() const { return form_name_; }
  void At(int line, const std::string& property) {
    line_ = line;
    property_ = property;
  }
  [[noreturn]] void Fail(const std::string& problem) const;

  int Integer(const FormValue& value) const;
  bool Boolean(const FormValue& value) const;
  std::string String(const FormValue& value) const;
  std::string Identifier(const FormValue& value) const;
  const std::vector<std::string>& Set(const FormValue& value) const;
  const std::vector<std::uint8_t>& Binary(const FormValue& value) const;
  const std::vector<std::string>& StringList(const FormValue& value) const;
  // An integer or a colour name (clBtnFace).
  TColor Color(const FormValue& value) const;
  // A set of fsBold, fsItalic, fsUnderline, fsStrikeOut.
  TFontStyles FontStyles(const FormValue& value) const;
  // An integer or a character set name (DEFAULT_CHARSET, GB2312_CHARSET, ...).
  int Charset(const FormValue& value) const;
  // The index of a name in `names`.
  int Enum(const FormValue& value, const std::vector<std::string>& names) const;
  // A set of names, bit i for names[i].
  unsigned Flags(const FormValue& value, std::initializer_list<const char*> names) const;
  bool IsControl(const TComponent* component) const;

  // Binds an event to the form's handler of the name given; the handler must be of the
  // event's kind.
  template <typename Event>
  void Bind(Event& event, const FormValue& value) const {
    std::string name = Identifier(value);
    const TEventHandler* handler = form_.FindHandler(name);
    if (!handler) Fail("the form has no handler " + name);
    const Event* typed = std::get_if<Event>(handler);
    if (!typed) Fail("the handler " + name + " is of another kind than the event");
    event = *typed;
  }

  // A reference to another component of the form, delivered once all are made.
  template <typename T>
  void Reference(const FormValue& value, std::function<void(T*)> assign) {
    std::string name = Identifier(value);
    int line = line_;
    std::string property = property_;
    fixups_.push_back([this, name, line, property, assign] {
      At(line, property);
      T* target = dynamic_cast<T*>(form_.FindComponent(name));
      if (!target) Fail("the form has no suitable component " + name);
      assign(target);
    });
  }

  // Runs the deferred references (the reader calls it).
  void ResolveReferences();

 private:
  TForm& form_;
  std::string form_name_;
  int line_ = 0;
  std::string property_;
  std::vector<std::function<void()>> fixups_;
};

}  // namespace stampwell
