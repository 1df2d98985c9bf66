// Start-up: one copy per executable file name, marked by a global atom.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct EntryApi {
  ATOM(WINAPI* GlobalFindAtomA)(LPCSTR);
  ATOM(WINAPI* GlobalAddAtomA)(LPCSTR);
  ATOM(WINAPI* GlobalDeleteAtom)(ATOM);
  HWND(WINAPI* FindWindowA)(LPCSTR, LPCSTR);
  int(WINAPI* MessageBoxA)(HWND, LPCSTR, LPCSTR, UINT);
};

const EntryApi& SystemEntryApi();

// The marker name: the file-name part of the executable path as reported.
std::string MarkerName(const std::string& exePath);

// Creates the windows, calls `shown` once the main window exists and
// returns when it has closed.
using MainWindowRunner = std::function<void(const std::function<void()>& shown)>;

// Runs the program. Returns the process exit code: 0, or 1 when the marker
// could not be registered.
int RunEntrySequence(const EntryApi& api, const std::string& exePath,
                     const MainWindowRunner& runMainWindow);
