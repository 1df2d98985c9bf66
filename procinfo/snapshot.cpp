#include "procinfo/snapshot.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include "procinfo/access_rights.h"
#include "procinfo/app_windows.h"
#include "procinfo/entry_line.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"

namespace {

constexpr DWORD kFirstBufferIds = 4096;

// Each process's application windows: titles and handles, in enumeration order.
struct TitleMap {
  std::unordered_map<DWORD, std::vector<HWND>> windows;  // made before `titles` fills it
  std::unordered_map<DWORD, std::vector<std::string>> titles;

  explicit TitleMap(TitleBudget& budget)
      : titles(CollectAllWindowTitles(true, budget, &windows)) {}
};

// Entries as they are made, each line with its icon; they go into the
// snapshot in one step at the end: a process cut short leaves no line
// without its icon.
struct Pending {
  using Entries = std::vector<std::pair<std::string, HICON>>;  // icons borrowed
  using Mark = std::pair<size_t, size_t>;
  Snapshot& out;
  Entries processes, applications;
  std::vector<HWND> windows;  // of `applications`, at the same places

  // Adds the process's entry and one entry per application window.
  void Emit(TQorSvc& svc, HICON icon, const TitleMap& titles) {
    svc.WindowText.clear();
    processes.emplace_back(EntryLine(svc), icon);
    auto it = titles.titles.find(svc.idProcess);
    if (it == titles.titles.end()) return;
    const std::vector<HWND>& handles = titles.windows.at(svc.idProcess);
    for (size_t i = 0; i < it->second.size(); ++i) {
      svc.WindowText = it->second[i];
      applications.emplace_back(EntryLine(svc), icon);
      windows.push_back(handles[i]);
    }
    svc.WindowText.clear();
  }

  Mark Here() const { return {processes.size(), applications.size()}; }
  void Rewind(Mark m) {
    processes.resize(m.first);
    applications.resize(m.second);
    windows.resize(m.second);
  }

  void Flush() {
    Move(processes, out.ProcessLines, out.ProcessIcons);
    Move(applications, out.ApplicationLines, out.ApplicationIcons);
    out.ApplicationWindows.insert(out.ApplicationWindows.end(), windows.begin(), windows.end());
    windows.clear();
  }

