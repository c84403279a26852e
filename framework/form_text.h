#pragma once
// The text format of form resources: a tree of objects, each with a class, a name and
// properties, read by ParseFormText and written by WriteFormText (see FORM_FORMAT.md).
// Portable: the bytes come from the executable's own resources, but they are validated like
// any outside input, and the parser has a fuzz target.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/exception.h"

namespace stampwell {

struct FormValue {
  enum class Kind { Integer, String, Boolean, Identifier, Set, Binary, StringList };

  Kind kind = Kind::Integer;
  std::int64_t integer = 0;           // Integer: within -2^31 .. 2^32 - 1
  bool boolean = false;               // Boolean
  std::string text;                   // String (8-bit), Identifier
  std::vector<std::string> items;     // Set (names), StringList (strings)
  std::vector<std::uint8_t> bytes;    // Binary

  static FormValue Integer(std::int64_t v);
  static FormValue String(std::string v);
  static FormValue Boolean(bool v);
  static FormValue Identifier(std::string v);
  static FormValue Set(std::vector<std::string> names);
  static FormValue Binary(std::vector<std::uint8_t> data);
  static FormValue StringList(std::vector<std::string> lines);

  friend bool operator==(const FormValue&, const FormValue&) = default;
};

// The word for a kind in error messages ("an integer", "a string", ...).
const char* FormValueKindText(FormValue::Kind kind);

struct FormProperty {
  std::string name;  // may be dotted: "Font.Name"
  FormValue value;
  int line = 0;
};

struct FormObject {
  std::string name;
  std::string class_name;
  int line = 0;
  std::vector<FormProperty> properties;
  std::vector<FormObject> children;
};

// A malformed form: the message names the form, the line and, where there is one, the property.
class FormError : public Exception {
 public:
  FormError(const std::string& form, int line, const std::string& property, const std::string& problem);
  const std::string& Form() const noexcept { return form_; }
  int Line() const noexcept { return line_; }
  const std::string& Property() const noexcept { return property_; }

 private:
  std::string form_;
  int line_;
  std::string property_;
};

// Parses one form. `form_name` only names the form in error messages. Throws FormError.
FormObject ParseFormText(std::string_view text, const std::string& form_name);

// Writes a form that ParseFormText reads back to an equal tree (lines aside).
std::string WriteFormText(const FormObject& form);

}  // namespace stampwell
