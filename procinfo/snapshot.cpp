#include "procinfo/snapshot.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include "app/texts.h"
#include "procinfo/app_windows.h"
#include "procinfo/entry_line.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"
#include "procinfo/resolve.h"

namespace {

constexpr DWORD kQueryAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x410
constexpr DWORD kLimitedQueryAccess = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
constexpr DWORD kFirstBufferIds = 4096;

using TitleMap = std::unordered_map<DWORD, std::vector<std::string>>;

// Entries as they are made, each line with its icon; they go into the lists
// in one step at the end, while the resolution cache still owns the icons:
// a snapshot cut short leaves no line without its icon.
struct Pending {
  using Entries = std::vector<std::pair<std::string, HICON>>;  // icons borrowed
  using Mark = std::pair<size_t, size_t>;
  EntryLists& out;
  Entries processes, applications;

  // Adds the process's entry and one entry per application window.
  void Emit(TQorSvc& svc, HICON icon, const TitleMap& titles) {
    svc.WindowText.clear();
    processes.emplace_back(EntryLine(svc), icon);
    auto it = titles.find(svc.idProcess);
    if (it == titles.end()) return;
    for (const std::string& title : it->second) {
      svc.WindowText = title;
      applications.emplace_back(EntryLine(svc), icon);
    }
    svc.WindowText.clear();
  }

  Mark Here() const { return {processes.size(), applications.size()}; }
  void Rewind(Mark m) {
    processes.resize(m.first);
    applications.resize(m.second);
  }

  void Flush() {
    Move(processes, out.ProcessLines, out.IL_Tab0);
    Move(applications, out.ApplicationLines, out.IL_Tab1);
  }

  static void Move(Entries& from, std::vector<std::string>& lines, ui::ImageList& images) {
    std::vector<HICON> icons;
    icons.reserve(from.size());
    for (const auto& entry : from) icons.push_back(entry.second);
    images.Append(icons);
    for (auto& entry : from) lines.push_back(std::move(entry.first));
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

void FillFixed(TQorSvc& svc, const char* name, const char* description) {
  svc.DisplayName = name;
  svc.FileName.clear();
  svc.Company = texts::kMicrosoft;
  svc.Description = description;
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
  ui::UniqueHandle limited;
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
void ListProcess(DWORD id, const SubstituteIcons& icons, ResolveCache& cache, Pending& pending,
                 const TitleMap& titles) {
  const ProcessApi& api = Api();
  TQorSvc svc;
  svc.idProcess = id;
  if (id == 0) {
    FillFixed(svc, texts::kIdleName, texts::kIdleDescription);
    pending.Emit(svc, icons.IdleIcon, titles);
    return;
  }
  ui::UniqueHandle process(api.OpenProcess(kQueryAccess, FALSE, id));
  FILETIME created{}, exited, kernel, user;
  if (process && api.GetProcessTimes(process.get(), &created, &exited, &kernel, &user))
    pending.out.CreationTimes[id] = created;
  HICON icon = icons.DefaultIcon;
  std::string path = ModulePath(process.get(), id);
  if (!process && path.empty()) {
    // Not opened at all: the entry keeps its identifier only.
    pending.Emit(svc, icon, titles);
    return;
  }
  if (path.empty() || path == "?") {
    FillFixed(svc, texts::kSystemName, texts::kSystemDescription);
    icon = icons.SystemIcon;
  } else {
    svc.FileName = RemoveNtPrefix(path);
    const Resolution& r = cache.Get(svc.FileName);
    svc.DisplayName = r.DisplayName;
    svc.Company = r.Company;
    svc.Description = r.Description;
    if (r.Icon) icon = r.Icon.get();
  }
  pending.Emit(svc, icon, titles);
}

}  // namespace

void EntryLists::Clear() {
  ProcessLines.clear();
  ApplicationLines.clear();
  IL_Tab0.Clear();
  IL_Tab1.Clear();
  CreationTimes.clear();
}

void SortIDList(std::vector<std::string>& ids) {
  std::stable_sort(ids.begin(), ids.end(), [](const std::string& a, const std::string& b) {
    return HexToDWord(a) < HexToDWord(b);
  });
}

std::vector<DWORD> EnumAllProcessIds() {
  const ProcessApi& api = Api();
  std::vector<DWORD> ids(kFirstBufferIds);
  for (int attempt = 0; attempt < kMaxEnumRetries; ++attempt) {
    std::fill(ids.begin(), ids.end(), 0);
    DWORD bytes = 0;
    const DWORD size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (api.EnumProcesses(ids.data(), size, &bytes)) {
      // A full buffer may have cut the table: ask again with more room.
      if (bytes < size) {
        ids.resize(bytes / sizeof(DWORD));
        return ids;
      }
    } else if (api.GetLastError() != ERROR_MORE_DATA) {
      return {};
    }
    ids.resize(ids.size() * 2);
  }
  return {};
}

void TakeSnapshot(EntryLists& out, const SubstituteIcons& icons) {
  switch (PlatformId()) {
    case VER_PLATFORM_WIN32_WINDOWS:
      SnapshotToolHelp(out, icons);
      break;
    case VER_PLATFORM_WIN32_NT:
      SnapshotPSAPI(out, icons);
      break;
    default:
      break;
  }
}

void SnapshotToolHelp(EntryLists& out, const SubstituteIcons& icons) {
  const ProcessApi& api = Api();
  ui::UniqueHandle snap(api.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return;
  const TitleMap titles = CollectAllWindowTitles(true);
  ResolveCache cache;
  Pending pending{out, {}, {}};
  PROCESSENTRY32 entry{};
  entry.dwSize = 296;
  for (BOOL ok = api.Process32First(snap.get(), &entry); ok;
       ok = api.Process32Next(snap.get(), &entry)) {
    ListGuarded(pending, entry.th32ProcessID, icons.DefaultIcon, titles, [&] {
      TQorSvc svc;
      svc.idProcess = entry.th32ProcessID;
      entry.szExeFile[MAX_PATH - 1] = '\0';
      svc.FileName = entry.szExeFile;
      const Resolution& r = cache.Get(svc.FileName);
      svc.DisplayName = r.DisplayName;
      svc.Company = r.Company;
      svc.Description = r.Description;
      pending.Emit(svc, r.Icon ? r.Icon.get() : icons.DefaultIcon, titles);
    });
  }
  pending.Flush();
}

void SnapshotPSAPI(EntryLists& out, const SubstituteIcons& icons) {
  DebugPrivilegeScope privilege;
  std::vector<DWORD> ids = EnumAllProcessIds();
  // Identifiers come back in ascending numeric order, as SortIDList leaves them.
  std::stable_sort(ids.begin(), ids.end());
  const TitleMap titles = CollectAllWindowTitles(true);
  ResolveCache cache;
  Pending pending{out, {}, {}};
  for (DWORD id : ids)
    ListGuarded(pending, id, icons.DefaultIcon, titles,
                [&] { ListProcess(id, icons, cache, pending, titles); });
  pending.Flush();
}
