#include "procinfo/snapshot.h"

#include <algorithm>
#include <cstring>

#include "procinfo/access_rights.h"
#include "procinfo/app_windows.h"
#include "procinfo/entry_line.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"

namespace {

constexpr DWORD kFirstBufferIds = 4096;

using TitleMap = std::unordered_map<DWORD, std::vector<std::string>>;

// Adds lines as they are made, each with its icon.
struct Pending {
  Snapshot& out;

  // Adds the process's entry and one entry per application window.
  void Emit(TQorSvc& svc, HICON icon, const TitleMap& titles) {
    out.ProcessIcons.push_back(icon);
    svc.WindowText.clear();
    out.ProcessLines.push_back(EntryLine(svc));
    auto it = titles.find(svc.idProcess);
    if (it == titles.end()) return;
    for (const std::string& title : it->second) {
      out.ApplicationIcons.push_back(icon);
      svc.WindowText = title;
      out.ApplicationLines.push_back(EntryLine(svc));
    }
    svc.WindowText.clear();
  }
};

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
  char buf[257] = {};
  if (process) {
    api.GetModuleFileNameExA(process, nullptr, buf, 256);
    buf[256] = '\0';
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

}  // namespace

void SortIDList(std::vector<std::string>& ids) {
  std::stable_sort(ids.begin(), ids.end(), [](const std::string& a, const std::string& b) {
    return HexToDWord(a) < HexToDWord(b);
  });
}

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
  const TitleMap titles = CollectAllWindowTitles(true, budget);
  Pending pending{out};
  PROCESSENTRY32 entry{};
  entry.dwSize = 296;
  for (BOOL ok = api.Process32First(snap.get(), &entry); ok;
       ok = api.Process32Next(snap.get(), &entry)) {
    TQorSvc svc;
    svc.idProcess = entry.th32ProcessID;
    entry.szExeFile[MAX_PATH - 1] = '\0';
    svc.FileName = entry.szExeFile;
    HICON icon = FillResolved(svc, resolve, fixed.DefaultIcon.get());
    pending.Emit(svc, icon, titles);
  }
  return out;
}

Snapshot SnapshotPSAPI(const FixedEntries& fixed, const FileResolver& resolve) {
  const ProcessApi& api = Api();
  Snapshot out;
  DebugPrivilegeScope privilege;
  std::vector<DWORD> ids = EnumAllProcessIds();
  // Identifiers come back in ascending numeric order, as SortIDList leaves them.
  std::stable_sort(ids.begin(), ids.end());
  TitleBudget budget;  // slow windows cost this reload a second at most
  const TitleMap titles = CollectAllWindowTitles(true, budget);
  Pending pending{out};
  for (DWORD id : ids) {
    TQorSvc svc;
    svc.idProcess = id;
    if (id == 0) {
      FillFixed(svc, fixed.IdleName, fixed.Company, fixed.IdleDescription);
      pending.Emit(svc, fixed.IdleIcon.get(), titles);
      continue;
    }
    base::UniqueHandle process(api.OpenProcess(kQueryAccess, FALSE, id));
    FILETIME created{}, exited, kernel, user;
    if (process && api.GetProcessTimes(process.get(), &created, &exited, &kernel, &user))
      out.CreationTimes[id] = created;
    HICON icon = fixed.DefaultIcon.get();
    std::string path = ModulePath(process.get(), id);
    if (!process && path.empty()) {
      // Not opened at all: the entry keeps its identifier only.
      pending.Emit(svc, icon, titles);
      continue;
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
  return out;
}
