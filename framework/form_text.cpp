#include "framework/form_text.h"

#include <cctype>
#include <utility>

#include "framework/ascii.h"

namespace stampwell {

FormValue FormValue::Integer(std::int64_t v) { FormValue f; f.kind = Kind::Integer; f.integer = v; return f; }
FormValue FormValue::String(std::string v) { FormValue f; f.kind = Kind::String; f.text = std::move(v); return f; }
FormValue FormValue::Boolean(bool v) { FormValue f; f.kind = Kind::Boolean; f.boolean = v; return f; }
FormValue FormValue::Identifier(std::string v) { FormValue f; f.kind = Kind::Identifier; f.text = std::move(v); return f; }
FormValue FormValue::Set(std::vector<std::string> names) { FormValue f; f.kind = Kind::Set; f.items = std::move(names); return f; }
FormValue FormValue::Binary(std::vector<std::uint8_t> data) { FormValue f; f.kind = Kind::Binary; f.bytes = std::move(data); return f; }
FormValue FormValue::StringList(std::vector<std::string> lines) { FormValue f; f.kind = Kind::StringList; f.items = std::move(lines); return f; }

const char* FormValueKindText(FormValue::Kind kind) {
  switch (kind) {
    case FormValue::Kind::Integer: return "an integer";
    case FormValue::Kind::String: return "a string";
    case FormValue::Kind::Boolean: return "a boolean";
    case FormValue::Kind::Identifier: return "a name";
    case FormValue::Kind::Set: return "a set";
    case FormValue::Kind::Binary: return "binary data";
    case FormValue::Kind::StringList: return "a string list";
  }
  return "a value";
}

namespace {

std::string ErrorText(const std::string& form, int line, const std::string& property, const std::string& problem) {
  std::string text = "Form " + form + ", line " + std::to_string(line);
  if (!property.empty()) text += ", property " + property;
  return text + ": " + problem;
}

}  // namespace

FormError::FormError(const std::string& form, int line, const std::string& property, const std::string& problem)
    : Exception(ErrorText(form, line, property, problem)), form_(form), line_(line), property_(property) {}

namespace {

constexpr int kMaxDepth = 64;  // deeper nesting is no window layout, and would exhaust the stack

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& form) : text_(text), form_(form) {}

  FormObject ParseDocument() {
    SkipBlankLines();
    if (AtEnd()) Fail("the form is empty");
    FormObject root = ParseObject(0);
    SkipBlankLines();
    if (!AtEnd()) Fail("text after the final \"end\"");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& problem) { throw FormError(form_, line_, property_, problem); }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipSpaces() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool AtLineEnd() {
    SkipSpaces();
    if (AtEnd() || Peek() == '\r' || Peek() == '\n') return true;
    return Peek() == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/';
  }
  // Consumes the rest of the line (which must hold nothing but a comment) and its line break.
  void EndLine() {
    if (!AtLineEnd()) Fail("unexpected text at the end of the line");
    while (!AtEnd() && Peek() != '\n' && Peek() != '\r') ++pos_;
    NewLine();
  }
  void NewLine() {
    if (Peek() == '\r') ++pos_;
    if (Peek() == '\n') ++pos_;
    ++line_;
  }
  void SkipBlankLines() {
    while (!AtEnd() && AtLineEnd()) EndLine();
  }
  // Skips spaces, comments and line breaks inside a bracketed value.
  void SkipSpaceAcrossLines() {
    while (!AtEnd() && AtLineEnd()) EndLine();
    SkipSpaces();
  }

