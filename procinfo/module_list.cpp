#include "procinfo/module_list.h"

#include <tlhelp32.h>

#include <algorithm>

#include "base/handles.h"
#include "base/path_text.h"
#include "base/shown_text.h"
#include "procinfo/process_api.h"

namespace {

constexpr size_t kMostModules = 4096;  // a snapshot that never ends stops here

template <typename F>
F Kernel(const char* name) {
  HMODULE k = GetModuleHandleA("kernel32.dll");
  return k ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(k, name))) : nullptr;
}

ModuleEntry EntryOf(const MODULEENTRY32W& m) {
  ModuleEntry e;
  e.name.assign(m.szModule, wcsnlen(m.szModule, MAX_MODULE_NAME32 + 1));
  e.path.assign(m.szExePath, wcsnlen(m.szExePath, MAX_PATH));
  e.base = reinterpret_cast<UINT_PTR>(m.modBaseAddr);
  e.size = m.modBaseSize;
  return e;
}

ModuleEntry EntryOf(const MODULEENTRY32& m) {
  ModuleEntry e;
  e.name = WideText(std::string(m.szModule, strnlen(m.szModule, MAX_MODULE_NAME32 + 1)));
  e.path = WideText(std::string(m.szExePath, strnlen(m.szExePath, MAX_PATH)));
  e.base = reinterpret_cast<UINT_PTR>(m.modBaseAddr);
  e.size = m.modBaseSize;
  return e;
}

// Walks the snapshot with the wide functions on the NT family, the ANSI ones on 9x.
template <typename Entry>
void Walk(HANDLE snapshot, const char* first, const char* next, std::vector<ModuleEntry>& out) {
  using Step = BOOL(WINAPI*)(HANDLE, Entry*);
  const Step firstFn = Kernel<Step>(first), nextFn = Kernel<Step>(next);
  if (!firstFn || !nextFn) return;
  Entry m{};
  m.dwSize = sizeof m;
  for (BOOL more = firstFn(snapshot, &m); more && out.size() < kMostModules;
       more = nextFn(snapshot, &m)) {
    out.push_back(EntryOf(m));
    m.dwSize = sizeof m;
  }
}

}  // namespace

ModuleList ReadModules(DWORD pid, int bits) {
  ModuleList list;
  if (bits == 64) {
    list.state = ModuleList::State::Wider;
    return list;
  }
  base::UniqueHandle snapshot(Api().CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  if (!snapshot) {
    const DWORD error = Api().GetLastError();
    list.state = error == ERROR_INVALID_PARAMETER ? ModuleList::State::Ended
                                                  : ModuleList::State::Denied;
    return list;
  }
  if (WideSystem())
    Walk<MODULEENTRY32W>(snapshot.get(), "Module32FirstW", "Module32NextW", list.modules);
  else
    Walk<MODULEENTRY32>(snapshot.get(), "Module32First", "Module32Next", list.modules);
  if (list.modules.empty()) return list;  // nothing readable: denied, as the system says
  std::sort(list.modules.begin(), list.modules.end(), [](const ModuleEntry& a, const ModuleEntry& b) {
    return _wcsicmp(a.name.c_str(), b.name.c_str()) < 0;
  });
  list.state = ModuleList::State::Read;
  return list;
}
