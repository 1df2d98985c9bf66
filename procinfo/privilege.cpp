#include "procinfo/privilege.h"

#include "base/lock.h"
#include "procinfo/process_api.h"

namespace {
constexpr char kDebugPrivilege[] = "SeDebugPrivilege";
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;  // 0x28

// The privilege is the process's, not a thread's: the first holder switches
// it on and the last switches it off, so that no holder's end takes it from
// another thread's operation still under way.
class Holders {
 public:
  bool Hold() {
    base::Locked l(cs_);
    if (count_++ == 0) {
      HANDLE token = nullptr;
      if (Api().OpenProcessToken(GetCurrentProcess(), kTokenAccess, &token)) {
        token_.reset(token);
        enabled_ = SetPrivilege(token_.get(), kDebugPrivilege, true);
      }
    }
    return enabled_;
  }
  void Release() {
    base::Locked l(cs_);
    if (--count_ == 0) {
      if (enabled_) SetPrivilege(token_.get(), kDebugPrivilege, false);
      enabled_ = false;
      token_.reset();
    }
  }

 private:
  base::CriticalSection cs_;
  int count_ = 0;
  bool enabled_ = false;
  base::UniqueHandle token_;  // owned while held
};

// Made before any thread of the program, gone after the last.
Holders g_holders;

}  // namespace

bool SetPrivilege(HANDLE token, const char* name, bool enable) {
  const ProcessApi& api = Api();
  LUID luid{};
  if (!api.LookupPrivilegeValueA(nullptr, name, &luid)) return false;
  TOKEN_PRIVILEGES state{}, previous{};
  state.PrivilegeCount = 1;
  state.Privileges[0].Luid = luid;
  state.Privileges[0].Attributes = 0;
  DWORD length = sizeof previous;
  api.AdjustTokenPrivileges(token, FALSE, &state, sizeof state, &previous, &length);
  if (api.GetLastError() != 0) return false;
  state.PrivilegeCount = 1;
  state.Privileges[0].Luid = luid;
  state.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  length = sizeof previous;
  api.AdjustTokenPrivileges(token, FALSE, &state, sizeof state, &previous, &length);
  return api.GetLastError() == 0;
}

DebugPrivilegeScope::DebugPrivilegeScope() : enabled_(g_holders.Hold()) {}

DebugPrivilegeScope::~DebugPrivilegeScope() { g_holders.Release(); }
