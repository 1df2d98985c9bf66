// A process whose whole story the details window is checked against, built
// as 32-bit story.exe and 64-bit story64.exe. Each mode then shows a hidden
// window "ready <pid>" and runs until killed.
//   story REPORT DLL ...   7 more threads, 100 more handles, 64 MB committed for
//                          itself alone, 10 MB written (to a file it deletes),
//                          DLL loaded; then REPORT (UTF-16) tells, one a line,
//                          its command line, folder, threads, handles, private
//                          bytes, working set, bytes written and the DLL's path
//   story forge            its command line's length set past its buffer, its
//                          folder's address where nothing can be mapped
//   story spawn REPORT     starts "story child", writes its ID to REPORT, ends
//   story peb REPORT       writes the address of its own PEB to REPORT
//   story loader HOW       once ready, its own loader list forged: "loop" (the
//                          last entry leads back to the second), "long"
//                          (100,000 entries more), "crlf" (its first entry's
//                          path holds CR LF and tabs: a row of its own)
//   story hide HOW         its command line's text moved to a page of its own,
//                          then that page made no-access, a guard page or decommitted
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

DWORD WINAPI Wait(void* event) { return WaitForSingleObject(event, INFINITE); }

DWORD OwnThreads() {
  HANDLE s = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 t{};
  t.dwSize = sizeof t;
  DWORD n = 0;
  for (BOOL more = Thread32First(s, &t); more; more = Thread32Next(s, &t))
    n += t.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(s);
  return n;
}

// Its own handles, each value asked about (the system's lists are what is checked).
DWORD OwnHandles() {
  DWORD n = 0, flags = 0;
  for (ULONG_PTR h = 4; h < 0x10000; h += 4) n += GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags) != 0;
  return n;
}

void WriteReport(const std::wstring& path, const std::wstring& text) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD done = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size() * 2), &done, nullptr);
  CloseHandle(f);
}

