// Application windows: visible, unowned, titled top-level windows of a
// process, in the order the system enumerates them.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct WindowCollection {
  DWORD TargetProcessID = 0;
  std::vector<std::string> WindowTitles;
  int SkipShellWindows = 0;  // leave out the taskbar and desktop windows
  // The process's top-level windows when known: a window is then looked up
  // here instead of asking its process, a request per window of the system.
  const std::unordered_set<HWND>* ProcessWindows = nullptr;
};

// EnumWindows callback; `param` is the WindowCollection to fill.
BOOL CALLBACK EnumWindowsProc(HWND window, LPARAM param);

// The titles of one process's application windows.
std::vector<std::string> CollectWindowTitles(DWORD processId, bool skipShellWindows);

// One enumeration for every process at once: titles grouped by process ID,
// each group in enumeration order (what CollectWindowTitles gives per process).
std::unordered_map<DWORD, std::vector<std::string>> CollectAllWindowTitles(bool skipShellWindows);

// A window's title without waiting on a thread that does not answer:
// WM_GETTEXT with a short timeout, else the caption the system keeps.
std::string WindowTitleOf(HWND window);
