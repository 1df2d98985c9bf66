// Measures Vorlane against the system calls any viewer of the same facts
// must make (the floor, written here from plain system calls), against
// Wine's own task manager and against a bare owner-drawn list box, on N
// helper processes with three windows each, and on a mix of programs each
// with its own version texts and icon. Prints one line per figure:
//   <N or "mix"> <figure> <median ms> <min ms> <max ms>
// and fails with a message when the task manager cannot be measured at a
// size where it must be.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "../tests/win/harness.h"
#include "bench/bench.h"
#include "app/control_ids.h"

using namespace harness;

constexpr DWORD kPeerTimeoutMs = 60000;  // a peer slower than this is reported as not measured
constexpr int kPeerRequiredUpTo = 100;   // sizes at which the peer must be measured

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

void Report(const std::string& n, const char* figure, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%s %s %.1f %.1f %.1f\n", n.c_str(), figure, ms[ms.size() / 2], ms.front(),
              ms.back());
  std::fflush(stdout);
}

namespace {

void Report(int n, const char* figure, std::vector<double> ms) {
  ::Report(std::to_string(n), figure, std::move(ms));
}

// Application windows grouped by process, as any viewer finds them: one
// enumeration, the same tests, the title asked with a short timeout.
BOOL CALLBACK FloorWindow(HWND w, LPARAM lp) {
  auto* titles = reinterpret_cast<std::unordered_map<DWORD, std::vector<std::string>>*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (GetWindow(w, GW_OWNER) || !IsWindowVisible(w)) return TRUE;
  char cls[256] = {}, title[256] = {};
  GetClassNameA(w, cls, 255);
  if (!std::strcmp(cls, "Shell_TrayWnd") || !std::strcmp(cls, "Progman")) return TRUE;
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(title),
                           SMTO_ABORTIFHUNG | SMTO_BLOCK, 100, &got))
    GetWindowTextA(w, title, 255);
  if (title[0]) (*titles)[pid].push_back(title);
  return TRUE;
}

// Company and description of the first translation.
void ReadVersionTexts(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (!size) return;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return;
  WORD* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) ||
      length < 4)
    return;
  for (const char* name : {"CompanyName", "FileDescription"}) {
    char key[80];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
                  name);
    char* value = nullptr;
    VerQueryValueA(block.data(), key, reinterpret_cast<void**>(&value), &length);
  }
}

}  // namespace

// What any viewer showing these facts has to do, and nothing else.
void FloorPass() {
  DWORD ids[16384], bytes = 0;
  EnumProcesses(ids, sizeof ids, &bytes);
  std::set<std::string> paths;
  for (DWORD i = 0; i < bytes / 4; ++i) {
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
    if (!p) continue;
    char path[MAX_PATH] = {};
    if (GetModuleFileNameExA(p, nullptr, path, MAX_PATH)) paths.insert(path);
    CloseHandle(p);
  }
  std::unordered_map<DWORD, std::vector<std::string>> titles;
  EnumWindows(FloorWindow, reinterpret_cast<LPARAM>(&titles));
  for (const std::string& path : paths) {
    ReadVersionTexts(path);
    WORD index = 0;
    char buf[MAX_PATH + 1] = {};
    lstrcpynA(buf, path.c_str(), MAX_PATH);
    if (HICON icon = ExtractAssociatedIconA(GetModuleHandleA(nullptr), buf, &index)) DestroyIcon(icon);
  }
}

