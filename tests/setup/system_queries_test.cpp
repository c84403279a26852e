// The system queries on the real platform: a 64-bit Wine prefix running this 32-bit program
// (or, on a machine that runs no 32-bit code, the same test built as a 64-bit program).
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "framework/unique_handle.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "tests/support/free_space_match.h"

namespace stampwell {
namespace {

TEST(SystemQueries, SixtyFourBitPrefixRunsUsUnderWow64) {
  // The test prefix is 64-bit on purpose, as most Windows installations are. The query asks
  // whether this process runs under WOW64: true for the shipped 32-bit program, false for a
  // native 64-bit one.
  if (sizeof(void*) == 8) {
    EXPECT_FALSE(IsWindows64Bit());
    EXPECT_EQ(ArchSuffixFor(IsWindows64Bit()), "");
  } else {
    EXPECT_TRUE(IsWindows64Bit());
    EXPECT_EQ(ArchSuffixFor(IsWindows64Bit()), " (x86)");
  }
}

TEST(SystemQueries, SpecialFoldersHaveTheirDocumentedShape) {
  // Wine answers the documents folder with a trailing backslash where it links it to the
  // Unix home; Windows never does. The query keeps the Windows shape on both.
  std::string personal = GetSpecialFolderPath(CSIDL_PERSONAL);
  ASSERT_FALSE(personal.empty());
  EXPECT_NE(personal.back(), '\\');
  EXPECT_NE(GetFileAttributesA(personal.c_str()), INVALID_FILE_ATTRIBUTES);

  std::string programs = GetProgramsFolder();
  ASSERT_FALSE(programs.empty());
  EXPECT_EQ(programs.back(), '\\');
  EXPECT_EQ(programs.find("\\\\"), std::string::npos);

  // A folder the shell cannot resolve answers empty (CSIDL 0x7F names nothing).
  EXPECT_EQ(GetSpecialFolderPath(0x7F), "");
}

TEST(SystemQueries, ProgramFilesIsOnTheWindowsDrive) {
  char windows_dir[MAX_PATH];
  GetWindowsDirectoryA(windows_dir, MAX_PATH);
  EXPECT_EQ(GetProgramFilesPath(), std::string(windows_dir, 2) + "\\Program Files");
}

TEST(SystemQueries, FreeSpaceOfRealAndMissingDrives) {
  std::string text = GetFreeSpaceText("C:\\Program Files\\Quendra Soft");
  EXPECT_EQ(text.rfind("Space available: ", 0), 0u) << text;
  EXPECT_EQ(text.substr(text.size() - 3), " MB");
  EXPECT_TRUE(testing::SameFreeSpace(GetFreeSpaceText("c:\\x"), GetFreeSpaceText("C:\\x")));

  // A letter that no volume uses: the query fails and the text is empty.
  DWORD drives = GetLogicalDrives();
  char letter = 0;
  for (char c = 'Y'; c >= 'D'; --c)
    if (!(drives & (1u << (c - 'A')))) { letter = c; break; }
  ASSERT_NE(letter, 0);
  EXPECT_EQ(GetFreeSpaceText(std::string{letter, ':', '\\', 'x'}), "");
  EXPECT_EQ(GetFreeSpaceText("C:"), "");
  EXPECT_EQ(GetFreeSpaceText(""), "");
}

TEST(SystemQueries, WineRunsUsAsAnAdministrator) {
  EXPECT_TRUE(IsUserAdministrator());
}

TEST(SystemQueries, DenyOnlyAdministratorsGroupStillCounts) {
  // A filtered administrator token (as user account control hands out) keeps the group,
  // marked deny-only; membership alone counts.
  unique_handle process_token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_IMPERSONATE,
                               process_token.put()));
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  unique_sid admins;
  ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                       0, 0, admins.put()));
  SID_AND_ATTRIBUTES disable{admins.get(), 0};
  unique_handle restricted;
  if (!CreateRestrictedToken(process_token.get(), 0, 1, &disable, 0, nullptr, 0, nullptr, restricted.put()))
    GTEST_SKIP() << "this Wine cannot filter tokens (error " << GetLastError() << ")";
  unique_handle impersonation;
  ASSERT_TRUE(DuplicateToken(restricted.get(), SecurityImpersonation, impersonation.put()));
  ASSERT_TRUE(SetThreadToken(nullptr, impersonation.get()));
  bool answer = IsUserAdministrator();
  RevertToSelf();
  EXPECT_TRUE(answer);
}

// A token of `count` groups with Administrators last, far beyond 1024 bytes, served through
// the token-information seam: no real account can be put into that many groups here.
struct ManyGroupsToken {
  static std::vector<unsigned char>& Data() {
    static std::vector<unsigned char> data;
    return data;
  }
  static BOOL WINAPI Read(HANDLE, TOKEN_INFORMATION_CLASS cls, LPVOID buffer, DWORD size, PDWORD needed) {
    if (cls != TokenGroups) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
    std::vector<unsigned char>& data = Data();
    *needed = static_cast<DWORD>(data.size());
    if (size < data.size()) { SetLastError(ERROR_INSUFFICIENT_BUFFER); return FALSE; }
    // SIDs hold absolute pointers into the buffer: rebase them for the caller's copy.
    std::memcpy(buffer, data.data(), data.size());
    auto* groups = static_cast<TOKEN_GROUPS*>(buffer);
    for (DWORD i = 0; i < groups->GroupCount; ++i)
      groups->Groups[i].Sid = static_cast<unsigned char*>(buffer) +
                              (static_cast<unsigned char*>(groups->Groups[i].Sid) - data.data());
    return TRUE;
  }
  static void Build(DWORD count, bool with_admins) {
    const DWORD sid_size = GetSidLengthRequired(2);
    size_t header = sizeof(TOKEN_GROUPS) + (count - 1) * sizeof(SID_AND_ATTRIBUTES);
    std::vector<unsigned char>& data = Data();
    data.assign(header + count * sid_size, 0);
    auto* groups = reinterpret_cast<TOKEN_GROUPS*>(data.data());
    groups->GroupCount = count;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    for (DWORD i = 0; i < count; ++i) {
      PSID sid = data.data() + header + i * sid_size;
      InitializeSid(sid, &nt, 2);
      *GetSidSubAuthority(sid, 0) = SECURITY_BUILTIN_DOMAIN_RID;
      *GetSidSubAuthority(sid, 1) = (with_admins && i == count - 1) ? DOMAIN_ALIAS_RID_ADMINS : 1000 + i;
      groups->Groups[i].Sid = sid;
      groups->Groups[i].Attributes = SE_GROUP_USE_FOR_DENY_ONLY;
    }
  }
};

TEST(SystemQueries, AdministratorInManyGroupsIsRecognised) {
  auto real = seams::GetTokenInformation;
  seams::GetTokenInformation = ManyGroupsToken::Read;
  ManyGroupsToken::Build(200, /*with_admins=*/true);
  ASSERT_GT(ManyGroupsToken::Data().size(), 1024u);
  bool many_with = IsUserAdministrator();
  ManyGroupsToken::Build(200, /*with_admins=*/false);
  bool many_without = IsUserAdministrator();
  seams::GetTokenInformation = real;
  EXPECT_TRUE(many_with);
  EXPECT_FALSE(many_without);
}

}  // namespace
}  // namespace stampwell
