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

bool ProcessReplaced(DWORD pid, const FILETIME* created) { return !SameProcess(pid, created); }

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

namespace {

uint64_t TimeOf(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// When the process started; 0 where that cannot be read (the 9x family has no times).
uint64_t CreationTime(DWORD pid) {
  base::UniqueHandle h(Api().OpenProcess(kLimitedQueryAccess, FALSE, pid));
  if (!h) h.reset(Api().OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  FILETIME created{}, exited, kernel, user;
  if (!h || !Api().GetProcessTimes(h.get(), &created, &exited, &kernel, &user)) return 0;
  return TimeOf(created);
}

}  // namespace

std::vector<ProcessRecord> ReadProcessRecords() {
  const ProcessApi& api = Api();
  std::vector<ProcessRecord> out;
  base::UniqueHandle snap(api.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return out;
  std::unique_ptr<DebugPrivilegeScope> privilege;
  if (PlatformId() == VER_PLATFORM_WIN32_NT) privilege = std::make_unique<DebugPrivilegeScope>();
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;  // 296 in 32 bits, as 95 knows it
  for (BOOL ok = api.Process32First(snap.get(), &entry); ok; ok = api.Process32Next(snap.get(), &entry)) {
    entry.szExeFile[MAX_PATH - 1] = '\0';
    out.push_back({entry.th32ProcessID, entry.th32ParentProcessID, CreationTime(entry.th32ProcessID),
                   ToolhelpFileName(entry.szExeFile)});
  }
  return out;
}

bool CanStop(DWORD pid) {
  return WithProcess<bool>(pid, kStopAccess, false, [](HANDLE) { return true; });
}

bool StopAndWait(DWORD pid, uint64_t created, DWORD waitMs) {
  FILETIME start{static_cast<DWORD>(created), static_cast<DWORD>(created >> 32)};
  std::unique_ptr<DebugPrivilegeScope> privilege;
  if (PlatformId() == VER_PLATFORM_WIN32_NT) privilege = std::make_unique<DebugPrivilegeScope>();
  base::UniqueHandle process(Api().OpenProcess(kStopAccess, FALSE, pid));
  if (!process) return Api().GetLastError() == ERROR_INVALID_PARAMETER;  // no such process: gone
  DWORD code = 0;
  if (!Api().GetExitCodeProcess(process.get(), &code)) return false;
  if (code != STILL_ACTIVE || !SameProcess(pid, created ? &start : nullptr)) return true;
  if (!Api().TerminateProcess(process.get(), 0)) return false;
  // Ended before the next is stopped: the order holds as the user sees it.
  WaitForSingleObject(process.get(), waitMs);
  return true;
}
