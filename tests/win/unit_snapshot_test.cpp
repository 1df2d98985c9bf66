// The snapshot over real helper processes, and through replaced process
// functions for what the system under test cannot produce.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "model/entry_model.h"
#include "app/texts.h"
#include "harness.h"
#include "base/shown_text.h"
#include "procinfo/process_api.h"
#include "model/snapshot.h"

namespace {

// The program's own fixed entries, and each file resolved as the program does.
Snapshot Take() {
  static ui::UniqueIcon def(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
  static ui::UniqueIcon sys(CopyIcon(LoadIconA(nullptr, IDI_WARNING)));
  static ui::UniqueIcon idle(CopyIcon(LoadIconA(nullptr, IDI_INFORMATION)));
  // A new cache for each snapshot, so that no test leans on what an earlier
  // one resolved; kept until the next, as it owns the snapshot's icons.
  static std::unique_ptr<ResolveCache> cache;
  cache = std::make_unique<ResolveCache>();
  const FixedEntries fixed{texts::kIdleName,   texts::kIdleDescription, texts::kSystemName,
                           texts::kSystemDescription, texts::kMicrosoft, def.get(), sys.get(),
                           idle.get()};
  return TakeSnapshot(fixed, CachedResolver(*cache));
}

std::vector<TQorSvc> Parse(const std::vector<ListedEntry>& listed) {
  std::vector<TQorSvc> out;
  for (const ListedEntry& e : listed) out.push_back(e.entry);
  return out;
}

std::vector<TQorSvc> Of(const std::vector<TQorSvc>& all, DWORD pid) {
  std::vector<TQorSvc> out;
  std::copy_if(all.begin(), all.end(), std::back_inserter(out),
               [&](const TQorSvc& s) { return s.idProcess == pid; });
  return out;
}

void CheckHelpers(const Snapshot& lists, const harness::Process& a, const harness::Process& b,
                  const wchar_t* name) {
  auto procs = Parse(lists.Processes);
  auto apps = Parse(lists.Applications);
  for (const harness::Process* p : {&a, &b}) {
    auto mine = Of(procs, p->Id());
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine[0].DisplayName, name);
    EXPECT_EQ(mine[0].WindowText, L"");
    auto windows = Of(apps, p->Id());
    ASSERT_EQ(windows.size(), 3u);
  }
  auto wa = Of(apps, a.Id());
  // Enumeration order: the newest window first.
  EXPECT_EQ(wa[0].WindowText, L"Left 3");
  EXPECT_EQ(wa[1].WindowText, L"Left 2");
  EXPECT_EQ(wa[2].WindowText, L"Left 1");
}

}  // namespace

TEST(Snapshot, NtFamilyListsEveryProcessOnceWithItsWindows) {
  harness::Process a = harness::StartHelper("windows 3 Left");
  harness::Process b = harness::StartHelper("windows 3 Right");
  const Snapshot lists = Take();
  CheckHelpers(lists, a, b, L"helper.exe");
  auto procs = Parse(lists.Processes);
  EXPECT_TRUE(std::is_sorted(procs.begin(), procs.end(),
                             [](auto& x, auto& y) { return x.idProcess < y.idProcess; }));
  EXPECT_EQ(lists.CreationTimes.count(a.Id()), 1u);
}

TEST(Snapshot, NineXFamilyThroughToolHelp) {
  harness::SavedProcessApi guard;
  Api().PlatformId = [] { return 1ul; };  // the 9x family
  Api().EnumProcesses = [](DWORD*, DWORD, DWORD*) WINAPI -> BOOL { return FALSE; };  // must not be used
  harness::Process a = harness::StartHelper("windows 3 Left");
  harness::Process b = harness::StartHelper("windows 3 Right");
  const Snapshot lists = Take();
  // Wine's ToolHelp reports the bare file name, which names no file here.
  CheckHelpers(lists, a, b, L"");
}

TEST(Snapshot, OtherPlatformAddsNothing) {
  harness::SavedProcessApi guard;
  Api().PlatformId = [] { return 3ul; };
  const Snapshot lists = Take();
  EXPECT_TRUE(lists.Processes.empty());
}

