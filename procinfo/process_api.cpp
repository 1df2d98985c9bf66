#include "procinfo/process_api.h"

#include <algorithm>

#include "base/shown_text.h"

namespace {

// "PSAPI.dll" is loaded on first use; a failed load is retried next time.
FARPROC BindPsapi(const char* name) {
  static HMODULE psapi = nullptr;
  if (!psapi) {
    HMODULE m = LoadLibraryA("PSAPI.dll");
    if (reinterpret_cast<UINT_PTR>(m) < 32) return nullptr;
    psapi = m;
  }
  return GetProcAddress(psapi, name);
}

FARPROC BindKernel(const char* name) {
  HMODULE k = GetModuleHandleA("kernel32.dll");
  return k ? GetProcAddress(k, name) : nullptr;
}

template <typename F>
F Bound(F& slot, FARPROC (*bind)(const char*), const char* name) {
  if (!slot) slot = reinterpret_cast<F>(reinterpret_cast<void*>(bind(name)));
  if (!slot) SetLastError(ERROR_PROC_NOT_FOUND);
  return slot;
}

BOOL WINAPI LazyEnumProcesses(DWORD* ids, DWORD cb, DWORD* needed) {
  static decltype(&LazyEnumProcesses) f = nullptr;
  return Bound(f, BindPsapi, "EnumProcesses") ? f(ids, cb, needed) : FALSE;
}

DWORD WINAPI LazyGetModuleFileNameExW(HANDLE p, HMODULE m, LPWSTR buf, DWORD n) {
  static decltype(&LazyGetModuleFileNameExW) f = nullptr;
  return Bound(f, BindPsapi, "GetModuleFileNameExW") ? f(p, m, buf, n) : 0;
}

// Vista and later only.
BOOL WINAPI LazyQueryFullProcessImageNameW(HANDLE p, DWORD flags, LPWSTR buf, PDWORD n) {
  static decltype(&LazyQueryFullProcessImageNameW) f = nullptr;
  return Bound(f, BindKernel, "QueryFullProcessImageNameW") ? f(p, flags, buf, n) : FALSE;
}

HANDLE WINAPI LazyCreateToolhelp32Snapshot(DWORD flags, DWORD pid) {
  static decltype(&LazyCreateToolhelp32Snapshot) f = nullptr;
  return Bound(f, BindKernel, "CreateToolhelp32Snapshot") ? f(flags, pid) : nullptr;
}

BOOL WINAPI LazyProcess32First(HANDLE s, PROCESSENTRY32* e) {
  static decltype(&LazyProcess32First) f = nullptr;
  return Bound(f, BindKernel, "Process32First") ? f(s, e) : FALSE;
}

BOOL WINAPI LazyProcess32Next(HANDLE s, PROCESSENTRY32* e) {
  static decltype(&LazyProcess32Next) f = nullptr;
  return Bound(f, BindKernel, "Process32Next") ? f(s, e) : FALSE;
}

constexpr LONG kNotImplemented = static_cast<LONG>(0xC0000002);

FARPROC BindNtdll(const char* name) {
  HMODULE n = GetModuleHandleA("ntdll.dll");
  return n ? GetProcAddress(n, name) : nullptr;
}

LONG WINAPI LazyNtGetNextThread(HANDLE process, HANDLE thread, ACCESS_MASK access, ULONG attributes,
                                ULONG flags, PHANDLE next) {
  static decltype(&LazyNtGetNextThread) f = nullptr;
  return Bound(f, BindNtdll, "NtGetNextThread") ? f(process, thread, access, attributes, flags, next)
                                                 : kNotImplemented;
}

DWORD WINAPI LazyGetThreadId(HANDLE thread) {
  static decltype(&LazyGetThreadId) f = nullptr;
  return Bound(f, BindKernel, "GetThreadId") ? f(thread) : 0;
}

LONG WINAPI LazyNtQuerySystemInformation(ULONG kind, PVOID buf, ULONG size, PULONG needed) {
  static decltype(&LazyNtQuerySystemInformation) f = nullptr;
  return Bound(f, BindNtdll, "NtQuerySystemInformation") ? f(kind, buf, size, needed)
                                                          : kNotImplemented;
}

LONG WINAPI LazyNtQueryInformationProcess(HANDLE p, ULONG kind, PVOID buf, ULONG size,
                                          PULONG needed) {
  static decltype(&LazyNtQueryInformationProcess) f = nullptr;
  return Bound(f, BindNtdll, "NtQueryInformationProcess") ? f(p, kind, buf, size, needed)
                                                           : kNotImplemented;
}

// Windows XP SP2 and later.
BOOL WINAPI LazyIsWow64Process(HANDLE p, PBOOL wow64) {
  static decltype(&LazyIsWow64Process) f = nullptr;
  return Bound(f, BindKernel, "IsWow64Process") ? f(p, wow64) : FALSE;
}

LONG WINAPI LazyNtWow64QueryInformationProcess64(HANDLE p, ULONG kind, PVOID buf, ULONG size,
                                                 PULONG needed) {
  static decltype(&LazyNtWow64QueryInformationProcess64) f = nullptr;
  return Bound(f, BindNtdll, "NtWow64QueryInformationProcess64") ? f(p, kind, buf, size, needed)
                                                                  : kNotImplemented;
}

LONG WINAPI LazyNtWow64ReadVirtualMemory64(HANDLE p, ULONGLONG at, PVOID buf, ULONGLONG size,
                                           PULONGLONG done) {
  static decltype(&LazyNtWow64ReadVirtualMemory64) f = nullptr;
  return Bound(f, BindNtdll, "NtWow64ReadVirtualMemory64") ? f(p, at, buf, size, done)
                                                            : kNotImplemented;
}

LONG WINAPI LazyNtWow64QueryVirtualMemory64(HANDLE p, ULONGLONG at, ULONG kind, PVOID buf,
                                            ULONGLONG size, PULONGLONG done) {
  static decltype(&LazyNtWow64QueryVirtualMemory64) f = nullptr;
  return Bound(f, BindNtdll, "NtWow64QueryVirtualMemory64") ? f(p, at, kind, buf, size, done)
                                                             : kNotImplemented;
}

DWORD WINAPI LazyGetMappedFileNameW(HANDLE p, LPVOID at, LPWSTR buf, DWORD n) {
  static decltype(&LazyGetMappedFileNameW) f = nullptr;
  return Bound(f, BindPsapi, "GetMappedFileNameW") ? f(p, at, buf, n) : 0;
}

DWORD WINAPI LazyQueryDosDeviceW(LPCWSTR drive, LPWSTR buf, DWORD n) {
  static decltype(&LazyQueryDosDeviceW) f = nullptr;
  return Bound(f, BindKernel, "QueryDosDeviceW") ? f(drive, buf, n) : 0;
}

const ProcessApi kSystem = {
    SystemPlatformId,      LazyEnumProcesses,    LazyGetModuleFileNameExW,
    LazyQueryFullProcessImageNameW, LazyCreateToolhelp32Snapshot, LazyProcess32First,
    LazyProcess32Next,     LazyNtGetNextThread,  LazyGetThreadId,
    ::OpenProcess,        ::OpenProcessToken,
    ::LookupPrivilegeValueA, ::AdjustTokenPrivileges, ::GetLastError,
    ::GetPriorityClass,    ::SetPriorityClass,   ::GetExitCodeProcess,
    ::TerminateProcess,    ::GetProcessTimes,     LazyNtQuerySystemInformation,
    ::ReadProcessMemory,   LazyNtQueryInformationProcess, LazyIsWow64Process,
    LazyNtWow64QueryInformationProcess64, LazyNtWow64ReadVirtualMemory64,
    ::EnumWindows,         ::VirtualQueryEx,     LazyNtWow64QueryVirtualMemory64,
    LazyGetMappedFileNameW, LazyQueryDosDeviceW,
};

}  // namespace

ProcessApi& Api() {
  static ProcessApi api = kSystem;
  return api;
}

const ProcessApi& SystemApi() { return kSystem; }

DWORD PlatformId() { return Api().PlatformId(); }

size_t ReadSystemList(unsigned long kind, std::vector<unsigned char>& buffer, size_t firstRoom,
                      size_t mostRoom) {
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  if (buffer.empty()) buffer.resize(firstRoom);
  for (;;) {
    ULONG needed = 0;
    const LONG status =
        Api().NtQuerySystemInformation(kind, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status >= 0) return needed && needed < buffer.size() ? needed : buffer.size();
    // The list grows between two calls: ask again with room to spare.
    if (status != kInfoLengthMismatch || buffer.size() >= mostRoom) return 0;
    buffer.resize(std::min(mostRoom, std::max<size_t>(buffer.size() * 2, needed + needed / 4)));
  }
}

const char* ToolhelpFileName(const char* exeFile) {
  const char* name = exeFile;
  for (const char* p = exeFile; *p; p = CharNextA(p))
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  return name;
}
