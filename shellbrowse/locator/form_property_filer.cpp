#include "shellbrowse/locator/form_property_filer.h"

#include <utility>

#include "framework/form_reader.h"

namespace stampwell {

TFormPropertyReader::TFormPropertyReader(const FormObject& object, std::string prefix, std::string form_name)
    : object_(object), prefix_(std::move(prefix)), form_name_(std::move(form_name)) {}

void TFormPropertyReader::DefineBinaryProperty(const std::string& name, const BinaryReader& reader,
                                               const BinaryWriter&, bool) {
  const std::string full_name = prefix_ + name;
  for (const FormProperty& property : object_.properties) {
    if (property.name != full_name) continue;
    if (property.value.kind != FormValue::Kind::Binary) {
      throw FormError(form_name_, property.line, full_name,
                      std::string("binary data expected, found ") + FormValueKindText(property.value.kind));
    }
    try {
      reader(property.value.bytes);
    } catch (const FormError&) {
      throw;
    } catch (const std::exception& error) {
      throw FormError(form_name_, property.line, full_name, error.what());
    }
    return;
  }
}

TFormPropertyWriter::TFormPropertyWriter(FormObject& object, std::string prefix)
    : object_(object), prefix_(std::move(prefix)) {}

void TFormPropertyWriter::DefineBinaryProperty(const std::string& name, const BinaryReader&,
                                               const BinaryWriter& writer, bool has_data) {
  if (!has_data) return;
  std::vector<std::uint8_t> stream;
  writer(stream);
  object_.properties.push_back({prefix_ + name, FormValue::Binary(std::move(stream)), 0});
}

TFormValueReader::TFormValueReader(std::string prefix, const std::string& name, const FormValue& value,
                                   FormReadContext& context)
    : prefix_(std::move(prefix)), name_(name), value_(value), context_(context) {}

void TFormValueReader::DefineBinaryProperty(const std::string& name, const BinaryReader& reader,
                                            const BinaryWriter&, bool) {
  if (taken_ || name_ != prefix_ + name) return;
  taken_ = true;
  const std::vector<std::uint8_t>& bytes = context_.Binary(value_);
  try {
    reader(bytes);
  } catch (const FormError&) {
    throw;
  } catch (const std::exception& error) {
    context_.Fail(error.what());
  }
}

}  // namespace stampwell