bool Story(int argc, wchar_t** argv) {
  if (argc < 4) return false;
  static HANDLE stay = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (int i = 0; i < 7; ++i) CloseHandle(CreateThread(nullptr, 0, Wait, stay, 0, nullptr));
  for (int i = 0; i < 100; ++i) CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!VirtualAlloc(nullptr, 64 << 20, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) return false;
  const std::wstring report = argv[2], written = report + L".written";
  HANDLE f = CreateFileW(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  std::vector<char> mb(1 << 20, 'x');
  DWORD done = 0;
  for (int i = 0; i < 10; ++i) WriteFile(f, mb.data(), static_cast<DWORD>(mb.size()), &done, nullptr);
  CloseHandle(f);
  HMODULE dll = LoadLibraryW(argv[3]);
  // A window first, as the ready one comes later: its memory is in what is measured.
  CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  wchar_t dllPath[MAX_PATH] = {}, folder[MAX_PATH] = {};
  if (!dll || !GetModuleFileNameW(dll, dllPath, MAX_PATH)) return false;
  GetCurrentDirectoryW(MAX_PATH, folder);
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  IO_COUNTERS io{};
  GetProcessIoCounters(GetCurrentProcess(), &io);
  std::wstring text = GetCommandLineW() + (L"\n" + std::wstring(folder));
  for (uint64_t v : {uint64_t{OwnThreads()}, uint64_t{OwnHandles()}, uint64_t{memory.PagefileUsage},
                     uint64_t{memory.WorkingSetSize}, uint64_t{io.WriteTransferCount}})
    text += L"\n" + std::to_wstring(v);
  WriteReport(report, text + L"\n" + dllPath + L"\n");
  return true;
}

unsigned char* OwnPeb() {
  using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  ULONG_PTR info[6] = {};
  query(GetCurrentProcess(), 0, info, sizeof info, nullptr);
  return reinterpret_cast<unsigned char*>(info[1]);
}

// Its own parameters block (the layout follows the pointer width): the
// command line's length far past its buffer, the folder's address past the
// top of what a process may map (in 64 bits, one no processor takes).
void Forge() {
  const size_t w = sizeof(void*);
  unsigned char* block = *reinterpret_cast<unsigned char**>(OwnPeb() + 4 * w);
  *reinterpret_cast<USHORT*>(block + (w == 8 ? 0x70 : 0x40)) = 0xFFFE;
  *reinterpret_cast<uintptr_t*>(block + (w == 8 ? 0x38 : 0x24) + w) =
      w == 8 ? static_cast<uintptr_t>(0x8000000000000000ull) : 0xFFFF0000u;
}

// The command line's text (UNICODE_STRING: two lengths, then its buffer at
// the pointer width) moved to a page of its own, which `how` then hides.
void Hide(const std::wstring& how) {
  const size_t w = sizeof(void*);
  unsigned char* block = *reinterpret_cast<unsigned char**>(OwnPeb() + 4 * w);
  unsigned char* line = block + (w == 8 ? 0x70 : 0x40);
  auto* page = static_cast<wchar_t*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  const wchar_t secret[] = L"hidden secret";
  memcpy(page, secret, sizeof secret);
  *reinterpret_cast<USHORT*>(line) = sizeof secret - 2;
  *reinterpret_cast<USHORT*>(line + 2) = sizeof secret;
  *reinterpret_cast<wchar_t**>(line + w) = page;
  DWORD old = 0;
  if (how == L"noaccess") VirtualProtect(page, 4096, PAGE_NOACCESS, &old);
  if (how == L"guard") VirtualProtect(page, 4096, PAGE_READWRITE | PAGE_GUARD, &old);
  if (how == L"freed") VirtualFree(page, 4096, MEM_DECOMMIT);  // still reserved: nothing else maps there
}

// Its loader list (PEB.Ldr, InLoadOrderModuleList), forged as `how` says.
// Only a message loop runs afterwards: nothing of its own walks the list.
void ForgeLoader(const std::wstring& how) {
  const size_t w = sizeof(void*);
  unsigned char* ldr = *reinterpret_cast<unsigned char**>(OwnPeb() + (w == 8 ? 0x18 : 0x0C));
  auto** head = reinterpret_cast<unsigned char**>(ldr + (w == 8 ? 0x10 : 0x0C));
  unsigned char* const headLink = reinterpret_cast<unsigned char*>(head);
  unsigned char* last = head[0];
  while (*reinterpret_cast<unsigned char**>(last) != headLink) last = *reinterpret_cast<unsigned char**>(last);
  if (how == L"loop") *reinterpret_cast<unsigned char**>(last) = *reinterpret_cast<unsigned char**>(head[0]);
  if (how == L"long") {
    const size_t entry = w == 8 ? 0x80 : 0x40, count = 100000;
    auto* more = static_cast<unsigned char*>(VirtualAlloc(nullptr, entry * count, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    for (size_t i = 0; i < count; ++i)
      *reinterpret_cast<unsigned char**>(more + i * entry) = i + 1 < count ? more + (i + 1) * entry : headLink;
    *reinterpret_cast<unsigned char**>(last) = more;
  }
  if (how == L"crlf") {
    static wchar_t path[] = L"C:\\a.dll\r\nfake.dll\t0x77000000\t1 KB\tC:\\fake\\fake.dll";
    unsigned char* full = head[0] + (w == 8 ? 0x48 : 0x24);  // FullDllName
    *reinterpret_cast<USHORT*>(full) = sizeof path - 2;
    *reinterpret_cast<USHORT*>(full + 2) = sizeof path;
    *reinterpret_cast<wchar_t**>(full + w) = path;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"story" && !Story(argc, argv)) return 1;
  if (mode == L"forge") Forge();
  if (mode == L"hide" && argc > 2) Hide(argv[2]);
  if (mode == L"peb" && argc > 2)
    WriteReport(argv[2], std::to_wstring(reinterpret_cast<uintptr_t>(OwnPeb())) + L"\n");
  if (mode == L"spawn" && argc > 2) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" child";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return 1;
    WriteReport(argv[2], std::to_wstring(pi.dwProcessId) + L"\n");
    return 0;
  }
  const std::string ready = "ready " + std::to_string(GetCurrentProcessId());
  // Ready once forged: the window is made first, while the list is whole.
  const bool forge = mode == L"loader" && argc > 2;
  HWND shown = CreateWindowA("STATIC", forge ? "forging" : ready.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                             nullptr, nullptr, nullptr);
  if (forge) {
    ForgeLoader(argv[2]);
    SetWindowTextA(shown, ready.c_str());
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
