#include "procinfo/app_windows.h"

#include <cstring>

namespace {

// The tests after the process check, in order; returns the title of an
// application window, or empty.
std::string ApplicationTitle(HWND w, bool skipShellWindows, TitleBudget& budget) {
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
  std::unordered_map<DWORD, std::vector<std::string>>* out;
};

BOOL CALLBACK CollectAllProc(HWND w, LPARAM param) {
  auto* all = reinterpret_cast<AllWindows*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  std::string title = ApplicationTitle(w, all->skipShellWindows, *all->budget);
  if (!title.empty()) (*all->out)[pid].push_back(std::move(title));
  return TRUE;
}

}  // namespace

BOOL CALLBACK EnumWindowsProc(HWND w, LPARAM param) {
  auto* c = reinterpret_cast<WindowCollection*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != c->TargetProcessID) return TRUE;
  std::string title = ApplicationTitle(w, c->SkipShellWindows != 0, *c->Budget);
  if (!title.empty()) c->WindowTitles.push_back(std::move(title));
  return TRUE;
}

std::vector<std::string> CollectWindowTitles(DWORD processId, bool skipShellWindows,
                                             TitleBudget& budget) {
  WindowCollection c;
  c.Budget = &budget;
  c.TargetProcessID = processId;
  c.SkipShellWindows = skipShellWindows ? 1 : 0;
  EnumWindows(EnumWindowsProc, reinterpret_cast<LPARAM>(&c));
  return std::move(c.WindowTitles);
}

std::unordered_map<DWORD, std::vector<std::string>> CollectAllWindowTitles(bool skipShellWindows,
                                                                           TitleBudget& budget) {
  std::unordered_map<DWORD, std::vector<std::string>> out;
  AllWindows all{skipShellWindows, &budget, &out};
  EnumWindows(CollectAllProc, reinterpret_cast<LPARAM>(&all));
  return out;
}
