// A process whose whole story the details window is checked against, built
// as 32-bit story.exe and 64-bit story64.exe.
//   story REPORT DLL ...   7 more threads, 100 more handles, 64 MB committed for
//                          itself alone, 10 MB written to a file beside REPORT
//                          (deleted again), DLL loaded; then REPORT (UTF-16,
//                          one a line) tells what it knows of itself: command
//                          line, folder, threads, handles, private bytes,
//                          working set, bytes written, the DLL's path
//   story forge            overwrites its own parameters block: the command
//                          line's length past its buffer, the folder's address
//                          where nothing can be mapped
//   story spawn REPORT     starts "story child", writes its ID to REPORT, ends
//   story peb REPORT       writes the address of its own PEB to REPORT
// Each mode then shows a hidden window "ready <pid>" and runs until killed.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
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

// The system's handle list (SystemHandleInformation), counted for this process.
DWORD OwnHandles() {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<unsigned char> buf(1 << 20);
  ULONG needed = 0;
  while (query(16, buf.data(), static_cast<ULONG>(buf.size()), &needed) == static_cast<LONG>(0xC0000004))
    buf.resize(buf.size() * 2);
  // ULONG count, then records: {ULONG pid; UCHAR type, flags; USHORT handle; PVOID object; ACCESS_MASK}.
  const size_t record = 8 + 2 * sizeof(void*);
  const ULONG_PTR count = *reinterpret_cast<ULONG_PTR*>(buf.data());
  DWORD n = 0;
  for (ULONG_PTR i = 0; i < count && sizeof(void*) + (i + 1) * record <= buf.size(); ++i)
    n += *reinterpret_cast<ULONG*>(buf.data() + sizeof(void*) + i * record) == GetCurrentProcessId();
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
  for (int i = 0; i < 10; ++i) {
    DWORD done = 0;
    WriteFile(f, mb.data(), static_cast<DWORD>(mb.size()), &done, nullptr);
  }
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

// The process's own parameters block, found through its PEB.
void Forge() {
  unsigned char* peb = OwnPeb();
  auto* block = *reinterpret_cast<unsigned char**>(peb + 4 * sizeof(void*));
  const bool wide = sizeof(void*) == 8;
  auto* commandLine = reinterpret_cast<USHORT*>(block + (wide ? 0x70 : 0x40));
  auto* folder = reinterpret_cast<USHORT*>(block + (wide ? 0x38 : 0x24));
  commandLine[0] = 0xFFFE;  // far past its buffer
  // Past the top of what a process may map (a 64-bit address the processor
  // would not even take): nothing is there to read.
  const uintptr_t unmapped = sizeof(void*) == 8 ? static_cast<uintptr_t>(0x8000000000000000ull) : 0xFFFF0000u;
  *reinterpret_cast<uintptr_t*>(reinterpret_cast<unsigned char*>(folder) + sizeof(void*)) = unmapped;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"story" && !Story(argc, argv)) return 1;
  if (mode == L"forge") Forge();
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
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "VorlaneStory";
  RegisterClassA(&wc);
  const std::string ready = "ready " + std::to_string(GetCurrentProcessId());
  CreateWindowA("VorlaneStory", ready.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
