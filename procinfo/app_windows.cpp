#include "procinfo/app_windows.h"

#include <cstring>

#include "procinfo/process_api.h"
#include "ui/handles.h"

namespace {

constexpr UINT kTitleTimeoutMs = 100;

// The tests after the process check, in order; returns the title of an
// application window, or empty.
std::string ApplicationTitle(HWND w, bool skipShellWindows) {
  if (GetWindow(w, GW_OWNER)) return {};
  if (!IsWindowVisible(w)) return {};
  char cls[256] = {};
  GetClassNameA(w, cls, 255);
  if (skipShellWindows && (std::strcmp(cls, "Shell_TrayWnd") == 0 || std::strcmp(cls, "Progman") == 0))
    return {};
  return WindowTitleOf(w);
}

struct AllWindows {
  bool skipShellWindows;
  std::unordered_map<DWORD, std::vector<std::string>>* out;
};

BOOL CALLBACK CollectAllProc(HWND w, LPARAM param) {
  auto* all = reinterpret_cast<AllWindows*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  std::string title = ApplicationTitle(w, all->skipShellWindows);
  if (!title.empty()) (*all->out)[pid].push_back(std::move(title));
  return TRUE;
}

BOOL CALLBACK AddThreadWindow(HWND w, LPARAM param) {
  reinterpret_cast<std::unordered_set<HWND>*>(param)->insert(w);
  return TRUE;
}

// The top-level windows of every thread of the process: one thread snapshot
// and one request per thread. False when the threads cannot be listed.
bool ThreadWindows(DWORD processId, std::unordered_set<HWND>& out) {
  const ProcessApi& api = Api();
  ui::UniqueHandle snap(api.CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snap) return false;
  THREADENTRY32 t{};
  t.dwSize = sizeof t;
  if (!api.Thread32First(snap.get(), &t)) return false;
  do {
    if (t.th32OwnerProcessID == processId)
      EnumThreadWindows(t.th32ThreadID, AddThreadWindow, reinterpret_cast<LPARAM>(&out));
  } while (api.Thread32Next(snap.get(), &t));
  return true;
}

}  // namespace

std::string WindowTitleOf(HWND w) {
  char buf[256] = {};
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutA(w, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(buf),
                          SMTO_ABORTIFHUNG | SMTO_BLOCK, kTitleTimeoutMs, &copied)) {
    buf[255] = '\0';
    return buf;
  }
  std::memset(buf, 0, sizeof buf);
  GetWindowTextA(w, buf, 255);
  buf[255] = '\0';
  return buf;
}

BOOL CALLBACK EnumWindowsProc(HWND w, LPARAM param) {
  auto* c = reinterpret_cast<WindowCollection*>(param);
  if (c->ProcessWindows) {
    if (c->ProcessWindows->count(w) == 0) return TRUE;
  } else {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != c->TargetProcessID) return TRUE;
  }
  std::string title = ApplicationTitle(w, c->SkipShellWindows != 0);
  if (!title.empty()) c->WindowTitles.push_back(std::move(title));
  return TRUE;
}

std::vector<std::string> CollectWindowTitles(DWORD processId, bool skipShellWindows) {
  WindowCollection c;
  c.TargetProcessID = processId;
  c.SkipShellWindows = skipShellWindows ? 1 : 0;
  // The enumeration keeps the system's order across the process's threads.
  std::unordered_set<HWND> own;
  if (ThreadWindows(processId, own)) {
    if (own.empty()) return {};
    c.ProcessWindows = &own;
  }
  EnumWindows(EnumWindowsProc, reinterpret_cast<LPARAM>(&c));
  return std::move(c.WindowTitles);
}

std::unordered_map<DWORD, std::vector<std::string>> CollectAllWindowTitles(bool skipShellWindows) {
  std::unordered_map<DWORD, std::vector<std::string>> out;
  AllWindows all{skipShellWindows, &out};
  EnumWindows(CollectAllProc, reinterpret_cast<LPARAM>(&all));
  return out;
}
