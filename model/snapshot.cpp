#include "model/snapshot.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include "procinfo/access_rights.h"
#include "procinfo/app_windows.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"
#include "base/path_text.h"
#include "base/shown_text.h"

namespace {

constexpr DWORD kFirstBufferIds = 4096;

// Each process's application windows: titles and handles, in enumeration order.
struct TitleMap {
  std::unordered_map<DWORD, std::vector<HWND>> windows;  // made before `titles` fills it
  std::unordered_map<DWORD, std::vector<bool>> hung;  // likewise
  WindowTitles titles;

  explicit TitleMap(TitleBudget& budget)
      : titles(CollectAllWindowTitles(true, budget, &windows, &hung)) {}
};

uint64_t TicksOf(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// Process entries as they are made, each with its icon.
struct Pending {
  using Mark = size_t;
  Snapshot& out;

  void Emit(TQorSvc& svc, HICON icon) {
    svc.WindowText.clear();
    AsListed(svc);
    out.Processes.push_back({std::move(svc), icon});
  }

  Mark Here() const { return out.Processes.size(); }
  void Rewind(Mark m) { out.Processes.resize(m); }
};

// A name read in code page 932 (from a file's version texts or the 9x
// family's system), in UTF-16.
std::wstring FromCodePage(const std::string& text) { return WideText(text); }

// Lists one process through `list`; whatever goes wrong there, the process
// keeps an entry with its identifier only and the snapshot goes on.
template <typename List>
void ListGuarded(Pending& pending, DWORD id, HICON icon, List&& list) {
  const Pending::Mark mark = pending.Here();
  try {
    list();
  } catch (const std::exception&) {
    pending.Rewind(mark);
    TQorSvc svc;
    svc.idProcess = id;
    auto created = pending.out.CreationTimes.find(id);
    if (created != pending.out.CreationTimes.end())
      svc.created = TicksOf(created->second);
    pending.Emit(svc, icon);
  }
}

void FillFixed(TQorSvc& svc, const char* name, const char* company, const char* description) {
  svc.DisplayName = FromCodePage(name);
  svc.FileName.clear();
  svc.Company = FromCodePage(company);
  svc.Description = FromCodePage(description);
}

HICON FillResolved(TQorSvc& svc, const ReportedPath& path, const FileResolver& resolve,
                   HICON fallback, Snapshot& out) {
  FileFacts facts = resolve(path);
  // The real file's own name where the code page cannot hold it.
  std::wstring trueName;
  if (!facts.RealPath.empty())
    trueName = TrueFormOf(std::wstring_view(facts.RealPath).substr(WideFileNameStart(facts.RealPath)));
  svc.DisplayName = trueName.empty() ? FromCodePage(facts.DisplayName) : std::move(trueName);
  svc.Company = FromCodePage(facts.Company);
  svc.Description = FromCodePage(facts.Description);
  if (!facts.RealPath.empty()) out.Files[svc.idProcess] = std::move(facts.RealPath);
  return facts.Icon ? facts.Icon.get() : fallback;
}

// Room for a path: the usual, then the longest the system reports.
constexpr DWORD kPathRooms[] = {MAX_PATH + 1, 32768};

// The image path in UTF-16, whole at any length. The image name query
// answers also for a 64-bit process seen from WOW64 and with limited access;
// before Vista the module path is all there is.
std::wstring ImagePathOf(HANDLE process, DWORD pid) {
  const ProcessApi& api = Api();
  base::UniqueHandle limited;
  HANDLE h = process;
  if (!h) {
    limited.reset(api.OpenProcess(kLimitedQueryAccess, FALSE, pid));
    h = limited.get();
  }
  std::wstring buf;
  for (DWORD room : kPathRooms) {
    buf.assign(room, L'\0');
    DWORD size = room;
    if (h && api.QueryFullProcessImageNameW(h, 0, buf.data(), &size) && size > 0 && size < room) {
      buf.resize(size);
      return buf;
    }
    if (!h || api.GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
  }
  if (!process) return {};
  for (DWORD room : kPathRooms) {
    buf.assign(room, L'\0');
    const DWORD n = api.GetModuleFileNameExW(process, nullptr, buf.data(), room);
    if (n + 1 < room) {  // a full buffer may hold a cut path
      buf.resize(n);
      return buf;
    }
  }
  return {};
}

// The image path, from `paths` when this very process was read before.
std::wstring ImagePath(HANDLE process, DWORD pid, const FILETIME* created, ImagePathMemory* paths) {
  const std::wstring* known = created && paths ? paths->Find(pid, *created) : nullptr;
  std::wstring path = known ? *known : ImagePathOf(process, pid);
  if (created && paths && !path.empty() && path != L"?") paths->Keep(pid, *created, path);
  return path;
}

// The entry of process `id`.
void ListProcess(DWORD id, const FixedEntries& fixed, const FileResolver& resolve,
                 Pending& pending, ImagePathMemory* paths) {
  const ProcessApi& api = Api();
  TQorSvc svc;
  svc.idProcess = id;
  if (id == 0) {
    FillFixed(svc, fixed.IdleName, fixed.Company, fixed.IdleDescription);
    pending.Emit(svc, fixed.IdleIcon.get());
    return;
  }
  base::UniqueHandle process(api.OpenProcess(kQueryAccess, FALSE, id));
  FILETIME created{}, exited, kernel, user;
  const bool timed =
      process && api.GetProcessTimes(process.get(), &created, &exited, &kernel, &user);
  if (timed) {
    pending.out.CreationTimes[id] = created;
    svc.created = TicksOf(created);
  }
  HICON icon = fixed.DefaultIcon.get();
  const std::wstring path = ImagePath(process.get(), id, timed ? &created : nullptr, paths);
  if (!process && path.empty()) {
    // Not opened at all: the entry keeps its identifier only.
    pending.Emit(svc, icon);
    return;
  }
  if (path.empty() || path == L"?") {
    FillFixed(svc, fixed.SystemName, fixed.Company, fixed.SystemDescription);
    icon = fixed.SystemIcon.get();
  } else {
    ReportedPath reported;
    reported.wide = WithoutNtPrefix(path);
    reported.shown = ShownText(reported.wide);
    svc.FileName = reported.wide;
    icon = FillResolved(svc, reported, resolve, icon, pending.out);
  }
  pending.Emit(svc, icon);
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

const std::wstring* ImagePathMemory::Find(uint32_t pid, const FILETIME& created) const {
  auto it = last_.find(pid);
  if (it == last_.end() || CompareFileTime(&it->second.created, &created) != 0) return nullptr;
  return &it->second.path;
}

void ImagePathMemory::Keep(uint32_t pid, const FILETIME& created, const std::wstring& path) {
  next_[pid] = Entry{created, path};
}

void ImagePathMemory::Turn() {
  last_ = std::move(next_);
  next_.clear();
}

Snapshot TakeSnapshot(const FixedEntries& fixed, const FileResolver& resolve,
                      ImagePathMemory* paths) {
  Snapshot s = TakeProcesses(fixed, resolve, paths);
  AddApplications(s);
  return s;
}

Snapshot TakeProcesses(const FixedEntries& fixed, const FileResolver& resolve,
                       ImagePathMemory* paths, const volatile LONG* stop,
                       const std::vector<DWORD>* ids) {
  switch (PlatformId()) {
    case VER_PLATFORM_WIN32_WINDOWS:
      return SnapshotToolHelp(fixed, resolve);
    case VER_PLATFORM_WIN32_NT:
      return SnapshotPSAPI(fixed, resolve, paths, stop, ids);
    default:
      return {};
  }
}

void AddApplications(Snapshot& s, const volatile LONG* stop) {
  TitleBudget budget;  // slow windows cost this reload a second at most
  budget.StopWhen(stop);
  const TitleMap titles(budget);
  for (const ListedEntry& process : s.Processes) {
    const uint32_t pid = process.entry.idProcess;
    auto it = titles.titles.find(pid);
    if (it == titles.titles.end()) continue;
    const std::vector<HWND>& handles = titles.windows.at(pid);
    const std::vector<bool>& hung = titles.hung.at(pid);
    for (size_t i = 0; i < it->second.size(); ++i) {
      ListedEntry app{process.entry, process.icon, handles[i]};
      app.entry.WindowText = it->second[i];
      AsListed(app.entry);
      if (hung[i]) MarkNotResponding(app.entry);
      s.Applications.push_back(std::move(app));
    }
  }
}

namespace {

using Process32WFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);

// The NT family's wide ToolHelp walk, bound at run time (the 9x family has none).
Process32WFn BoundProcess32W(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<Process32WFn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                : nullptr;
}

// The image name ToolHelp reports for `pid`, read in UTF-16: a name outside
// any code page stays whole. False when the walk is not to be had.
bool ToolHelpNameWide(DWORD pid, std::wstring& name) {
  static const Process32WFn first = BoundProcess32W("Process32FirstW");
  static const Process32WFn next = BoundProcess32W("Process32NextW");
  if (!first || !next) return false;
  base::UniqueHandle snap(Api().CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = snap && first(snap.get(), &entry); ok; ok = next(snap.get(), &entry)) {
    if (entry.th32ProcessID != pid) continue;
    entry.szExeFile[MAX_PATH - 1] = L'\0';
    name = entry.szExeFile;
    return true;
  }
  return true;  // walked: no such process
}

// The same in the system's code page, as the 9x family reports it.
std::wstring ToolHelpNameAnsi(DWORD pid) {
  const ProcessApi& api = Api();
  base::UniqueHandle snap(api.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = snap && api.Process32First(snap.get(), &entry); ok;
       ok = api.Process32Next(snap.get(), &entry)) {
    if (entry.th32ProcessID != pid) continue;
    entry.szExeFile[MAX_PATH - 1] = '\0';
    wchar_t wide[MAX_PATH] = {};
    const int n = MultiByteToWideChar(CP_ACP, 0, entry.szExeFile, -1, wide, MAX_PATH);
    return n > 1 ? std::wstring(wide, static_cast<size_t>(n - 1)) : std::wstring();
  }
  return {};
}

}  // namespace

std::wstring ProcessImagePath(DWORD pid) {
  // The 9x family reads no image path through a process handle: ToolHelp is all it has.
  if (WideSystem()) {
    base::UniqueHandle process(Api().OpenProcess(kQueryAccess, FALSE, pid));
    std::wstring path = ImagePathOf(process.get(), pid);
    if (!path.empty() || ToolHelpNameWide(pid, path)) return path;
  }
  return ToolHelpNameAnsi(pid);
}

Snapshot SnapshotToolHelp(const FixedEntries& fixed, const FileResolver& resolve) {
  const ProcessApi& api = Api();
  Snapshot out;
  base::UniqueHandle snap(api.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return out;
  Pending pending{out};
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = api.Process32First(snap.get(), &entry); ok;
       ok = api.Process32Next(snap.get(), &entry)) {
    ListGuarded(pending, entry.th32ProcessID, fixed.DefaultIcon.get(), [&] {
      TQorSvc svc;
      svc.idProcess = entry.th32ProcessID;
      entry.szExeFile[MAX_PATH - 1] = '\0';
      svc.FileName = FromCodePage(entry.szExeFile);
      HICON icon = FillResolved(svc, {entry.szExeFile, {}}, resolve, fixed.DefaultIcon.get(), out);
      pending.Emit(svc, icon);
    });
  }
  return out;
}

Snapshot SnapshotPSAPI(const FixedEntries& fixed, const FileResolver& resolve,
                       ImagePathMemory* paths, const volatile LONG* stop,
                       const std::vector<DWORD>* known) {
  Snapshot out;
  DebugPrivilegeScope privilege;
  std::vector<DWORD> ids = known ? *known : EnumAllProcessIds();
  // Identifiers in ascending numeric order.
  std::stable_sort(ids.begin(), ids.end());
  Pending pending{out};
  for (DWORD id : ids) {
    if (stop && *stop) break;
    ListGuarded(pending, id, fixed.DefaultIcon.get(),
                [&] { ListProcess(id, fixed, resolve, pending, paths); });
  }
  if (paths) paths->Turn();
  return out;
}
