// The locator's stored property inside form objects: written, read back, and refused with
// the form, line and property named.
#include <gtest/gtest.h>

#include <string>

#include "shellbrowse/form_property_filer.h"
#include "shellbrowse/shell_locator.h"
#include "tests/shellbrowse/shell_test_support.h"

namespace stampwell {
namespace {

using testing::ScratchDirectory;

TEST(ShellLocator, DefinesPidlForFormObjects) {
  ScratchDirectory scratch("locator_filer");
  TPTShellLocator written;
  FormObject object;
  object.name = "Tree";
  object.class_name = "TPTShellTree";

  // The desktop by an empty list stores nothing.
  TFormPropertyWriter empty_writer(object, "BaseFolder.");
  written.DefineProperties(empty_writer);
  EXPECT_TRUE(object.properties.empty());

  written.SetPath(scratch.path());
  TFormPropertyWriter writer(object, "BaseFolder.");
  written.DefineProperties(writer);
  ASSERT_EQ(object.properties.size(), 1u);
  EXPECT_EQ(object.properties[0].name, "BaseFolder.Pidl");
  ASSERT_EQ(object.properties[0].value.kind, FormValue::Kind::Binary);

  TPTShellLocator read;
  TFormPropertyReader reader(object, "BaseFolder.", "test_form");
  read.DefineProperties(reader);
  EXPECT_TRUE(read.IsSameLocation(written));

  // Absent: the new locator's default stays. Another prefix does not match.
  TPTShellLocator untouched;
  TFormPropertyReader other(object, "SelectedFolder.", "test_form");
  untouched.DefineProperties(other);
  EXPECT_EQ(untouched.Kind(), TPTShellLocator::kIdListKind);
  EXPECT_EQ(untouched.IdList(), nullptr);

  // Refused bytes and values of another kind are form errors naming form, line and property.
  object.properties[0].value.bytes.resize(object.properties[0].value.bytes.size() - 1);
  object.properties[0].line = 12;
  try {
    read.DefineProperties(reader);
    ADD_FAILURE() << "read a cut list";
  } catch (const FormError& error) {
    EXPECT_EQ(error.Form(), "test_form");
    EXPECT_EQ(error.Line(), 12);
    EXPECT_EQ(error.Property(), "BaseFolder.Pidl");
  }
  object.properties[0].value = FormValue::Integer(3);
  EXPECT_THROW(read.DefineProperties(reader), FormError);
}

}  // namespace
}  // namespace stampwell
