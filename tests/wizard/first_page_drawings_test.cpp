// The drawings read ahead for the first page must be the ones that its layout paints, in the
// frames that it paints them in: one that the page gained and the list lacks would be read and
// shrunk on the first paint after all, one that it lost would be read for nothing, and one in
// other frames would be shrunk for nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
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

// The pictures named between the start of the first tab sheet and the second, in order, as the
// worker would be asked for them: an image button's picture is a strip of four looks.
std::vector<std::pair<std::string, int>> FirstPagePictures(const std::string& form) {
  const size_t begin = form.find("object TabSheet1:");
  const size_t end = form.find("object TabSheet2:");
  std::vector<std::pair<std::string, int>> pictures;
  if (begin == std::string::npos || end == std::string::npos) return pictures;
  const std::string key = "Picture.Resource = '";
  for (size_t at = form.find(key, begin); at < end; at = form.find(key, at)) {
    const size_t object = form.rfind("object ", at);
    const bool button = form.substr(object, form.find('\n', object) - object).find(": TYCLButton") != std::string::npos;
    at += key.size();
    pictures.emplace_back(form.substr(at, form.find('\'', at) - at) + "_2X", button ? 4 : 1);
  }
  return pictures;
}

TEST(FirstPageDrawings, AreThePicturesOfTheFirstPageInTheirFramesWithThePageItselfFirst) {
  std::vector<std::pair<std::string, int>> in_form = FirstPagePictures(FormText());
  ASSERT_FALSE(in_form.empty());
  std::vector<std::pair<std::string, int>> listed;
  for (const DrawingToRead& drawing : FirstPageDrawings()) listed.emplace_back(drawing.name, drawing.frames);
  ASSERT_FALSE(listed.empty());
  EXPECT_EQ(listed.front(), in_form.front()) << "the largest, painted first";
  std::sort(in_form.begin(), in_form.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, in_form);
}

}  // namespace
}  // namespace stampwell::wizard
