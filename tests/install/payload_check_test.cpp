// The payload check on the real platform: this program's own payload and the built setup
// program are found intact; a copy of the setup program with bytes changed inside one of its
// resources is found damaged, and an install run from it refuses before it makes anything.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <string>

#include "framework/unique_handle.h"
#include "install/install_run.h"
#include "install/install_system.h"
#include "install/payload_check.h"
#include "install/payload_naming.h"
#include "install/payload_store.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"

namespace stampwell {
namespace {

using testing::BuildTreePath;
using testing::Exists;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using testing::WriteWholeFile;

unique_hmodule LoadAsData(const std::string& path) {
  return unique_hmodule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// A copy of the built setup program with the middle byte of one resource changed, as a bad
// download or a bad disk would change it. A program loaded as a data file is mapped as the
// file lies, so a resource's address less the mapping's start is its place in the file.
std::string DamagedCopy(const ScratchFolder& folder, const char* name, const char* type) {
  std::string source = BuildTreePath("StampwellSetup.exe");
  std::string program = ReadWholeFile(source);
  unique_hmodule setup = LoadAsData(source);
  HRSRC info = setup ? FindResourceA(setup.get(), name, type) : nullptr;
  EXPECT_NE(info, nullptr) << "no resource " << name;
  if (!info) return {};
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(setup.get(), info)));
  DWORD size = SizeofResource(setup.get(), info);
  const char* mapped = reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(setup.get()) &
                                                     ~std::uintptr_t{3});
  std::size_t offset = static_cast<std::size_t>(bytes - mapped);
  EXPECT_GT(size, 2u);
  EXPECT_LE(offset + size, program.size());
  if (size <= 2 || offset + size > program.size()) return {};
  EXPECT_EQ(program.compare(offset, size, bytes, size), 0) << "the resource is not where the file holds it";
  program[offset + size / 2] = static_cast<char>(program[offset + size / 2] ^ 0x20);
  std::string copy = folder.path() + "StampwellSetup.exe";
  WriteWholeFile(copy, program);
  return copy;
}

TEST(PayloadCheck, FindsThisProgramsPayloadAndTheBuiltSetupProgramIntact) {
  PayloadCheckResult own = CheckPayload(GetModuleHandleA(nullptr));
  EXPECT_TRUE(own.intact) << "damaged part " << own.damaged_part;
  EXPECT_TRUE(ProgramPayloadIntact());
  PayloadCheckAhead ahead(GetModuleHandleA(nullptr));
  EXPECT_TRUE(ahead.Result().intact);
  EXPECT_TRUE(ahead.Result().intact);  // asked twice: the same answer, no second worker

  unique_hmodule setup = LoadAsData(BuildTreePath("StampwellSetup.exe"));
  ASSERT_TRUE(setup) << GetLastError();
  PayloadCheckResult built = CheckPayload(setup.get());
  EXPECT_TRUE(built.intact) << "damaged part " << built.damaged_part;
}

TEST(PayloadCheck, ModuleWithoutChecksumRecordIsDamaged) {
  unique_hmodule module(LoadLibraryExA("kernel32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module);
  PayloadCheckResult result = CheckPayload(module.get());
  EXPECT_FALSE(result.intact);
  EXPECT_EQ(result.damaged_part, -1);
}

TEST(PayloadCheck, NamesTheDamagedEntryOrTheManifest) {
  ScratchFolder folder("payload_check_damaged");
  {
    std::string copy = DamagedCopy(folder, "A6", "6A");
    unique_hmodule damaged = LoadAsData(copy);
    ASSERT_TRUE(damaged) << GetLastError();
    PayloadCheckResult result = CheckPayload(damaged.get());
    EXPECT_FALSE(result.intact);
    EXPECT_EQ(result.damaged_part, 6);
    PayloadCheckAhead ahead(damaged.get());
    EXPECT_FALSE(ahead.Result().intact);
  }
  {
    std::string copy = DamagedCopy(folder, kPayloadManifestResource, MAKEINTRESOURCEA(10));
    unique_hmodule damaged = LoadAsData(copy);
    ASSERT_TRUE(damaged) << GetLastError();
    PayloadCheckResult result = CheckPayload(damaged.get());
    EXPECT_FALSE(result.intact);
    EXPECT_EQ(result.damaged_part, 0);
  }
}

// The whole run from a damaged copy: the message, the folder page, and nothing made: no
// installation folder, no log, no registry entry.
TEST(PayloadCheck, AnInstallRunFromADamagedSetupRefusesBeforeMakingAnything) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  testing::RemoveInstallationTraces();
  ScratchFolder folder("payload_check_run");
  std::string copy = DamagedCopy(folder, "A228", "228A");
  unique_hmodule damaged = LoadAsData(copy);
  ASSERT_TRUE(damaged) << GetLastError();
  PayloadStore payload = PayloadStore::FromModule(damaged.get());

  SetupSettings settings;
  AssignSetupSettings(settings, IsWindows64Bit());
  TInstallLog log;
  testing::RecordingWindow window;
  window.folder = folder.path() + "target\\Quendra Soft";
  WindowsInstallSystem system(settings, log, payload,
                              {[] { return std::string(kProductName); }, [] { return true; },
                               [&window](const std::string& text) { window.messages.push_back(text); }});
  RunQuickInstall(settings, window, system);

  EXPECT_EQ(window.messages, std::vector<std::string>{kDamagedSetupMessage});
  EXPECT_EQ(window.Page(), kFolderPage);
  EXPECT_EQ(window.folder, folder.path() + "target\\Quendra Soft");  // the field is left as it was
  EXPECT_FALSE(Exists(folder.path() + "target"));
  EXPECT_TRUE(log.Lines().empty());
  std::string value;
  EXPECT_FALSE(testing::ReadEntryValue("DisplayName", value));
  EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
  EXPECT_FALSE(Exists(testing::StartMenuGroupFolder()));
  testing::RemoveInstallationTraces();
  OleUninitialize();
}

}  // namespace
}  // namespace stampwell
