// The resource store, on a small payload linked into this test program and on the demo
// payload that the setup program carries.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "install/install_error.h"
#include "install/manifest_rules.h"
#include "install/payload_naming.h"
#include "install/payload_store.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::BuildTreePath;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using testing::WriteWholeFile;

std::string AsString(PayloadView view) { return std::string(reinterpret_cast<const char*>(view.data()), view.size()); }

std::string SourceFile(const std::string& folder, const std::string& entry) {
  return BuildTreePath(folder) + "\\" + entry;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR into) {
  reinterpret_cast<std::vector<WORD>*>(into)->push_back(language);
  return TRUE;
}

// The files of this program's payload, as the build wrote them.
constexpr char kTestPayload[] = "tests/install/store-payload";

TEST(PayloadStore, LowerCaseLookupFindsTheUpperCaseResourceInLanguage2052) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC lower = FindResourceA(self, "a1", "1a");
  ASSERT_NE(lower, nullptr);
  EXPECT_EQ(FindResourceExA(self, "1A", "A1", kPayloadLanguage), lower);
  // A neutral-language lookup falls back to any language, so ask which languages are stored.
  std::vector<WORD> languages;
  EnumResourceLanguagesA(self, "1A", "A1", &CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::vector<WORD>{2052});
  EXPECT_EQ(SizeofResource(self, lower), ReadWholeFile(SourceFile(kTestPayload, "Help.CHM")).size());
}

TEST(PayloadStore, ReadsItsManifestAndEveryEntryInPlace) {
  PayloadStore store = PayloadStore::FromModule(GetModuleHandleA(nullptr));
  ASSERT_EQ(store.Manifest(), (std::vector<std::string>{"Help.CHM", "Data\\empty.dll", "Example\\Animated\\01.gif"}));
  EXPECT_EQ(store.Entry(3), "Example\\Animated\\01.gif");
  EXPECT_THROW(store.Entry(0), std::out_of_range);
  EXPECT_THROW(store.Entry(4), std::out_of_range);

  // The view points into the loaded module's resource data: no copy is made.
  PayloadView view = store.Open(1);
  HRSRC info = FindResourceA(GetModuleHandleA(nullptr), "A1", "1A");
  EXPECT_EQ(view.data(), LockResource(LoadResource(GetModuleHandleA(nullptr), info)));
  EXPECT_EQ(AsString(view), ReadWholeFile(SourceFile(kTestPayload, "Help.CHM")));
  EXPECT_TRUE(store.Open(2).empty());
  EXPECT_EQ(AsString(store.Open(3)), ReadWholeFile(SourceFile(kTestPayload, "Example\\Animated\\01.gif")));
}

TEST(PayloadStore, WritesReplaceAnyOldFileWhole) {
  PayloadStore store = PayloadStore::FromModule(GetModuleHandleA(nullptr));
  ScratchFolder folder("payload_store_test");
  std::string target = folder.path() + "out.bin";

  WriteWholeFile(target, std::string(500000, 'o'));
  store.WriteToFile(1, target);  // shorter than what was there: no tail of the old file
  EXPECT_EQ(ReadWholeFile(target), ReadWholeFile(SourceFile(kTestPayload, "Help.CHM")));

  store.WriteToFile(3, target);
  EXPECT_EQ(ReadWholeFile(target), ReadWholeFile(SourceFile(kTestPayload, "Example\\Animated\\01.gif")));

  store.WriteToFile(2, target);  // an empty resource truncates to an empty file
  EXPECT_TRUE(testing::Exists(target));
  EXPECT_EQ(ReadWholeFile(target), "");
  std::string fresh = folder.path() + "fresh.dll";
  store.WriteToFile(2, fresh);
  EXPECT_TRUE(testing::Exists(fresh));
}

