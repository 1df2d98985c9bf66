// Start-up: one copy per executable file name, marked by a global atom.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct EntryApi {
  ATOM(WINAPI* GlobalFindAtomA)(LPCSTR);
  ATOM(WINAPI* GlobalAddAtomA)(LPCSTR);
  ATOM(WINAPI* GlobalDeleteAtom)(ATOM);
  // The application window of the copy that registered the marker `name`; null when none.
  HWND (*FindRunningCopy)(const std::string& name);
  // The message box of the start error: code page 932 texts, shown as the system takes them.
  int(WINAPI* ShowStartError)(HWND, LPCSTR, LPCSTR, UINT);
};

const EntryApi& SystemEntryApi();

// Our own application window (its class and title) whose process's image
// file is named `markerName`: a window of another program, titled alike,
// is never taken for the running copy.
HWND FindRunningCopy(const std::string& markerName);

// The marker name: the file-name part of the executable path as reported.
std::string MarkerName(const std::string& exePath);

// What the window side tells the start-up side.
struct MainWindowHooks {
  // The main window exists: other starts may hand over to it.
  std::function<void()> shown;
  // Closing begins: from now until the marker is gone, starts wait and then
  // run a copy of their own instead of handing over to this one.
  std::function<void()> closing;
};

// Creates the windows, calls the hooks and returns when the main window has
// closed: true, or false when the windows could not be made.
using MainWindowRunner = std::function<bool(const MainWindowHooks& hooks)>;

// Runs the program. Returns the process exit code: 0, or 1 when the marker
// could not be registered or the windows could not be made.
int RunEntrySequence(const EntryApi& api, const std::string& exePath,
                     const MainWindowRunner& runMainWindow);
