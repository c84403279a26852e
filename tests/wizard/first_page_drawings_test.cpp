// The drawings read ahead for the first page must be the ones that its layout paints: one that
// the page gained and the list lacks would be read on the first paint after all, and one that it
// lost would be read for nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "wizard/first_page_drawings.h"

namespace stampwell::wizard {
namespace {

std::string FormText() {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, "FORM1", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const char* bytes = static_cast<const char*>(loaded ? ::LockResource(loaded) : nullptr);
  return bytes ? std::string(bytes, ::SizeofResource(module, found)) : std::string();
}

// The pictures named between the start of the first tab sheet and the second, in order.
std::vector<std::string> FirstPagePictures(const std::string& form) {
  const size_t begin = form.find("object TabSheet1:");
  const size_t end = form.find("object TabSheet2:");
  std::vector<std::string> names;
  if (begin == std::string::npos || end == std::string::npos) return names;
  const std::string key = "Picture.Resource = '";
  for (size_t at = form.find(key, begin); at < end; at = form.find(key, at)) {
    at += key.size();
    names.push_back(form.substr(at, form.find('\'', at) - at) + "_2X");
  }
  return names;
}

TEST(FirstPageDrawings, AreThePicturesOfTheFirstPageWithThePageItselfFirst) {
  std::vector<std::string> in_form = FirstPagePictures(FormText());
  ASSERT_FALSE(in_form.empty());
  std::vector<std::string> listed = FirstPageDrawings();
  ASSERT_FALSE(listed.empty());
  EXPECT_EQ(listed.front(), in_form.front()) << "the largest, painted first";
  std::sort(in_form.begin(), in_form.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, in_form);
}

}  // namespace
}  // namespace stampwell::wizard
