#pragma once
// Shell-link (.lnk) files through the shell's ShellLink object.
//
// Runs on the user-interface thread, a single-threaded apartment.

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <string>

namespace stampwell {

// Writes LinkFile as a shortcut to Target with the given arguments and description; its
// working folder is the target's directory part. Throws InstallError "EXT name only is
// 'LNK'!" for a link file whose extension is not ".lnk" (any case), and the system's
// message when the ShellLink object cannot be made. Failures of the link's own calls, the
// save included, are not reported: a shortcut is a convenience, never worth an install.
void CreateLink(const std::string& target, const std::string& arguments, const std::string& link_file,
                const std::string& description);

// A new ShellLink object with both of its interfaces; throws InstallError with the
// system's message for the HRESULT when it cannot be made.
struct ShellLinkObject {
  Microsoft::WRL::ComPtr<IShellLinkA> link;
  Microsoft::WRL::ComPtr<IPersistFile> file;
};
ShellLinkObject MakeShellLink();

// The path in UTF-16 for IPersistFile::Save, from the ANSI code page.
std::wstring WidePath(const std::string& path);

namespace seams {
// Makes the ShellLink object: CoCreateInstance unless a test replaces it, to make the n-th
// shortcut of a run fail as a missing shell would.
using CreateShellLinkFn = HRESULT (*)(IShellLinkA** link);
extern CreateShellLinkFn CreateShellLink;
HRESULT CreateShellLinkObject(IShellLinkA** link);
}  // namespace seams

}  // namespace stampwell