TEST(Snapshot, FixedEntriesAndProcessesThatCannotBeRead) {
  harness::SavedProcessApi guard;
  static DWORD helperId;
  harness::Process h = harness::StartHelper("windows 1 Fixed");
  helperId = h.Id();
  Api().EnumProcesses = [](DWORD* ids, DWORD, DWORD* bytes) WINAPI -> BOOL {
    ids[0] = helperId;
    ids[1] = 0;
    ids[2] = 0xFFFFFFF0;  // opening fails
    ids[3] = GetCurrentProcessId();
    *bytes = 16;
    return TRUE;
  };
  Api().OpenProcess = [](DWORD access, BOOL inherit, DWORD pid) WINAPI -> HANDLE {
    return pid == 0xFFFFFFF0 ? nullptr : OpenProcess(access, inherit, pid);
  };
  Api().GetModuleFileNameExW = [](HANDLE p, HMODULE m, LPWSTR buf, DWORD n) WINAPI -> DWORD {
    if (GetProcessId(p) == GetCurrentProcessId()) return lstrcpyW(buf, L"?") ? 1 : 0;
    return SystemApi().GetModuleFileNameExW(p, m, buf, n);
  };
  Api().QueryFullProcessImageNameW = [](HANDLE, DWORD, LPWSTR, PDWORD) WINAPI -> BOOL { return FALSE; };
  const Snapshot lists = Take();
  auto procs = Parse(lists.Processes);
  ASSERT_EQ(procs.size(), 4u);
  EXPECT_EQ(procs[0].idProcess, 0u);
  EXPECT_EQ(procs[0].DisplayName, WideText(texts::kIdleName));
  EXPECT_EQ(procs[0].Company, WideText(texts::kMicrosoft));
  EXPECT_EQ(procs[0].Description, WideText(texts::kIdleDescription));
  auto self = Of(procs, GetCurrentProcessId());
  EXPECT_EQ(self[0].DisplayName, WideText(texts::kSystemName));
  EXPECT_EQ(self[0].Description, WideText(texts::kSystemDescription));
  auto denied = Of(procs, 0xFFFFFFF0);
  EXPECT_EQ(denied[0].DisplayName + denied[0].FileName + denied[0].Company, L"");
  EXPECT_EQ(procs.back().idProcess, 0xFFFFFFF0u);  // the high bit counts as large
  EXPECT_EQ(Of(Parse(lists.Applications), helperId).size(), 1u);
}

TEST(Snapshot, ImagePathFromWhicheverQueryAnswers) {
  harness::SavedProcessApi guard;
  harness::Process h = harness::StartHelper("windows 1 Wide");
  // From WOW64 the module path of a 64-bit process cannot be read...
  Api().GetModuleFileNameExW = [](HANDLE, HMODULE, LPWSTR, DWORD) WINAPI -> DWORD {
    SetLastError(ERROR_PARTIAL_COPY);
    return 0;
  };
  auto mine = Of(Parse(Take().Processes), h.Id());
  ASSERT_EQ(mine.size(), 1u);
  EXPECT_EQ(mine[0].DisplayName, L"helper.exe");
  // ...and before Vista there is no image name query.
  Api() = SystemApi();
  Api().QueryFullProcessImageNameW = [](HANDLE, DWORD, LPWSTR, PDWORD) WINAPI -> BOOL {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
  };
  mine = Of(Parse(Take().Processes), h.Id());
  ASSERT_EQ(mine.size(), 1u);
  EXPECT_EQ(mine[0].DisplayName, L"helper.exe");
  // A path past MAX_PATH comes whole: asked again with room for it.
  Api() = SystemApi();
  Api().QueryFullProcessImageNameW = [](HANDLE, DWORD, LPWSTR buf, PDWORD size) WINAPI -> BOOL {
    const std::wstring path = L"C:\\" + std::wstring(400, L'x') + L"\\helper.exe";
    if (*size <= path.size()) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    lstrcpyW(buf, path.c_str());
    *size = static_cast<DWORD>(path.size());
    return TRUE;
  };
  mine = Of(Parse(Take().Processes), h.Id());
  ASSERT_EQ(mine.size(), 1u);
  EXPECT_EQ(mine[0].FileName, L"C:\\" + std::wstring(400, L'x') + L"\\helper.exe");

  // A process that cannot be opened (a running copy of another account):
  // ToolHelp's name, read in UTF-16, whole where no code page holds it.
  const std::wstring odd = L"h\u00E9lper\uD55C.exe", dir = harness::Wide(harness::TestDir());
  ASSERT_TRUE(CopyFileW((dir + L"helper.exe").c_str(), (dir + odd).c_str(), FALSE));
  harness::Process oddHelper;
  ASSERT_TRUE(oddHelper.Start(L"\"" + dir + odd + L"\" windows 1 Odd") && harness::WaitReady(oddHelper));
  Api() = SystemApi();
  Api().OpenProcess = [](DWORD, BOOL, DWORD) WINAPI -> HANDLE { return nullptr; };
  EXPECT_EQ(ProcessImagePath(oddHelper.Id()), odd);
  EXPECT_EQ(ProcessImagePath(0xFFFFFFF0), L"");
}

