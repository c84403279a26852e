#include "install/shell_link.h"

#include <ole2.h>

#include "install/install_error.h"
#include "install/install_paths.h"
#include "install/system_message.h"

namespace stampwell {

namespace seams {
HRESULT CreateShellLinkObject(IShellLinkA** link) {
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                          reinterpret_cast<void**>(link));
}
CreateShellLinkFn CreateShellLink = CreateShellLinkObject;
}  // namespace seams

namespace {

// OLE for the length of one call; balanced only when it was entered (S_OK or S_FALSE).
class ScopedOle {
 public:
  ScopedOle() : entered_(SUCCEEDED(OleInitialize(nullptr))) {}
  ScopedOle(const ScopedOle&) = delete;
  ScopedOle& operator=(const ScopedOle&) = delete;
  ~ScopedOle() {
    if (entered_) OleUninitialize();
  }

 private:
  bool entered_;
};

[[noreturn]] void ThrowCannotCreate(const std::string& link_file, HRESULT hr) {
  throw InstallError("Cannot create file \"" + link_file + "\". " + SystemErrorText(static_cast<DWORD>(hr)),
                     hr == E_ACCESSDENIED ? FailureCause::kPrivileges : FailureCause::kOther);
}

}  // namespace

std::wstring WidePath(const std::string& path) {
  if (path.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  return wide;
}

ShellLinkObject MakeShellLinkFor(const std::string& link_file) {
  ShellLinkObject object;
  HRESULT hr = seams::CreateShellLink(object.link.GetAddressOf());
  if (SUCCEEDED(hr)) hr = object.link.As(&object.file);
  if (FAILED(hr)) ThrowCannotCreate(link_file, hr);
  return object;
}

void SaveShellLink(const ShellLinkObject& object, const std::string& link_file, RunJournal* journal) {
  if (journal) journal->BeforeWrite(link_file);
  const HRESULT hr = object.file->Save(WidePath(link_file).c_str(), FALSE);
  if (FAILED(hr)) ThrowCannotCreate(link_file, hr);
}

void CreateLink(const std::string& target, const std::string& arguments, const std::string& link_file,
                const std::string& description, RunJournal* journal) {
  if (!HasLinkExtension(link_file)) throw InstallError("EXT name only is 'LNK'!");
  ScopedOle ole;
  ShellLinkObject object = MakeShellLinkFor(link_file);
  object.link->SetPath(target.c_str());
  object.link->SetArguments(arguments.c_str());
  object.link->SetWorkingDirectory(DirectoryPart(target).c_str());
  object.link->SetDescription(description.c_str());
  SaveShellLink(object, link_file, journal);
}

}  // namespace stampwell
