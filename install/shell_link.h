#pragma once
// Shell-link (.lnk) files through the shell's ShellLink object.
//
// Runs on the user-interface thread, a single-threaded apartment.

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <string>

#include "install/run_journal.h"

namespace stampwell {

// Writes LinkFile as a shortcut to Target with the given arguments and description; its
// working folder is the target's directory part. With a journal, an earlier file of that
// name is moved aside first (a new one recorded). Throws InstallError "EXT name only is
// 'LNK'!" for a link file whose extension is not ".lnk" (any case), and "Cannot create file
// "<link file>". <system message>" when the ShellLink object cannot be made or the shortcut
// cannot be saved: the run is all or nothing, its shortcuts included.
void CreateLink(const std::string& target, const std::string& arguments, const std::string& link_file,
                const std::string& description, RunJournal* journal = nullptr);

// A new ShellLink object with both of its interfaces.
struct ShellLinkObject {
  Microsoft::WRL::ComPtr<IShellLinkA> link;
  Microsoft::WRL::ComPtr<IPersistFile> file;
};
// Throws InstallError "Cannot create file "<link file>". <system message>" when it cannot be
// made.
ShellLinkObject MakeShellLinkFor(const std::string& link_file);
// Saves the shortcut to `link_file`, through the journal when there is one; throws
// InstallError naming the file and the system's message when it cannot.
void SaveShellLink(const ShellLinkObject& object, const std::string& link_file, RunJournal* journal);

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