  static void Move(Entries& from, std::vector<std::string>& lines, std::vector<HICON>& icons) {
    lines.reserve(lines.size() + from.size());
    icons.reserve(icons.size() + from.size());
    for (auto& entry : from) {
      lines.push_back(std::move(entry.first));
      icons.push_back(entry.second);
    }
    from.clear();
  }
};

// Lists one process through `list`; whatever goes wrong there, the process
// keeps an entry with its identifier only and the snapshot goes on.
template <typename List>
void ListGuarded(Pending& pending, DWORD id, HICON icon, const TitleMap& titles, List&& list) {
  const Pending::Mark mark = pending.Here();
  try {
    list();
  } catch (const std::exception&) {
    pending.Rewind(mark);
    TQorSvc svc;
    svc.idProcess = id;
    pending.Emit(svc, icon, titles);
  }
}

void FillFixed(TQorSvc& svc, const char* name, const char* company, const char* description) {
  svc.DisplayName = name;
  svc.FileName.clear();
  svc.Company = company;
  svc.Description = description;
}

HICON FillResolved(TQorSvc& svc, const FileResolver& resolve, HICON fallback) {
  FileFacts facts = resolve(svc.FileName);
  svc.DisplayName = std::move(facts.DisplayName);
  svc.Company = std::move(facts.Company);
  svc.Description = std::move(facts.Description);
  return facts.Icon ? facts.Icon.get() : fallback;
}

// The main module's path; on a 64-bit process seen from WOW64 the module
// path cannot be read, and the image name query may still answer.
std::string ModulePath(HANDLE process, DWORD pid) {
  const ProcessApi& api = Api();
  char buf[MAX_PATH + 1] = {};
  if (process) {
    api.GetModuleFileNameExA(process, nullptr, buf, MAX_PATH);
    buf[MAX_PATH] = '\0';
    if (buf[0] && std::strcmp(buf, "?") != 0) return buf;
  }
  base::UniqueHandle limited;
  HANDLE h = process;
  if (!h) {
    limited.reset(api.OpenProcess(kLimitedQueryAccess, FALSE, pid));
    h = limited.get();
  }
  if (h) {
    char full[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    if (api.QueryFullProcessImageNameA(h, 0, full, &size) && full[0]) return std::string(full, size);
  }
  return buf;
}

std::string RemoveNtPrefix(std::string path) {
  for (size_t p = path.find("\\??\\"); p != std::string::npos; p = path.find("\\??\\", p))
    path.erase(p, 4);
  return path;
}

// The entry of process `id` and of its application windows.
void ListProcess(DWORD id, const FixedEntries& fixed, const FileResolver& resolve,
                 Pending& pending, const TitleMap& titles) {
  const ProcessApi& api = Api();
  TQorSvc svc;
  svc.idProcess = id;
  if (id == 0) {
    FillFixed(svc, fixed.IdleName, fixed.Company, fixed.IdleDescription);
    pending.Emit(svc, fixed.IdleIcon.get(), titles);
    return;
  }
  base::UniqueHandle process(api.OpenProcess(kQueryAccess, FALSE, id));
  FILETIME created{}, exited, kernel, user;
  if (process && api.GetProcessTimes(process.get(), &created, &exited, &kernel, &user))
    pending.out.CreationTimes[id] = created;
  HICON icon = fixed.DefaultIcon.get();
  std::string path = ModulePath(process.get(), id);
  if (!process && path.empty()) {
    // Not opened at all: the entry keeps its identifier only.
    pending.Emit(svc, icon, titles);
    return;
  }
  if (path.empty() || path == "?") {
    FillFixed(svc, fixed.SystemName, fixed.Company, fixed.SystemDescription);
    icon = fixed.SystemIcon.get();
  } else {
    svc.FileName = RemoveNtPrefix(path);
    icon = FillResolved(svc, resolve, icon);
  }
  pending.Emit(svc, icon, titles);
}

}  // namespace
std::vector<DWORD> EnumAllProcessIds() {
  const ProcessApi& api = Api();
  std::vector<DWORD> ids(kFirstBufferIds), lastFull;
  for (int attempt = 0; attempt < kMaxEnumRetries; ++attempt) {
    std::fill(ids.begin(), ids.end(), 0);
    DWORD bytes = 0;
    const DWORD size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (api.EnumProcesses(ids.data(), size, &bytes)) {
      if (bytes < size) {
        ids.resize(bytes / sizeof(DWORD));
        return ids;
      }
      // A full buffer may have cut the table: ask again with more room,
      // keeping this list in case no buffer is ever large enough.
      lastFull = ids;
    } else if (api.GetLastError() != ERROR_MORE_DATA) {
      return {};
    }
    ids.resize(ids.size() * 2);
  }
  return lastFull;
}

Snapshot TakeSnapshot(const FixedEntries& fixed, const FileResolver& resolve) {
  switch (PlatformId()) {
    case VER_PLATFORM_WIN32_WINDOWS:
      return SnapshotToolHelp(fixed, resolve);
    case VER_PLATFORM_WIN32_NT:
      return SnapshotPSAPI(fixed, resolve);
    default:
      return {};
  }
}

Snapshot SnapshotToolHelp(const FixedEntries& fixed, const FileResolver& resolve) {
  const ProcessApi& api = Api();
  Snapshot out;
  base::UniqueHandle snap(api.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return out;
  TitleBudget budget;  // slow windows cost this reload a second at most
  const TitleMap titles(budget);
  Pending pending{out, {}, {}, {}};
  PROCESSENTRY32 entry{};
  entry.dwSize = 296;
  for (BOOL ok = api.Process32First(snap.get(), &entry); ok;
       ok = api.Process32Next(snap.get(), &entry)) {
    ListGuarded(pending, entry.th32ProcessID, fixed.DefaultIcon.get(), titles, [&] {
      TQorSvc svc;
      svc.idProcess = entry.th32ProcessID;
      entry.szExeFile[MAX_PATH - 1] = '\0';
      svc.FileName = entry.szExeFile;
      HICON icon = FillResolved(svc, resolve, fixed.DefaultIcon.get());
      pending.Emit(svc, icon, titles);
    });
  }
  pending.Flush();
  return out;
}

Snapshot SnapshotPSAPI(const FixedEntries& fixed, const FileResolver& resolve) {
  Snapshot out;
  DebugPrivilegeScope privilege;
  std::vector<DWORD> ids = EnumAllProcessIds();
  // Identifiers in ascending numeric order.
  std::stable_sort(ids.begin(), ids.end());
  TitleBudget budget;  // slow windows cost this reload a second at most
  const TitleMap titles(budget);
  Pending pending{out, {}, {}, {}};
  for (DWORD id : ids) {
    ListGuarded(pending, id, fixed.DefaultIcon.get(), titles,
                [&] { ListProcess(id, fixed, resolve, pending, titles); });
  }
  pending.Flush();
  return out;
}
