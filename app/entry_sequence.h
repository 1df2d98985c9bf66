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

// Runs the program: `runMainWindow` creates the windows and returns when
// the main window has closed. Returns the process exit code (always 0).
int RunEntrySequence(const EntryApi& api, const std::string& exePath,
                     const std::function<void()>& runMainWindow);
