// A layer that makes the process it is loaded into meet the system calls as
// the 9x family does (Windows 95, 98, Me, by the version the process is
// told): every wide function outside the few that family implements fails
// (0, last error 120), functions it lacks are absent from GetProcAddress,
// and libraries it lacks do not load. Each call into a failing function is
// written, once per function, to ninex-<process id>.log beside this DLL.
// Loaded into a process created suspended, before its own code runs.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "ninex_tables.h"

namespace {

// The wide functions the 9x family implements (KB 210341); 98 and Me add two.
constexpr const char* kWorking[] = {
    "EnumResourceLanguagesW", "EnumResourceNamesW", "EnumResourceTypesW", "ExtTextOutW",
    "FindResourceW", "FindResourceExW", "GetCharWidthW", "GetCommandLineW",
    "GetTextExtentPoint32W", "GetTextExtentPointW", "lstrlenW", "MessageBoxExW", "MessageBoxW",
    "TextOutW"};
constexpr const char* kWorkingFrom98[] = {"lstrcpyW", "lstrcatW"};
// Libraries the family has none of.
constexpr const char* kMissingLibraries[] = {"psapi.dll", "psapi", "dbghelp.dll", "uxtheme.dll",
                                             "dwmapi.dll", "shcore.dll"};

char g_log[MAX_PATH + 32];
unsigned g_version = 400;          // 400 Windows 95, 410 Windows 98, 490 Windows Me
bool g_recorded[kWideCount + 1];   // the last one stands for a refused flag
unsigned char* g_thunks = nullptr;  // one 10-byte thunk per wide function

void Record(const char* what, bool* once) {
  if (*once) return;
  *once = true;
  HANDLE f = CreateFileA(g_log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, what, static_cast<DWORD>(std::strlen(what)), &written, nullptr);
  WriteFile(f, "\r\n", 2, &written, nullptr);
  CloseHandle(f);
}

bool Same(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

bool Works(const char* name) {
  for (const char* w : kWorking)
    if (std::strcmp(w, name) == 0) return true;
  if (g_version >= 410)
    for (const char* w : kWorkingFrom98)
      if (std::strcmp(w, name) == 0) return true;
  return false;
}

int WideIndex(const char* name) {
  for (int i = 0; i < kWideCount; ++i)
    if (std::strcmp(kWide[i].name, name) == 0) return i;
  return -1;
}

bool Absent(const char* name) {
  for (const NineXFloor& f : kFloors)
    if (std::strcmp(f.name, name) == 0) return g_version < f.since;
  return false;
}

}  // namespace

// Called by every thunk with its function's index: records the call, sets
// the 9x family's error and gives the bytes of arguments to pop.
extern "C" unsigned __cdecl NinexFail(int index) {
  Record(kWide[index].name, &g_recorded[index]);
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return kWide[index].bytes;
}

// The thunks' common tail: a stdcall return of 0 with the arguments popped.
__asm__(
    ".text\n"
    ".globl _NinexCommon\n"
    "_NinexCommon:\n"
    "  pushl %eax\n"
    "  call _NinexFail\n"
    "  addl $4, %esp\n"
    "  popl %ecx\n"
    "  addl %eax, %esp\n"
    "  pushl %ecx\n"
    "  xorl %eax, %eax\n"
    "  ret\n");
extern "C" void NinexCommon();

namespace {

FARPROC Thunk(int index) { return reinterpret_cast<FARPROC>(g_thunks + index * 10); }

bool MakeThunks() {
  g_thunks = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, kWideCount * 10, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
  if (!g_thunks) return false;
  for (int i = 0; i < kWideCount; ++i) {
    unsigned char* t = g_thunks + i * 10;
    t[0] = 0xB8;  // mov eax, i
    std::memcpy(t + 1, &i, 4);
    t[5] = 0xE9;  // jmp NinexCommon
    const auto rel = reinterpret_cast<intptr_t>(&NinexCommon) - reinterpret_cast<intptr_t>(t + 10);
    std::memcpy(t + 6, &rel, 4);
  }
  return true;
}

// The 9x family's ToolHelp names each process by its full path (Wine's by
// the bare file name): the path in the system's code page.
using ProcessWalk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
ProcessWalk g_first = nullptr, g_next = nullptr;

BOOL WithFullPath(BOOL found, PROCESSENTRY32* e) {
  using ImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
  static const auto imageName = reinterpret_cast<ImageNameFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
  if (!found || !imageName) return found;
  if (HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, e->th32ProcessID)) {
    char path[MAX_PATH];
    DWORD n = MAX_PATH;
    if (imageName(p, 0, path, &n) && n < sizeof e->szExeFile) std::memcpy(e->szExeFile, path, n + 1);
    CloseHandle(p);
  }
  return found;
}

BOOL WINAPI LayerProcess32First(HANDLE s, PROCESSENTRY32* e) { return WithFullPath(g_first(s, e), e); }
BOOL WINAPI LayerProcess32Next(HANDLE s, PROCESSENTRY32* e) { return WithFullPath(g_next(s, e), e); }

FARPROC WINAPI LayerGetProcAddress(HMODULE m, LPCSTR name) {
  if (HIWORD(reinterpret_cast<ULONG_PTR>(name))) {
    if (std::strcmp(name, "Process32First") == 0 &&
        (g_first = reinterpret_cast<ProcessWalk>(reinterpret_cast<void*>(GetProcAddress(m, name)))))
      return reinterpret_cast<FARPROC>(LayerProcess32First);
    if (std::strcmp(name, "Process32Next") == 0 &&
        (g_next = reinterpret_cast<ProcessWalk>(reinterpret_cast<void*>(GetProcAddress(m, name)))))
      return reinterpret_cast<FARPROC>(LayerProcess32Next);
    if (Absent(name)) {
      SetLastError(ERROR_PROC_NOT_FOUND);
      return nullptr;
    }
    const int i = WideIndex(name);
    if (i >= 0 && !Works(name) && GetProcAddress(m, name)) return Thunk(i);
  }
  return GetProcAddress(m, name);
}

bool MissingLibrary(const char* path) {
  const char* file = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') file = p + 1;
  for (const char* m : kMissingLibraries)
    if (Same(file, m)) return true;
  return false;
}

HMODULE WINAPI LayerLoadLibraryA(LPCSTR path) {
  if (path && MissingLibrary(path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadLibraryA(path);
}

HMODULE WINAPI LayerLoadLibraryExA(LPCSTR path, HANDLE file, DWORD flags) {
  if (path && MissingLibrary(path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadLibraryExA(path, file, flags);
}

// The 9x family refuses conversion flags newer than itself.
bool g_flagRecorded = false;
int WINAPI LayerWideCharToMultiByte(UINT cp, DWORD flags, LPCWSTR in, int n, LPSTR out, int size,
                                    LPCSTR defaultChar, LPBOOL used) {
  if (flags & WC_NO_BEST_FIT_CHARS) {
    Record("WideCharToMultiByte(WC_NO_BEST_FIT_CHARS)", &g_flagRecorded);
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  return WideCharToMultiByte(cp, flags, in, n, out, size, defaultChar, used);
}

FARPROC Replacement(const char* name) {
  if (std::strcmp(name, "GetProcAddress") == 0) return reinterpret_cast<FARPROC>(LayerGetProcAddress);
  if (std::strcmp(name, "LoadLibraryA") == 0) return reinterpret_cast<FARPROC>(LayerLoadLibraryA);
  if (std::strcmp(name, "LoadLibraryExA") == 0) return reinterpret_cast<FARPROC>(LayerLoadLibraryExA);
  if (std::strcmp(name, "WideCharToMultiByte") == 0)
    return reinterpret_cast<FARPROC>(LayerWideCharToMultiByte);
  const int i = WideIndex(name);
  return i >= 0 && !Works(name) ? Thunk(i) : nullptr;
}

void Patch(FARPROC* slot, FARPROC to) {
  DWORD old = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return;
  *slot = to;
  VirtualProtect(slot, sizeof *slot, old, &old);
}

// Points the program's imports at the layer's functions.
void PatchImports(HMODULE module) {
  auto* base = reinterpret_cast<unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       d->Name; ++d) {
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
        base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
    auto* slots = reinterpret_cast<FARPROC*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (FARPROC to = Replacement(reinterpret_cast<const char*>(byName->Name))) Patch(slots, to);
    }
  }
}

unsigned ToldVersion() {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  if (!GetVersionExA(&v) || v.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) return 400;
  return v.dwMajorVersion * 100 + v.dwMinorVersion;
}

void LogPath(HMODULE self) {
  char dll[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(self, dll, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  char* slash = std::strrchr(dll, '\\');
  if (slash) slash[1] = '\0';
  std::snprintf(g_log, sizeof g_log, "%sninex-%lu.log", dll, GetCurrentProcessId());
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  g_version = ToldVersion();
  LogPath(self);
  if (!MakeThunks()) return FALSE;
  PatchImports(GetModuleHandleA(nullptr));
  return TRUE;
}
