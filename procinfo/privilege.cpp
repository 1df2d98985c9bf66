#include "procinfo/privilege.h"

#include "procinfo/process_api.h"

namespace {
constexpr char kDebugPrivilege[] = "SeDebugPrivilege";
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;  // 0x28
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

DebugPrivilegeScope::DebugPrivilegeScope() {
  HANDLE token = nullptr;
  if (!Api().OpenProcessToken(GetCurrentProcess(), kTokenAccess, &token)) return;
  token_.reset(token);
  enabled_ = SetPrivilege(token_.get(), kDebugPrivilege, true);
}

DebugPrivilegeScope::~DebugPrivilegeScope() {
  if (enabled_) SetPrivilege(token_.get(), kDebugPrivilege, false);
}
