#include "procinfo/process_ops.h"

#include <memory>

#include "base/handles.h"
#include "procinfo/access_rights.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"

namespace {

// Opens the process with the debug privilege held where the family has it,
// runs `body` on the handle and returns its result, or `failed`.
template <typename R, typename Body>
R WithProcess(DWORD pid, DWORD access, R failed, Body body) {
  std::unique_ptr<DebugPrivilegeScope> privilege;
  if (PlatformId() == VER_PLATFORM_WIN32_NT) privilege = std::make_unique<DebugPrivilegeScope>();
  base::UniqueHandle process(Api().OpenProcess(access, FALSE, pid));
  if (!process) return failed;
  return body(process.get());
}

// True unless the process now holding `pid` provably started at another
// time than `created`. Called while a handle to it is open, so the
// identifier cannot change hands in between.
bool SameProcess(DWORD pid, const FILETIME* created) {
  if (!created) return true;
  base::UniqueHandle h(Api().OpenProcess(kLimitedQueryAccess, FALSE, pid));
  if (!h) h.reset(Api().OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  FILETIME now{}, exited, kernel, user;
  if (!h || !Api().GetProcessTimes(h.get(), &now, &exited, &kernel, &user)) return true;
  return CompareFileTime(&now, created) == 0;
}

}  // namespace

uint32_t GetProcessPriority(DWORD pid) {
  return WithProcess<uint32_t>(pid, kQueryAccess, kPriorityFailed,
                               [](HANDLE p) { return Api().GetPriorityClass(p); });
}

bool SetProcessPriority(DWORD pid, DWORD priorityClass, const FILETIME* created) {
  return WithProcess<bool>(pid, kSetAccess, false, [&](HANDLE p) {
    return SameProcess(pid, created) && Api().SetPriorityClass(p, priorityClass) != FALSE;
  });
}

uint32_t ChangeProcessPriority(DWORD pid, DWORD priorityClass, const FILETIME* created) {
  const bool set = SetProcessPriority(pid, priorityClass, created);
  const uint32_t now = GetProcessPriority(pid);
  if (now != 0 && now != kPriorityFailed) return now;
  return set ? priorityClass : kPriorityFailed;
}

void StopProcess(DWORD pid, const FILETIME* created) {
  WithProcess<bool>(pid, kStopAccess, false, [&](HANDLE p) {
    DWORD code = 0;
    if (Api().GetExitCodeProcess(p, &code) && code == STILL_ACTIVE && SameProcess(pid, created))
      Api().TerminateProcess(p, 0);
    return true;
  });
}
