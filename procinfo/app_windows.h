// Application windows: visible, unowned, titled top-level windows of a
// process, in the order the system enumerates them.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "procinfo/title_budget.h"

struct WindowCollection {
  DWORD TargetProcessID = 0;
  std::vector<std::wstring> WindowTitles;
  int SkipShellWindows = 0;  // leave out the taskbar and desktop windows
  TitleBudget* Budget = nullptr;  // borrowed, required: the wait all its titles share
  // The process's top-level windows when known: a window is then looked up
  // here instead of asking its process, a request per window of the system.
  const std::unordered_set<HWND>* ProcessWindows = nullptr;
};

// EnumWindows callback; `param` is the WindowCollection to fill.
BOOL CALLBACK EnumWindowsProc(HWND window, LPARAM param);

// The titles of one process's application windows; every title request
// draws on `budget` (one per selection).
std::vector<std::wstring> CollectWindowTitles(DWORD processId, bool skipShellWindows,
                                              TitleBudget& budget);

// One enumeration for every process at once: titles grouped by process ID,
// each group in enumeration order (what CollectWindowTitles gives per process);
// every title request draws on `budget` (one per reload).
// `windows` and `hung`, when given, receive each title's window and whether
// it answers (NotResponding) at the same place.
using WindowTitles = std::unordered_map<DWORD, std::vector<std::wstring>>;
WindowTitles CollectAllWindowTitles(bool skipShellWindows, TitleBudget& budget,
                                   std::unordered_map<DWORD, std::vector<HWND>>* windows = nullptr,
                                   std::unordered_map<DWORD, std::vector<bool>>* hung = nullptr);

// Whether `window` has stopped answering: the system's own judgement
// (IsHungAppWindow, bound at run time) where it has one; else no answer to
// WM_NULL within 100 ms, a wait drawn on `budget` (none once it is spent:
// then the window counts as answering, as nothing says otherwise).
bool NotResponding(HWND window, TitleBudget& budget);

// Whether `window` is still a visible, unowned top-level window of process `processId`.
bool IsApplicationWindowOf(HWND window, DWORD processId);

// The same with a budget of their own.
inline std::vector<std::wstring> CollectWindowTitles(DWORD processId, bool skipShellWindows) {
  TitleBudget budget;
  return CollectWindowTitles(processId, skipShellWindows, budget);
}
inline WindowTitles CollectAllWindowTitles(bool skipShellWindows) {
  TitleBudget budget;
  return CollectAllWindowTitles(skipShellWindows, budget);
}
