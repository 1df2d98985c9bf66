// Measures Vorlane against the system calls any viewer of the same facts
// must make (the floor) and against Wine's own task manager, on N helper
// processes with three windows each. Prints one line per figure:
//   <N> <figure> <median ms> <min ms> <max ms>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "../tests/win/harness.h"
#include "app/control_ids.h"
#include "procinfo/app_windows.h"
#include "productinfo/qorfunc.h"

using namespace harness;

namespace {

constexpr DWORD kPeerTimeoutMs = 30000;  // a peer slower than this is reported as timed out

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

void Report(int n, const char* figure, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%d %s %.1f %.1f %.1f\n", n, figure, ms[ms.size() / 2], ms.front(), ms.back());
  std::fflush(stdout);
}

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
  CollectAllWindowTitles(true);
  for (const std::string& path : paths) {
    TQorProductInfo info;
    ReadProductInfo(path, info);
    WORD index = 0;
    char buf[MAX_PATH + 1] = {};
    lstrcpynA(buf, path.c_str(), MAX_PATH);
    if (HICON icon = ExtractAssociatedIconA(GetModuleHandleA(nullptr), buf, &index)) DestroyIcon(icon);
  }
}

int ListViewCount(DWORD pid) {
  for (HWND top : TopWindows(pid)) {
    HWND found = nullptr;
    EnumChildWindows(top, [](HWND w, LPARAM lp) WINAPI -> BOOL {
      char cls[64] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (lstrcmpA(cls, "SysListView32") == 0) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
      }
      return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    if (found) return static_cast<int>(SendMessageA(found, LVM_GETITEMCOUNT, 0, 0));
  }
  return -1;
}

// One size: the helpers are running; measures everything once.
void Measure(int n) {
  const int runs = 5;
  DWORD all[16384], bytes = 0;
  EnumProcesses(all, sizeof all, &bytes);
  const int processes = static_cast<int>(bytes / 4);

  // Start to full list, beside Wine's task manager.
  const std::string exe = TestDir() + "bench_copy\\VorlaneBench.exe";
  CreateDirectoryA((TestDir() + "bench_copy").c_str(), nullptr);
  CopyFileA(VorlaneExe().c_str(), exe.c_str(), FALSE);
  Process app;
  HWND form = nullptr, list = nullptr;
  double t0 = Now();
  app.Start("\"" + exe + "\"");
  WaitFor([&] {
    form = FindTopWindow(app.Id(), "TForm1");
    list = form ? FindChild(form, kIdList) : nullptr;
    return list && SendMessageA(list, LB_GETCOUNT, 0, 0) >= processes;
  }, 300000);
  Report(n, "start_to_list", {Now() - t0});

  Process taskmgr;
  t0 = Now();
  taskmgr.Start("taskmgr.exe");
  WaitFor([&] { return ListViewCount(taskmgr.Id()) >= processes - 1; }, kPeerTimeoutMs);
  Report(n, "taskmgr_start_to_list", {Now() - t0});
  taskmgr.Kill();

  HWND reget = FindChild(form, kIdReget);
  std::vector<double> reload, floor, byName, byId, tab, select;
  for (int r = 0; r < runs; ++r) {
    t0 = Now();
    SendMessageA(reget, BM_CLICK, 0, 0);
    reload.push_back(Now() - t0);
    t0 = Now();
    FloorPass();
    floor.push_back(Now() - t0);
  }
  for (int r = 0; r < runs; ++r) {
    t0 = Now();
    SendMessageA(FindChild(form, kIdByFileName), BM_CLICK, 0, 0);
    byName.push_back(Now() - t0);
    t0 = Now();
    SendMessageA(FindChild(form, kIdByProcessId), BM_CLICK, 0, 0);
    byId.push_back(Now() - t0);
    t0 = Now();
    SendMessageA(FindChild(form, kIdTabMain), TCM_SETCURFOCUS, (r + 1) % 2, 0);
    tab.push_back(Now() - t0);
  }
  SendMessageA(FindChild(form, kIdTabMain), TCM_SETCURFOCUS, 0, 0);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  for (int r = 0; r < runs; ++r) {
    t0 = Now();
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    select.push_back(Now() - t0);
  }
  Report(n, "reload", reload);
  Report(n, "floor", floor);
  Report(n, "order_by_name", byName);
  Report(n, "order_by_id", byId);
  Report(n, "tab_change", tab);
  Report(n, "selection", select);
  std::printf("%d processes %d\n", n, processes);
  std::printf("%d peak_rss_kib %ld\n", n, ProcessStatusKiB("VorlaneBench", "VmHWM"));
  PostMessageA(form, WM_CLOSE, 0, 0);
  app.Wait(10000);
}

}  // namespace

// Sizes in increasing order; helpers are added from one size to the next.
int main(int argc, char** argv) {
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
      WaitFor([&] { return FindWindowA(nullptr, ready.c_str()) != nullptr; }, 60000);
    }
    Measure(n);
  }
  return 0;
}