  std::string Name() {
    SkipSpaces();
    if (!IsNameStart(Peek())) Fail("a name was expected");
    size_t start = pos_;
    while (!AtEnd() && IsNameChar(Peek())) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  FormObject ParseObject(int depth) {
    if (depth > kMaxDepth) Fail("objects nested too deeply");
    property_.clear();
    FormObject object;
    object.line = line_;
    if (Name() != "object") Fail("\"object\" was expected");
    object.name = Name();
    SkipSpaces();
    if (Peek() != ':') Fail("\":\" and a class name were expected after the object's name");
    ++pos_;
    object.class_name = Name();
    EndLine();
    for (;;) {
      SkipBlankLines();
      property_.clear();
      if (AtEnd()) Fail("\"end\" of object " + object.name + " is missing");
      size_t start = pos_;
      int start_line = line_;
      std::string word = Name();
      if (word == "end") {
        EndLine();
        return object;
      }
      if (word == "object") {
        pos_ = start;
        object.children.push_back(ParseObject(depth + 1));
        continue;
      }
      std::string name = word;
      while (Peek() == '.') {
        ++pos_;
        property_ = name;
        name += '.' + Name();
      }
      property_ = name;
      for (const FormProperty& p : object.properties) {
        if (p.name == name) Fail("the property is given twice");
      }
      SkipSpaces();
      if (Peek() != '=') Fail("\"=\" was expected");
      ++pos_;
      SkipSpaces();
      FormProperty property{name, ParseValue(), start_line};
      EndLine();
      object.properties.push_back(std::move(property));
    }
  }

  FormValue ParseValue() {
    char c = Peek();
    if (c == '\'' || c == '#') return FormValue::String(ParseString());
    if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) return FormValue::Integer(ParseInteger());
    if (c == '[') return FormValue::Set(ParseSet());
    if (c == '{') return FormValue::Binary(ParseBinary());
    if (c == '(') return FormValue::StringList(ParseList());
    if (IsNameStart(c)) {
      std::string name = Name();
      if (EqualIgnoringAsciiCase(name, "True")) return FormValue::Boolean(true);
      if (EqualIgnoringAsciiCase(name, "False")) return FormValue::Boolean(false);
      return FormValue::Identifier(std::move(name));
    }
    Fail("a value was expected");
  }

  std::int64_t ParseInteger() {
    bool negative = false;
    if (Peek() == '-') {
      negative = true;
      ++pos_;
    }
    std::int64_t value = 0;
    int digits = 0;
    if (Peek() == '$') {
      ++pos_;
      for (int d; !AtEnd() && (d = HexDigit(Peek())) >= 0; ++pos_, ++digits) {
        value = value * 16 + d;
        if (value > 0xFFFFFFFFLL) Fail("the integer is out of range");
      }
    } else {
      for (; !AtEnd() && std::isdigit(static_cast<unsigned char>(Peek())); ++pos_, ++digits) {
        value = value * 10 + (Peek() - '0');
        if (value > 0xFFFFFFFFLL) Fail("the integer is out of range");
      }
    }
    if (digits == 0) Fail("digits were expected");
    if (IsNameChar(Peek())) Fail("an integer was expected");
    if (negative) {
      if (value > 0x80000000LL) Fail("the integer is out of range");
      value = -value;
    }
    return value;
  }

  // Quoted runs ('it''s') and character codes (#13) side by side; "+" at the end of a line
  // continues the string on the next line.
  std::string ParseString() {
    std::string result;
    for (;;) {
      bool any = false;
      for (;;) {
        if (Peek() == '\'') {
          ++pos_;
          for (;;) {
            if (AtEnd() || Peek() == '\n' || Peek() == '\r') Fail("the string is not closed on its line");
            char ch = text_[pos_++];
            if (ch == '\'') {
              if (Peek() != '\'') break;
              ++pos_;
            }
            result += ch;
          }
          any = true;
        } else if (Peek() == '#') {
          ++pos_;
          int code = 0, digits = 0;
          while (!AtEnd() && std::isdigit(static_cast<unsigned char>(Peek()))) {
            code = code * 10 + (text_[pos_++] - '0');
            if (++digits > 3 || code > 255) Fail("a character code must lie within #0 to #255");
          }
          if (digits == 0) Fail("a character code was expected after \"#\"");
          result += static_cast<char>(code);
          any = true;
        } else {
          break;
        }
      }
      if (!any) Fail("a string was expected");
      SkipSpaces();
      if (Peek() != '+') return result;
      ++pos_;
      SkipSpaceAcrossLines();
    }
  }