TEST(Snapshot, ModulePathsOfFullLengthAreKept) {
  // 259 bytes, the longest a path can be: a program there is listed with all of it.
  const std::string dir = "C:\\vorlane_long\\" + std::string(232, 'd');
  const std::string exe = dir + "\\helper.exe";
  ASSERT_EQ(exe.size(), 259u);
  CreateDirectoryA("C:\\vorlane_long", nullptr);
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((harness::TestDir() + "helper.exe").c_str(), exe.c_str(), FALSE));
  harness::Process h;
  ASSERT_TRUE(h.Start("\"" + exe + "\" windows 1 Long"));
  ASSERT_TRUE(harness::WaitReady(h));
  const Snapshot lists = Take();
  auto mine = Of(Parse(lists.Processes), h.Id());
  ASSERT_EQ(mine.size(), 1u);
  EXPECT_EQ(mine[0].FileName, harness::Wide(exe));
}

TEST(Snapshot, AProcessThatFailsKeepsItsIdentifierAndTheRestIsListed) {
  harness::SavedProcessApi guard;
  harness::Process bad = harness::StartHelper("windows 2 Bad");
  harness::Process good = harness::StartHelper("windows 2 Good");  // listed after it
  static DWORD failing;
  failing = bad.Id();
  Api().GetProcessTimes = [](HANDLE h, LPFILETIME c, LPFILETIME e, LPFILETIME k,
                             LPFILETIME u) WINAPI -> BOOL {
    if (GetProcessId(h) == failing) throw std::runtime_error("unreadable");
    return GetProcessTimes(h, c, e, k, u);
  };
  const Snapshot lists = Take();
  auto procs = Parse(lists.Processes);
  auto mine = Of(procs, bad.Id());
  ASSERT_EQ(mine.size(), 1u);
  EXPECT_EQ(mine[0].DisplayName + mine[0].FileName + mine[0].Company, L"");
  EXPECT_EQ(Of(Parse(lists.Applications), bad.Id()).size(), 2u);  // its windows stay
  ASSERT_EQ(Of(procs, good.Id()).size(), 1u);
  EXPECT_EQ(Of(procs, good.Id())[0].DisplayName, L"helper.exe");
}

TEST(Snapshot, WithoutTheDebugPrivilegeEveryProcessIsStillListed) {
  harness::SavedProcessApi guard;
  static int adjustCalls;
  adjustCalls = 0;
  Api().AdjustTokenPrivileges = [](HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES,
                                   PDWORD) WINAPI -> BOOL {
    ++adjustCalls;
    SetLastError(ERROR_NOT_ALL_ASSIGNED);
    return TRUE;
  };
  harness::Process h = harness::StartHelper("windows 1 Plain");
  const Snapshot lists = Take();
  EXPECT_EQ(Of(Parse(lists.Processes), h.Id()).size(), 1u);
  EXPECT_EQ(adjustCalls, 1);  // tried once; never switched off since never on
}

TEST(Snapshot, EnumerationFailuresAndLargeTables) {
  harness::SavedProcessApi guard;
  static int calls;
  calls = 0;
  Api().EnumProcesses = [](DWORD*, DWORD, DWORD*) WINAPI -> BOOL {
    ++calls;
    SetLastError(ERROR_MORE_DATA);
    return FALSE;
  };
  EXPECT_TRUE(EnumAllProcessIds().empty());
  EXPECT_EQ(calls, kMaxEnumRetries);  // bounded

  Api().EnumProcesses = [](DWORD*, DWORD, DWORD*) WINAPI -> BOOL {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  };
  const Snapshot lists = Take();
  EXPECT_TRUE(lists.Processes.empty());

  // 5,000 processes: a full buffer is asked again with more room.
  Api().EnumProcesses = [](DWORD* ids, DWORD cb, DWORD* bytes) WINAPI -> BOOL {
    DWORD n = std::min<DWORD>(5000, cb / 4);
    for (DWORD i = 0; i < n; ++i) ids[i] = 4 * (i + 1);
    *bytes = n * 4;
    return TRUE;
  };
  EXPECT_EQ(EnumAllProcessIds().size(), 5000u);

  // A table that fills every buffer offered: the last, largest list is kept.
  calls = 0;
  Api().EnumProcesses = [](DWORD* ids, DWORD cb, DWORD* bytes) WINAPI -> BOOL {
    ++calls;
    for (DWORD i = 0; i < cb / 4; ++i) ids[i] = 4 * (i + 1);
    *bytes = cb;
    return TRUE;
  };
  const std::vector<DWORD> full = EnumAllProcessIds();
  EXPECT_EQ(calls, kMaxEnumRetries);
  ASSERT_EQ(full.size(), 4096u << (kMaxEnumRetries - 1));
  EXPECT_EQ(full.front(), 4u);
  EXPECT_EQ(full.back(), 4 * full.size());
}
