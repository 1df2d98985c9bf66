#include "procinfo/toolhelp_processes.h"

#include "base/handles.h"
#include "base/shown_text.h"
#include "procinfo/process_api.h"

namespace {
constexpr size_t kMostProcesses = 65536;  // a snapshot that never ends stops here

// ToolHelp's names are in the system's code page.
std::wstring SystemCodePageText(const char* text) {
  wchar_t wide[MAX_PATH] = {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
  return n > 1 ? std::wstring(wide, static_cast<size_t>(n - 1)) : std::wstring();
}

}  // namespace

std::unordered_map<uint32_t, ToolhelpProcess> ReadToolhelpProcesses() {
  std::unordered_map<uint32_t, ToolhelpProcess> out;
  base::UniqueHandle snapshot(Api().CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return out;
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL more = Api().Process32First(snapshot.get(), &e); more && out.size() < kMostProcesses;
       more = Api().Process32Next(snapshot.get(), &e)) {
    ToolhelpProcess& p = out[e.th32ProcessID];
    e.szExeFile[MAX_PATH - 1] = '\0';
    p.name = SystemCodePageText(ToolhelpFileName(e.szExeFile));
    p.parentPid = e.th32ParentProcessID;
    p.threads = e.cntThreads;
    p.basePriority = e.pcPriClassBase;
    e.dwSize = sizeof e;
  }
  return out;
}