  std::vector<std::string> ParseSet() {
    ++pos_;  // '['
    std::vector<std::string> names;
    SkipSpaceAcrossLines();
    if (Peek() == ']') {
      ++pos_;
      return names;
    }
    for (;;) {
      SkipSpaceAcrossLines();
      names.push_back(Name());
      SkipSpaceAcrossLines();
      if (Peek() == ']') {
        ++pos_;
        return names;
      }
      if (Peek() != ',') Fail("\",\" or \"]\" was expected in the set");
      ++pos_;
    }
  }

  std::vector<std::uint8_t> ParseBinary() {
    ++pos_;  // '{'
    std::vector<std::uint8_t> bytes;
    for (;;) {
      SkipSpaceAcrossLines();
      if (AtEnd()) Fail("the binary data is not closed with \"}\"");
      if (Peek() == '}') {
        ++pos_;
        return bytes;
      }
      int high = HexDigit(Peek());
      int low = pos_ + 1 < text_.size() ? HexDigit(text_[pos_ + 1]) : -1;
      if (high < 0 || low < 0) Fail("binary data must be pairs of hexadecimal digits");
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
      pos_ += 2;
    }
  }

  std::vector<std::string> ParseList() {
    ++pos_;  // '('
    std::vector<std::string> lines;
    for (;;) {
      SkipSpaceAcrossLines();
      if (AtEnd()) Fail("the string list is not closed with \")\"");
      if (Peek() == ')') {
        ++pos_;
        return lines;
      }
      lines.push_back(ParseString());
    }
  }

  std::string_view text_;
  const std::string& form_;
  size_t pos_ = 0;
  int line_ = 1;
  std::string property_;
};

// Writes a string as quoted runs of printable characters and character codes for the rest.
void WriteString(std::string& out, const std::string& s) {
  if (s.empty()) {
    out += "''";
    return;
  }
  bool quoted = false;
  for (char ch : s) {
    unsigned char u = static_cast<unsigned char>(ch);
    if (u >= 32 && u < 127) {
      if (!quoted) out += '\'';
      quoted = true;
      out += ch;
      if (ch == '\'') out += '\'';
    } else {
      if (quoted) out += '\'';
      quoted = false;
      out += '#' + std::to_string(u);
    }
  }
  if (quoted) out += '\'';
}

void WriteObject(std::string& out, const FormObject& object, int depth) {
  std::string indent(static_cast<size_t>(depth) * 2, ' ');
  out += indent + "object " + object.name + ": " + object.class_name + "\n";
  for (const FormProperty& p : object.properties) {
    out += indent + "  " + p.name + " = ";
    const FormValue& v = p.value;
    switch (v.kind) {
      case FormValue::Kind::Integer: out += std::to_string(v.integer); break;
      case FormValue::Kind::String: WriteString(out, v.text); break;
      case FormValue::Kind::Boolean: out += v.boolean ? "True" : "False"; break;
      case FormValue::Kind::Identifier: out += v.text; break;
      case FormValue::Kind::Set: {
        out += '[';
        for (size_t i = 0; i < v.items.size(); ++i) out += (i ? ", " : "") + v.items[i];
        out += ']';
        break;
      }
      case FormValue::Kind::Binary: {
        static const char kHex[] = "0123456789ABCDEF";
        out += '{';
        for (size_t i = 0; i < v.bytes.size(); ++i) {
          if (i % 32 == 0) out += "\n" + indent + "    ";
          out += kHex[v.bytes[i] >> 4];
          out += kHex[v.bytes[i] & 15];
        }
        out += '}';
        break;
      }
      case FormValue::Kind::StringList: {
        out += '(';
        for (const std::string& line : v.items) {
          out += "\n" + indent + "    ";
          WriteString(out, line);
        }
        out += ')';
        break;
      }
    }
    out += '\n';
  }
  for (const FormObject& child : object.children) WriteObject(out, child, depth + 1);
  out += indent + "end\n";
}

}  // namespace

FormObject ParseFormText(std::string_view text, const std::string& form_name) {
  return Parser(text, form_name).ParseDocument();
}

std::string WriteFormText(const FormObject& form) {
  std::string out;
  WriteObject(out, form, 0);
  return out;
}

}  // namespace stampwell
