// The locator's stored property inside form objects: written, read back, and refused with
// the form, line and property named.
#include <gtest/gtest.h>

#include <string>

#include "shellbrowse/locator/form_property_filer.h"
#include "shellbrowse/locator/shell_locator.h"
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

#include "framework/form_reader.h"
#include "framework/forms.h"

namespace stampwell {
namespace {

// A component that publishes one locator, as the tree publishes BaseFolder.
class TTestLocatorHolder : public TComponent {
 public:
  using TComponent::TComponent;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override {
    TFormValueReader reader("Folder.", name, value, context);
    Folder.DefineProperties(reader);
    return reader.Taken() || TComponent::SetProperty(name, value, context);
  }
  TPTShellLocator Folder;
};

TTestLocatorHolder& Holder(TForm& form, const char* name) {
  auto* holder = dynamic_cast<TTestLocatorHolder*>(form.FindComponent(name));
  EXPECT_NE(holder, nullptr) << name;
  return *holder;
}

TEST(ShellLocatorForm, LocatorsReadBackFromAFormResource) {
  RegisterFormClass<TTestLocatorHolder>("TTestLocatorHolder");
  TForm form(nullptr);
  ReadForm(form, FormResourceText("test_locator"), "test_locator");

  TPTShellLocator& documents = Holder(form, "Documents").Folder;
  EXPECT_EQ(documents.Kind(), TPTShellLocator::kSpecialFolderKind);
  EXPECT_EQ(documents.FolderId(), 5);
  EXPECT_EQ(documents.Path(), SpecialFolderPath(nullptr, 5));
  // The empty list and size 0 are both the desktop, named two ways.
  TPTShellLocator& desktop = Holder(form, "Desktop").Folder;
  EXPECT_EQ(desktop.Kind(), TPTShellLocator::kIdListKind);
  TPTShellLocator& size_zero = Holder(form, "SizeZero").Folder;
  EXPECT_EQ(size_zero.Kind(), TPTShellLocator::kSpecialFolderKind);
  EXPECT_EQ(size_zero.FolderId(), 0);
  EXPECT_EQ(desktop.Path(), size_zero.Path());
  TPTShellLocator& absent = Holder(form, "Absent").Folder;
  EXPECT_EQ(absent.Kind(), TPTShellLocator::kIdListKind);
  EXPECT_EQ(absent.IdList(), nullptr);

  TForm bad(nullptr);
  try {
    ReadForm(bad, FormResourceText("test_locator_bad"), "test_locator_bad");
    ADD_FAILURE() << "read a list whose size runs past the data";
  } catch (const FormError& error) {
    EXPECT_EQ(error.Form(), "test_locator_bad");
    EXPECT_EQ(error.Line(), 3);
    EXPECT_EQ(error.Property(), "Folder.Pidl");
  }
}

}  // namespace
}  // namespace stampwell
