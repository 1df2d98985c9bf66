#include "procinfo/module_list.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>

#include <memory>

#include "base/handles.h"
#include "base/late_bound.h"
#include "base/path_text.h"
#include "base/shown_text.h"
#include "procinfo/access_rights.h"
#include "procinfo/loader_list.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"
#include "procinfo/process_memory.h"

namespace {

// More than any program loads; a list that goes on stops here (the window
// takes about a second to show 4,000 rows under Wine).
constexpr size_t kMostModules = 1024;

ModuleEntry EntryOf(const MODULEENTRY32& m) {
  ModuleEntry e;
  e.name = WideText(std::string(m.szModule, strnlen(m.szModule, MAX_MODULE_NAME32 + 1)));
  e.path = WideText(std::string(m.szExePath, strnlen(m.szExePath, MAX_PATH)));
  e.file = e.path;
  e.base = reinterpret_cast<UINT_PTR>(m.modBaseAddr);
  e.size = m.modBaseSize;
  return e;
}

// Walks the snapshot (9x family: its ANSI functions).
void Walk(HANDLE snapshot, std::vector<ModuleEntry>& out) {
  using Step = BOOL(WINAPI*)(HANDLE, MODULEENTRY32*);
  const Step firstFn = base::LateBound<Step>("kernel32.dll", "Module32First"),
             nextFn = base::LateBound<Step>("kernel32.dll", "Module32Next");
  if (!firstFn || !nextFn) return;
  MODULEENTRY32 m{};
  m.dwSize = sizeof m;
  for (BOOL more = firstFn(snapshot, &m); more && out.size() < kMostModules;
       more = nextFn(snapshot, &m)) {
    out.push_back(EntryOf(m));
    m.dwSize = sizeof m;
  }
}

// Each drive with its device name ("C:", "\\Device\\HarddiskVolume1").
std::vector<std::pair<std::wstring, std::wstring>> DriveDevices() {
  std::vector<std::pair<std::wstring, std::wstring>> out;
  for (wchar_t d = L'A'; d <= L'Z'; ++d) {
    const wchar_t drive[3] = {d, L':', 0};
    wchar_t device[MAX_PATH] = {};
    if (Api().QueryDosDeviceW(drive, device, MAX_PATH)) out.emplace_back(drive, device);
  }
  return out;
}

// The file the system mapped at `base` in the process, as a drive path;
// empty where it does not say (no image there, or no PSAPI that can tell).
std::wstring MappedFile(HANDLE process, uint64_t base, const std::vector<std::pair<std::wstring, std::wstring>>& devices) {
  wchar_t mapped[1024] = {};
  if (base == 0 || base > UINTPTR_MAX) return {};  // out of this program's reach
  const DWORD n = Api().GetMappedFileNameW(process, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(base)),
                                           mapped, 1024);
  if (n == 0 || n >= 1024) return {};
  return DrivePathOfMapped(std::wstring_view(mapped, n), devices);
}

// The process's own loader list, walked with bounds.
ModuleList WalkLoaderList(DWORD pid, int bits, const std::function<bool()>& stop) {
  ModuleList list;
  DebugPrivilegeScope privilege;
  base::UniqueHandle p(Api().OpenProcess(kQueryAccess, FALSE, pid));
  if (!p) {
    list.state = Api().GetLastError() == ERROR_INVALID_PARAMETER ? ModuleList::State::Ended
                                                                  : ModuleList::State::Denied;
    return list;
  }
  const std::vector<std::pair<std::wstring, std::wstring>> devices = DriveDevices();
  NativeMemory memory(p.get());
  const PebPlace place = PebOf(p.get(), bits);
  const LoaderList read = ReadLoaderList(memory, place.peb, place.width, kMostModules, stop);
  list.cut = read.state == LoaderList::State::Cut;
  for (const LoaderModule& m : read.modules) {
    ModuleEntry e{std::wstring(m.name.begin(), m.name.end()), std::wstring(m.path.begin(), m.path.end()),
                  {}, m.base, static_cast<uint32_t>(m.size)};
    e.file = MappedFile(p.get(), m.base, devices);
    if (e.file.empty()) e.file = e.path;
    list.modules.push_back(std::move(e));
  }
  return list;
}

}  // namespace

ModuleList ReadModules(DWORD pid, int bits, const std::function<bool()>& stop) {
  ModuleList list;
  if (bits == 64 && !kWideProgram) {
    list.state = ModuleList::State::Wider;
    return list;
  }
  if (PlatformId() == VER_PLATFORM_WIN32_NT) {
    list = WalkLoaderList(pid, bits, stop);
    if (list.state == ModuleList::State::Ended || list.modules.empty()) return list;
    std::sort(list.modules.begin(), list.modules.end(), [](const ModuleEntry& a, const ModuleEntry& b) {
      return _wcsicmp(a.name.c_str(), b.name.c_str()) < 0;
    });
    list.state = ModuleList::State::Read;
    return list;
  }
  base::UniqueHandle snapshot(Api().CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  if (!snapshot) {
    const DWORD error = Api().GetLastError();
    list.state = error == ERROR_INVALID_PARAMETER ? ModuleList::State::Ended
                                                  : ModuleList::State::Denied;
    return list;
  }
  Walk(snapshot.get(), list.modules);
  if (list.modules.empty()) return list;  // nothing readable: denied, as the system says
  std::sort(list.modules.begin(), list.modules.end(), [](const ModuleEntry& a, const ModuleEntry& b) {
    return _wcsicmp(a.name.c_str(), b.name.c_str()) < 0;
  });
  list.state = ModuleList::State::Read;
  return list;
}
