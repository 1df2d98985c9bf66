#include "procinfo/app_windows.h"

#include <cstring>

#include "procinfo/process_api.h"
#include "base/handles.h"

namespace {

// The tests after the process check, in order; returns the title of an
// application window, or empty.
std::wstring ApplicationTitle(HWND w, bool skipShellWindows, TitleBudget& budget) {
  if (GetWindow(w, GW_OWNER)) return {};
  if (!IsWindowVisible(w)) return {};
  char cls[256] = {};
  GetClassNameA(w, cls, 255);
  if (skipShellWindows && (std::strcmp(cls, "Shell_TrayWnd") == 0 || std::strcmp(cls, "Progman") == 0))
    return {};
  return budget.TitleOf(w);
}

struct AllWindows {
  bool skipShellWindows;
  TitleBudget* budget;
  std::unordered_map<DWORD, std::vector<std::wstring>>* out;
  std::unordered_map<DWORD, std::vector<HWND>>* windows;  // optional
  std::unordered_map<DWORD, std::vector<bool>>* hung;  // optional
};

using IsHungAppWindowFn = BOOL(WINAPI*)(HWND);

// Bound at run time: 95, 98 and NT 4.0 do not have it.
IsHungAppWindowFn BoundIsHungAppWindow() {
  static const IsHungAppWindowFn f = [] {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<IsHungAppWindowFn>(
                      reinterpret_cast<void*>(GetProcAddress(user, "IsHungAppWindow")))
                : nullptr;
  }();
  return f;
}

BOOL CALLBACK CollectAllProc(HWND w, LPARAM param) {
  auto* all = reinterpret_cast<AllWindows*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  std::wstring title = ApplicationTitle(w, all->skipShellWindows, *all->budget);
  if (title.empty()) return TRUE;
  (*all->out)[pid].push_back(std::move(title));
  if (all->windows) (*all->windows)[pid].push_back(w);
  if (all->hung) (*all->hung)[pid].push_back(NotResponding(w, *all->budget));
  return TRUE;
}

// The threads of a process, a request per thread (NtGetNextThread, from
// Vista on). False when the process or its threads cannot be asked.
bool ProcessThreads(DWORD processId, std::vector<DWORD>& out) {
  constexpr LONG kNoMoreEntries = static_cast<LONG>(0x8000001A);
  constexpr ACCESS_MASK kThreadLimitedQuery = 0x0800;
  const ProcessApi& api = Api();
  base::UniqueHandle process(api.OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
  if (!process) return false;
  base::UniqueHandle thread;
  for (;;) {
    HANDLE next = nullptr;
    const LONG status = api.NtGetNextThread(process.get(), thread.get(), kThreadLimitedQuery, 0, 0, &next);
    if (status == kNoMoreEntries) return true;
    if (status < 0) return false;
    thread.reset(next);
    const DWORD id = api.GetThreadId(thread.get());
    if (!id) return false;
    out.push_back(id);
  }
}

BOOL CALLBACK AddThreadWindow(HWND w, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
  return TRUE;
}

}  // namespace

BOOL CALLBACK EnumWindowsProc(HWND w, LPARAM param) {
  auto* c = reinterpret_cast<WindowCollection*>(param);
  if (c->ProcessWindows) {
    if (c->ProcessWindows->count(w) == 0) return TRUE;
  } else {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != c->TargetProcessID) return TRUE;
  }
  std::wstring title = ApplicationTitle(w, c->SkipShellWindows != 0, *c->Budget);
  if (title.empty()) return TRUE;
  c->WindowTitles.push_back(std::move(title));
  return TRUE;
}

std::vector<std::wstring> CollectWindowTitles(DWORD processId, bool skipShellWindows,
                                              TitleBudget& budget) {
  WindowCollection c;
  c.Budget = &budget;
  c.TargetProcessID = processId;
  c.SkipShellWindows = skipShellWindows ? 1 : 0;
  // The process's own windows through its threads, a request per thread
  // instead of one per window of the system.
  std::vector<DWORD> threads;
  if (!ProcessThreads(processId, threads)) {
    Api().EnumWindows(EnumWindowsProc, reinterpret_cast<LPARAM>(&c));
    return std::move(c.WindowTitles);
  }
  std::vector<HWND> own;
  int threadsWithWindows = 0;
  for (DWORD thread : threads) {
    const size_t before = own.size();
    EnumThreadWindows(thread, AddThreadWindow, reinterpret_cast<LPARAM>(&own));
    threadsWithWindows += own.size() > before;
  }
  if (threadsWithWindows > 1) {
    // Only the whole enumeration orders windows of several threads.
    const std::unordered_set<HWND> set(own.begin(), own.end());
    c.ProcessWindows = &set;
    Api().EnumWindows(EnumWindowsProc, reinterpret_cast<LPARAM>(&c));
    return std::move(c.WindowTitles);
  }
  // One thread's windows come in the system's order already.
  for (HWND w : own) EnumWindowsProc(w, reinterpret_cast<LPARAM>(&c));
  return std::move(c.WindowTitles);
}

WindowTitles CollectAllWindowTitles(bool skipShellWindows, TitleBudget& budget,
                                   std::unordered_map<DWORD, std::vector<HWND>>* windows,
                                   std::unordered_map<DWORD, std::vector<bool>>* hung) {
  WindowTitles out;
  AllWindows all{skipShellWindows, &budget, &out, windows, hung};
  Api().EnumWindows(CollectAllProc, reinterpret_cast<LPARAM>(&all));
  return out;
}

bool IsApplicationWindowOf(HWND w, DWORD processId) {
  DWORD pid = 0;
  return w && IsWindow(w) && GetWindowThreadProcessId(w, &pid) && pid == processId &&
         !GetWindow(w, GW_OWNER) && IsWindowVisible(w);
}

bool NotResponding(HWND w, TitleBudget& budget) {
  if (IsHungAppWindowFn hungApp = BoundIsHungAppWindow()) return hungApp(w) != FALSE;
  return !budget.Answers(w);
}
