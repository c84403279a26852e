#include "install/logged_on_user.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include <exception>
#include <memory>

#include "framework/system_library.h"
#include "framework/unique_handle.h"
#include "install/command_capture.h"
#include "install/command_output.h"

namespace stampwell {

namespace seams {
QueryUserNameFn QueryUserName = QueryUserNameThroughWmi;
}  // namespace seams

namespace {

using Microsoft::WRL::ComPtr;

class ScopedBstr {
 public:
  explicit ScopedBstr(const wchar_t* text) : value_(SysAllocString(text)) {}
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  ~ScopedBstr() { SysFreeString(value_); }
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  ~ScopedVariant() { VariantClear(&value_); }
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

std::string Narrow(const wchar_t* wide, int length) {
  if (length <= 0) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, narrow.data(), size, nullptr, nullptr);
  return narrow;
}


std::optional<std::string> AskWmi(unsigned time_limit_ms) {
  ComPtr<IWbemLocator> locator;
  if (FAILED(CoCreateInstance(__uuidof(WbemLocator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWbemLocator),
                              reinterpret_cast<void**>(locator.GetAddressOf()))))
    return std::nullopt;
  ScopedBstr cimv2(L"ROOT\\CIMV2");
  ComPtr<IWbemServices> services;
  if (FAILED(locator->ConnectServer(cimv2.get(), nullptr, nullptr, nullptr, WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr,
                                    nullptr, services.GetAddressOf())))
    return std::nullopt;
  CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  ScopedBstr language(L"WQL");
  ScopedBstr query(L"SELECT UserName FROM Win32_ComputerSystem");
  ComPtr<IEnumWbemClassObject> rows;
  if (FAILED(services->ExecQuery(language.get(), query.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                 nullptr, rows.GetAddressOf())))
    return std::nullopt;
  ComPtr<IWbemClassObject> row;
  ULONG returned = 0;
  if (rows->Next(static_cast<LONG>(time_limit_ms), 1, row.GetAddressOf(), &returned) != WBEM_S_NO_ERROR ||
      returned != 1)
    return std::nullopt;
  ScopedVariant value;
  if (FAILED(row->Get(L"UserName", 0, value.get(), nullptr, nullptr))) return std::nullopt;
  if (value.get()->vt == VT_BSTR)
    return Narrow(value.get()->bstrVal, static_cast<int>(SysStringLen(value.get()->bstrVal)));
  if (value.get()->vt == VT_NULL || value.get()->vt == VT_EMPTY) return std::string();  // nobody logged on
  return std::nullopt;
}

}  // namespace

// What the worker and the waiting thread share. The worker keeps its own reference, so an
// answer that comes after the waiter gave up lands in memory that is still its own.
struct LoggedOnUserQuery::Answer {
  unsigned time_limit_ms = 0;
  std::optional<std::string> user_name;
};

namespace {

using WmiAnswer = LoggedOnUserQuery::Answer;

DWORD WINAPI WmiWorker(void* parameter) noexcept {
  std::unique_ptr<std::shared_ptr<WmiAnswer>> owned(static_cast<std::shared_ptr<WmiAnswer>*>(parameter));
  WmiAnswer& answer = **owned;
  try {
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
      answer.user_name = AskWmi(answer.time_limit_ms);
      CoUninitialize();
    }
  } catch (...) {
    answer.user_name.reset();
  }
  return 0;
}

// A thread of its own: the user-interface thread's apartment cannot be given a time limit,
// and a management service that hangs must not hang the setup. An empty handle when no
// thread could be made.
unique_handle StartWmiWorker(const std::shared_ptr<WmiAnswer>& answer) {
  auto* handed = new std::shared_ptr<WmiAnswer>(answer);
  unique_handle worker(CreateThread(nullptr, 0, WmiWorker, handed, 0, nullptr));
  if (!worker) delete handed;
  return worker;
}

// The user's name from the management interface's answer, or from the command's when there
// is none.
std::string UserFromAnswer(const std::optional<std::string>& name) {
  if (name) return LoggedOnUserFromOutput(*name);
  try {
    std::string output = RunAndCapture(UserQueryCommandLine(), kUserQueryTimeLimitMs);
    // The command can leave this file in the current directory; only a command that ran can.
    DeleteFileA("TempWmicBatchFile.bat");
    return LoggedOnUserFromOutput(output);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

std::optional<std::string> QueryUserNameThroughWmi(unsigned time_limit_ms) {
  auto answer = std::make_shared<WmiAnswer>();
  answer->time_limit_ms = time_limit_ms;
  unique_handle worker = StartWmiWorker(answer);
  if (!worker || WaitForSingleObject(worker.get(), time_limit_ms) != WAIT_OBJECT_0) return std::nullopt;
  return answer->user_name;
}

std::string UserQueryCommandLine() {
  return "\"" + SystemProgramPath("wbem\\wmic.exe") + "\" path win32_computersystem get username";
}

std::string LoggedOnUser() { return UserFromAnswer(seams::QueryUserName(kUserQueryTimeLimitMs)); }

LoggedOnUserQuery::LoggedOnUserQuery() {
  if (seams::QueryUserName != QueryUserNameThroughWmi) return;
  answer_ = std::make_shared<Answer>();
  answer_->time_limit_ms = kUserQueryTimeLimitMs;
  started_ = GetTickCount();
  worker_ = StartWmiWorker(answer_);
}

LoggedOnUserQuery::~LoggedOnUserQuery() = default;

std::string LoggedOnUserQuery::Name() {
  if (name_) return *name_;
  if (!worker_) {
    name_ = LoggedOnUser();
    return *name_;
  }
  DWORD waited = GetTickCount() - started_;
  DWORD left = waited >= kUserQueryTimeLimitMs ? 0 : kUserQueryTimeLimitMs - waited;
  bool answered = WaitForSingleObject(worker_.get(), left) == WAIT_OBJECT_0;
  name_ = UserFromAnswer(answered ? answer_->user_name : std::nullopt);
  return *name_;
}

}  // namespace stampwell
