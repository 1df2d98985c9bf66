// The process functions the program calls, as one table. PSAPI, ToolHelp32,
// QueryFullProcessImageNameW, the system lists and the thread functions are bound at run time,
// so the program starts on either kernel family; tests replace entries to reach failures that the
// system they run on cannot produce.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

struct ProcessApi {
  // The family the snapshot reads: the system's own (SystemPlatformId).
  unsigned long (*PlatformId)();
  BOOL(WINAPI* EnumProcesses)(DWORD*, DWORD, DWORD*);
  // Image paths in UTF-16: a path outside the ANSI code page stays whole.
  DWORD(WINAPI* GetModuleFileNameExW)(HANDLE, HMODULE, LPWSTR, DWORD);
  BOOL(WINAPI* QueryFullProcessImageNameW)(HANDLE, DWORD, LPWSTR, PDWORD);
  HANDLE(WINAPI* CreateToolhelp32Snapshot)(DWORD, DWORD);
  BOOL(WINAPI* Process32First)(HANDLE, PROCESSENTRY32*);
  BOOL(WINAPI* Process32Next)(HANDLE, PROCESSENTRY32*);
  // The threads of one process, one after the other (ntdll, from Vista on).
  LONG(WINAPI* NtGetNextThread)(HANDLE, HANDLE, ACCESS_MASK, ULONG, ULONG, PHANDLE);
  DWORD(WINAPI* GetThreadId)(HANDLE);
  HANDLE(WINAPI* OpenProcess)(DWORD, BOOL, DWORD);
  BOOL(WINAPI* OpenProcessToken)(HANDLE, DWORD, PHANDLE);
  BOOL(WINAPI* LookupPrivilegeValueA)(LPCSTR, LPCSTR, PLUID);
  BOOL(WINAPI* AdjustTokenPrivileges)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES,
                                      PDWORD);
  DWORD(WINAPI* GetLastError)();
  DWORD(WINAPI* GetPriorityClass)(HANDLE);
  BOOL(WINAPI* SetPriorityClass)(HANDLE, DWORD);
  BOOL(WINAPI* GetExitCodeProcess)(HANDLE, LPDWORD);
  BOOL(WINAPI* TerminateProcess)(HANDLE, UINT);
  BOOL(WINAPI* GetProcessTimes)(HANDLE, LPFILETIME, LPFILETIME, LPFILETIME, LPFILETIME);
  // The whole-system lists (ntdll, NT family only): every process's times
  // and private bytes in one call.
  LONG(WINAPI* NtQuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
  // Another process's memory and PEB: its own width's through the first
  // three (ntdll's from NT 4.0 on), a 64-bit process's from a 32-bit one on
  // 64-bit Windows through the WOW64 pair (absent elsewhere).
  BOOL(WINAPI* ReadProcessMemory)(HANDLE, LPCVOID, LPVOID, SIZE_T, SIZE_T*);
  LONG(WINAPI* NtQueryInformationProcess)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  BOOL(WINAPI* IsWow64Process)(HANDLE, PBOOL);
  LONG(WINAPI* NtWow64QueryInformationProcess64)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  LONG(WINAPI* NtWow64ReadVirtualMemory64)(HANDLE, ULONGLONG, PVOID, ULONGLONG, PULONGLONG);
  // The top-level windows, for the application entries' titles.
  BOOL(WINAPI* EnumWindows)(WNDENUMPROC, LPARAM);
  // What another process's memory holds at an address (committed, its
  // protection), in its own width and through WOW64 (absent elsewhere, and
  // under Wine 8): checked before every read.
  SIZE_T(WINAPI* VirtualQueryEx)(HANDLE, LPCVOID, PMEMORY_BASIC_INFORMATION, SIZE_T);
  LONG(WINAPI* NtWow64QueryVirtualMemory64)(HANDLE, ULONGLONG, ULONG, PVOID, ULONGLONG, PULONGLONG);
  // The file the system mapped at an address of another process (PSAPI,
  // XP on), and the device name of a drive: a module's file as the system
  // knows it, whatever its loader list says.
  DWORD(WINAPI* GetMappedFileNameW)(HANDLE, LPVOID, LPWSTR, DWORD);
  DWORD(WINAPI* QueryDosDeviceW)(LPCWSTR, LPWSTR, DWORD);
};

// The table in use; starts as the system's (bound lazily).
ProcessApi& Api();
// The system's own table, for tests that wrap single entries.
const ProcessApi& SystemApi();

// Platform identifier of the table in use (2: NT family, 1: 9x family).
DWORD PlatformId();

// One of the system's lists (NtQuerySystemInformation of `kind`) into
// `buffer`, grown from `firstRoom` up to `mostRoom` while the list outgrows
// it; the bytes it filled, 0 when it could not be read.
size_t ReadSystemList(unsigned long kind, std::vector<unsigned char>& buffer, size_t firstRoom,
                      size_t mostRoom);

// The file name in ToolHelp's szExeFile: the 9x family names the whole path
// there, the NT family the file alone (system code page bytes, whose trail
// bytes may be backslashes).
const char* ToolhelpFileName(const char* exeFile);