// The run's own write, once its journal has moved any earlier file aside: a new file, and
// never one written over something that came there meanwhile.
TEST(PayloadStore, ANewFileWriteLeavesWhateverIsThereAlone) {
  PayloadStore store = PayloadStore::FromModule(GetModuleHandleA(nullptr));
  ScratchFolder folder("payload_store_new");
  const std::string target = folder.path() + "Help.CHM";
  ASSERT_TRUE(store.WriteToNewFile(1, target));
  EXPECT_EQ(ReadWholeFile(target), ReadWholeFile(SourceFile(kTestPayload, "Help.CHM")));
  const std::string empty = folder.path() + "empty.dll";
  ASSERT_TRUE(store.WriteToNewFile(2, empty));
  EXPECT_TRUE(testing::Exists(empty));

  const std::string someone_elses = folder.path() + "01.gif";
  WriteWholeFile(someone_elses, "not ours");
  EXPECT_FALSE(store.WriteToNewFile(3, someone_elses));
  EXPECT_EQ(ReadWholeFile(someone_elses), "not ours");
  const std::string a_folder = folder.path() + "Data";
  ASSERT_TRUE(CreateDirectoryA(a_folder.c_str(), nullptr));
  EXPECT_FALSE(store.WriteToNewFile(2, a_folder));

  // Any other failure is the create's own, told as the replacing write tells it.
  const std::string nowhere = folder.path() + "no such folder\\Help.CHM";
  try {
    store.WriteToNewFile(1, nowhere);
    FAIL() << "the folder does not exist";
  } catch (const InstallError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + nowhere + "\". ", 0), 0u) << e.what();
  }
}

TEST(PayloadStore, AMissingResourceFailsForThatEntryOnly) {
  PayloadStore listed = PayloadStore::FromModule(GetModuleHandleA(nullptr));
  std::vector<std::string> manifest = listed.Manifest();
  manifest.push_back("Data\\extra.dll");
  manifest.push_back("Data\\after.dll");
  PayloadStore store(GetModuleHandleA(nullptr), manifest);
  ScratchFolder folder("payload_store_missing");
  try {
    store.WriteToFile(4, folder.path() + "extra.dll");
    FAIL() << "entry 4 has no resource";
  } catch (const InstallError& e) {
    EXPECT_NE(std::string(e.what()).find("A4"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(testing::Exists(folder.path() + "extra.dll"));
  EXPECT_THROW(store.Open(5), InstallError);
  for (int n = 1; n <= 3; ++n) EXPECT_NO_THROW(store.WriteToFile(n, folder.path() + "e" + std::to_string(n)));
}

TEST(PayloadStore, AFileThatCannotBeCreatedFailsWithItsPathAndTheSystemsReason) {
  PayloadStore store = PayloadStore::FromModule(GetModuleHandleA(nullptr));
  ScratchFolder folder("payload_store_create");
  std::string target = folder.path() + "no such folder\\Help.CHM";
  try {
    store.WriteToFile(1, target);
    FAIL() << "the folder does not exist";
  } catch (const InstallError& e) {
    std::string prefix = "Cannot create file \"" + target + "\". ";
    std::string message = e.what();
    ASSERT_EQ(message.substr(0, prefix.size()), prefix);
    EXPECT_GT(message.size(), prefix.size());
    EXPECT_NE(message.back(), '.');  // the error report adds the full stop
  }
  // A file held open without sharing, as a running program holds its own file.
  std::string held = folder.path() + "held.exe";
  unique_file lock(CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(lock);
  EXPECT_THROW(store.WriteToFile(1, held), InstallError);
}

TEST(PayloadStore, ModuleWithoutManifestIsAnError) {
  unique_hmodule module(LoadLibraryExA("kernel32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module);
  EXPECT_THROW(PayloadStore::FromModule(module.get()), InstallError);
}

// The setup program carries the payload that the build made, every entry byte for byte.
TEST(SetupProgramPayload, EveryEntryWritesByteIdenticalToItsSourceFile) {
  unique_hmodule setup(LoadLibraryExA(BuildTreePath("StampwellSetup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(setup) << GetLastError();
  PayloadStore store = PayloadStore::FromModule(setup.get());
  ParsedManifest manifest = ParseManifest(ReadWholeFile(std::string(std::getenv("STAMPWELL_SOURCE_DIR")) +
                                                        "/resources/payload/manifest.txt"));
  ASSERT_EQ(store.Manifest(), manifest.entries);
  ASSERT_EQ(store.EntryCount(), 228);

  const char* payloadFolder = std::getenv("STAMPWELL_PAYLOAD_FOLDER");
  ASSERT_NE(payloadFolder, nullptr);
  ScratchFolder folder("payload_store_setup");
  std::string target = folder.path() + "entry.bin";
  for (int n = 1; n <= store.EntryCount(); ++n) {
    std::string source = std::string("Z:") + payloadFolder + "\\" + store.Entry(n);
    for (char& c : source)
      if (c == '/') c = '\\';
    store.WriteToFile(n, target);
    std::string expected = ReadWholeFile(source);
    ASSERT_FALSE(expected.empty()) << source;
    ASSERT_TRUE(ReadWholeFile(target) == expected) << "entry " << n << " " << store.Entry(n);
  }
}

}  // namespace
}  // namespace stampwell
