#pragma once
// Filers over form objects: the defined properties of one object as they appear in a form.

#include <string>

#include "framework/form_text.h"
#include "shellbrowse/locator/persistent_filer.h"

namespace stampwell {
class FormReadContext;
}

namespace stampwell {

// Reads the defined properties of one object from a form object, where they appear under
// `prefix` (empty for the object's own properties, "BaseFolder." for those of a property
// object). A property that is absent is not read; a value that is not binary data, or bytes
// that the reader refuses, raise a FormError naming the form, the line and the property.
class TFormPropertyReader final : public TFiler {
 public:
  TFormPropertyReader(const FormObject& object, std::string prefix, std::string form_name);
  void DefineBinaryProperty(const std::string& name, const BinaryReader& reader,
                            const BinaryWriter& writer, bool has_data) override;

 private:
  const FormObject& object_;
  std::string prefix_;
  std::string form_name_;
};

// Writes the defined properties that have data to a form object, under `prefix`.
class TFormPropertyWriter final : public TFiler {
 public:
  TFormPropertyWriter(FormObject& object, std::string prefix);
  void DefineBinaryProperty(const std::string& name, const BinaryReader& reader,
                            const BinaryWriter& writer, bool has_data) override;

 private:
  FormObject& object_;
  std::string prefix_;
};

// Offers one property that the form reader hands a component (SetProperty: "BaseFolder.Pidl")
// to the defined properties of a property object under `prefix`. Taken() tells whether one of
// them was it; refused bytes fail through the reader's context (form, line and property).
class TFormValueReader final : public TFiler {
 public:
  TFormValueReader(std::string prefix, const std::string& name, const FormValue& value, FormReadContext& context);
  void DefineBinaryProperty(const std::string& name, const BinaryReader& reader,
                            const BinaryWriter& writer, bool has_data) override;
  bool Taken() const noexcept { return taken_; }

 private:
  std::string prefix_;
  const std::string& name_;
  const FormValue& value_;
  FormReadContext& context_;
  bool taken_ = false;
};

}  // namespace stampwell