namespace {

HWND FindChildOfClass(HWND parent, const char* cls, int skip) {
  struct Search {
    const char* cls;
    int skip;
    HWND found;
  } s{cls, skip, nullptr};
  EnumChildWindows(parent, [](HWND w, LPARAM lp) WINAPI -> BOOL {
    auto* s = reinterpret_cast<Search*>(lp);
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpA(name, s->cls) != 0 || s->skip-- > 0) return TRUE;
    s->found = w;
    return FALSE;
  }, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The task manager's process list: of its list views, the one with the
// most columns (the applications page has two: task and status).
HWND TaskmgrProcessList(DWORD pid) {
  HWND best = nullptr;
  int bestColumns = 2;
  for (HWND top : TopWindows(pid))
    for (int k = 0;; ++k) {
      HWND list = FindChildOfClass(top, "SysListView32", k);
      if (!list) break;
      HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
      const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
      if (columns > bestColumns) {
        best = list;
        bestColumns = columns;
      }
    }
  return best;
}

// Starts taskmgr.exe, brings it to its processes page and times it until
// that page lists every process; a negative time when it never does.
double TaskmgrStartToList(int processes) {
  Process taskmgr;
  const double t0 = Now();
  if (!taskmgr.Start("taskmgr.exe")) return -1;
  HWND list = nullptr;
  const bool listed = WaitFor([&] {
    HWND dialog = FindTopWindow(taskmgr.Id(), "#32770");
    if (!dialog) return false;
    // The tab control hands the page change to its parent itself.
    if (HWND tabs = FindChildOfClass(dialog, "SysTabControl32", 0))
      if (SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != 1) SendMessageA(tabs, TCM_SETCURFOCUS, 1, 0);
    list = TaskmgrProcessList(taskmgr.Id());
    return list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= processes;
  }, kPeerTimeoutMs);
  const double ms = Now() - t0;
  if (!listed)
    std::printf("# taskmgr: %s after %.0f ms\n",
                list ? ("its process list held " +
                        std::to_string(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) + " of " +
                        std::to_string(processes) + " processes").c_str()
                     : "no process list found",
                ms);
  taskmgr.Kill();
  return listed ? ms : -1;
}

// Processor time of one read of the whole-system process list, the one
// source of the live figures under Wine, by this thread: what any reader of
// them pays. Thirty reads, as in a minute of refreshes.
double SystemListCpuMs() {
  auto cpu = [] {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto at = [](const FILETIME& t) {
      return static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime;
    };
    return (at(kernel) + at(user)) / 10000.0;
  };
  constexpr int kReads = 30;
  std::vector<unsigned char> buf;
  ReadProcessList(buf);  // the room, made before the timing
  const double t0 = cpu();
  for (int i = 0; i < kReads; ++i) ReadProcessList(buf);
  return (cpu() - t0) / kReads;
}

// What 1,800 refreshes of the live figures leave behind: anonymous resident
// memory (what Wine counts as private bytes) and GDI objects, after 100
// refreshes to warm up and after 1,800 more. Each is asked for as the timer
// asks (its message), once the window has answered the last one and the
// worker has had three times a read's length to finish it.
void RefreshGrowth(const VorlaneRun& app) {
  constexpr WPARAM kFigureTimer = 1;
  constexpr DWORD kGapMs = 60;
  auto refresh = [&](int times) {
    for (int i = 0; i < times; ++i) {
      PostMessageA(app.form, WM_TIMER, kFigureTimer, 0);
      app.Settle();
      const double t0 = Now();
      while (Now() - t0 < kGapMs) MsgWaitForMultipleObjects(0, nullptr, FALSE, kGapMs, QS_ALLINPUT);
    }
    app.Settle();
  };
  refresh(100);
  const long memory0 = ProcessStatusKiB("VorlaneBench", "RssAnon"), gdi0 = GdiObjects(app.app.Handle());
  refresh(1800);
  const long memory1 = ProcessStatusKiB("VorlaneBench", "RssAnon"), gdi1 = GdiObjects(app.app.Handle());
  std::printf("300 refresh_memory_kib %ld %ld %ld\n", memory1 - memory0, memory0, memory1);
  std::printf("300 refresh_gdi_objects %ld %ld %ld\n", gdi1 - gdi0, gdi0, gdi1);
  std::fflush(stdout);
}

// One size: the helpers are running; measures everything once. False, with
// a message, when something could not be measured.
bool Measure(int n) {
  const int runs = 7;
  DWORD all[16384], bytes = 0;
  EnumProcesses(all, sizeof all, &bytes);
  const int processes = static_cast<int>(bytes / 4);

  // Start to full list, beside Wine's task manager: one warm-up start of
  // each, then starts of each in turn; the last Vorlane stays for the rest.
  VorlaneRun app;
  std::vector<double> starts, peers;
  for (int k = 0; k <= kStarts; ++k) {
    if (k > 0) app.Close();
    const double ms = app.StartToList(processes);
    if (ms < 0) {
      std::printf("# bench: Vorlane did not list %d processes at N = %d\n", processes, n);
      return false;
    }
    const double peer = TaskmgrStartToList(processes);
    if (k == 0) continue;  // warm-up
    starts.push_back(ms);
    if (peer >= 0) peers.push_back(peer);
  }
  Report(n, "start_to_list", starts);
  if (!peers.empty()) {
    Report(n, "taskmgr_start_to_list", peers);
  } else if (n <= kPeerRequiredUpTo) {
    std::printf("# bench: Wine's taskmgr.exe could not be measured at N = %d\n", n);
    return false;
  }
  const HWND form = app.form, list = app.list;

  // Each action is timed from a window that has finished the last one,
  // its repainting included: a figure is that action's own work.
  auto timed = [&](std::vector<double>& into, HWND to, UINT msg, WPARAM wp) {
    app.Settle();
    const double t0 = Now();
    SendMessageA(to, msg, wp, 0);
    into.push_back(Now() - t0);
  };
  // Reorders and tab changes are timed until the window has repainted, as
  // the bare list box beside them is.
  auto painted = [&](std::vector<double>& into, HWND to, UINT msg, WPARAM wp) {
    app.Settle();
    const double t0 = Now();
    SendMessageA(to, msg, wp, 0);
    RedrawWindow(form, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    into.push_back(Now() - t0);
  };
  const HWND byNameButton = FindChild(form, kIdByFileName),
             byIdButton = FindChild(form, kIdByProcessId), tabs = FindChild(form, kIdTabMain);
  std::vector<double> reload, floor, byName, byId, tab, select;
  for (int r = 0; r < runs; ++r) {
    app.Settle();
    reload.push_back(app.Reload());
    const double t0 = Now();
    FloorPass();
    floor.push_back(Now() - t0);
  }
  // Reorders on the process tab, whose texts fill the reference; each tab
  // change refills the list with the other tab's entries, as the tab
  // changes' reference does.
  for (int r = 0; r < runs; ++r) {
    painted(byName, byNameButton, BM_CLICK, 0);
    painted(byId, byIdButton, BM_CLICK, 0);
  }
  for (int r = 0; r < runs; ++r) painted(tab, tabs, TCM_SETCURFOCUS, (r + 1) % 2);
  SendMessageA(tabs, TCM_SETCURFOCUS, 1, 0);
  const std::vector<std::string> applicationTexts = ListItems(list);
  SendMessageA(tabs, TCM_SETCURFOCUS, 0, 0);
  const std::vector<std::string> processTexts = ListItems(list);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  for (int r = 0; r < runs; ++r) timed(select, list, WM_KEYDOWN, VK_DOWN);
  Report(n, "reload", reload);
  Report(n, "floor", floor);
  // The window's answers to a message every 10 ms during a reload.
  std::vector<double> worst;
  for (int r = 0; r < 3; ++r) {
    app.Settle();
    double w = 0;
    app.Reload(&w);
    worst.push_back(w);
  }
  Report(n, "worst_answer_during_reload", worst);
  // Idle with the figures live: its own processor time over the refreshes
  // (one every 2 s), a minute at N = 300.
  app.Settle();
  const double seconds = n == 300 ? 60 : 20;
  const unsigned long long cpu0 = app.CpuTime();
  const double t0 = Now();
  while (Now() - t0 < seconds * 1000) MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  const double cpuMs = static_cast<double>(app.CpuTime() - cpu0) / 10000.0;
  Report(n, "refresh_cpu", {cpuMs / (seconds / 2)});
  const double share = cpuMs / (seconds * 10);
  std::printf("%d idle_cpu_percent %.2f %.2f %.2f\n", n, share, share, share);
  Report(n, "system_list_cpu", {SystemListCpuMs()});
  if (n == 300) RefreshGrowth(app);
  Report(n, "order_by_name", byName);
  Report(n, "order_by_id", byId);
  Report(n, "tab_change", tab);
  Report(n, "selection", select);
  Report(n, "list_fill", BareListFill(list, {processTexts}, runs));
  Report(n, "tab_fill", BareListFill(list, {applicationTexts, processTexts}, runs));
  std::printf("%d processes %d\n", n, processes);
  std::printf("%d peak_rss_kib %ld\n", n, ProcessStatusKiB("VorlaneBench", "VmHWM"));
  app.Close();
  return true;
}

}  // namespace

// Sizes in increasing order; helpers are added from one size to the next.
// The mix is measured first, on its own.
int main(int argc, char** argv) {
  if (!MeasureMix()) return 1;
  std::vector<Process> helpers;
  for (int a = 1; a < argc; ++a) {
    const int n = std::atoi(argv[a]);
    const size_t first = helpers.size();
    while (static_cast<int>(helpers.size()) < n) {
      helpers.emplace_back();
      helpers.back().Start("\"" + TestDir() + "helper.exe\" windows 3 Bench" +
                           std::to_string(helpers.size()));
    }
    for (size_t i = first; i < helpers.size(); ++i) {
      const std::string ready = "ready " + std::to_string(helpers[i].Id());
      if (!WaitFor([&] { return FindWindowA(nullptr, ready.c_str()) != nullptr; }, 60000)) {
        std::printf("# bench: helper %zu of %d never got ready\n", i + 1, n);
        return 1;
      }
    }
    if (!Measure(n)) return 1;
  }
  return 0;
}
