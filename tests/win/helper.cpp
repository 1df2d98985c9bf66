// A process with windows for the tests.
//   helper.exe windows N PREFIX   N visible titled windows "PREFIX 1".."PREFIX N"
//   helper.exe catalog            every kind of top-level window the collection tells apart
//   helper.exe hang TITLE [N]     N (1) windows TITLE whose thread then stops answering,
//                                 blocked until the event "VorlaneAnswer <pid>" is set
//   helper.exe closing TITLE LOG accept|refuse   windows TITLE and its owned "TITLE tool";
//                                 LOG gets "close" at each WM_CLOSE (ends on accept), "click" at each click
//   helper.exe tree DEPTH         starts "tree DEPTH-1" (from 1) and "tree 0" (from 2), waits
//                                 until they are ready before it shows its own ready window
//   helper.exe slow N MS PREFIX   N windows "PREFIX 1".."PREFIX N" that answer WM_GETTEXT
//                                 after MS ms with "PREFIX i asked"; WM_APP to one
//                                 of them returns how many WM_GETTEXT they answered
//   helper.exe titled TITLE CLASS  one visible window titled TITLE, of window class CLASS
//   helper.exe threads            "First 1", "First 2" made by one thread, "Second 1",
//                                 "Second 2" by another, none of them activated
//   helper.exe fault              faults at once (a write through a null pointer)
//   helper.exe listbox W H ITEM   "bare list" holding a bare owner-drawn list box of
//                                 W x H pixels with items ITEM pixels high; WM_COPYDATA
//                                 (texts ended by '\0' each) refills it, redraw off
//   helper.exe busy [MS]          keeps one processor busy (from MS ms on); "self N" gives
//                                 its own share of the machine over the last 2 s
//                                 (tenths of a per cent), from its own times
//   helper.exe commit MB          commits MB megabytes for itself alone; "self N" gives its
//                                 own private bytes as the system reports them to it
// Each mode shows a window titled "ready <pid>" last, hidden, so tests know
// all windows exist; it runs until killed or sent WM_CLOSE.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

DWORD g_answerDelayMs = 0;
std::string g_log;
bool g_refuseClose = false;

// Records what the close and pointing tests must see, or must not.
LRESULT CALLBACK LoggedProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const bool click = (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) ||
                     (msg >= WM_NCLBUTTONDOWN && msg <= WM_NCMBUTTONDBLCLK);
  if (FILE* f = click || msg == WM_CLOSE ? std::fopen(g_log.c_str(), "ab") : nullptr) {
    std::fputs(click ? "click\n" : "close\n", f);
    std::fclose(f);
  }
  if (msg == WM_CLOSE && g_refuseClose) return 0;
  return Proc(w, msg, wp, lp);
}

// Each child started and ready (its first idle moment follows its windows).
void StartTree(int depth) {
  for (int child : {depth - 1, depth >= 2 ? 0 : -1}) {
    if (child < 0) continue;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = std::string(__argv[0]) + " tree " + std::to_string(child);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) continue;
    WaitForInputIdle(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

LRESULT g_answered = 0;

// Answers late, and with a text other than its caption, so a test can tell
// an answer from the text the system keeps.
LRESULT CALLBACK SlowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) return g_answered;
  if (msg == WM_GETTEXT && wp > 0) {
    ++g_answered;
    Sleep(g_answerDelayMs);
    char kept[256] = {};
    DefWindowProcA(w, WM_GETTEXT, sizeof kept, reinterpret_cast<LPARAM>(kept));
    const std::string answer = std::string(kept) + " asked";
    lstrcpynA(reinterpret_cast<char*>(lp), answer.c_str(), static_cast<int>(wp));
    return lstrlenA(reinterpret_cast<char*>(lp));
  }
  return Proc(w, msg, wp, lp);
}

// What the process knows of itself: its processor time over the last 2 s
// as a share of the machine, or its private bytes.
uint64_t g_samples[3][2];  // {time, processor time} a second apart, oldest first
bool g_busy = false;
HWND g_self = nullptr;

uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

void CALLBACK ReportSelf(HWND, UINT, UINT_PTR, DWORD) {
  uint64_t figure = 0;
  if (g_busy) {
    FILETIME now, created, exited, kernel, user;
    GetSystemTimeAsFileTime(&now);
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    g_samples[0][0] = g_samples[1][0], g_samples[0][1] = g_samples[1][1];
    g_samples[1][0] = g_samples[2][0], g_samples[1][1] = g_samples[2][1];
    g_samples[2][0] = Ticks(now), g_samples[2][1] = Ticks(kernel) + Ticks(user);
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    const uint64_t span = (g_samples[2][0] - g_samples[0][0]) * si.dwNumberOfProcessors;
    if (g_samples[0][0] == 0 || span == 0) return;
    figure = (g_samples[2][1] - g_samples[0][1]) * 1000 / span;
  } else {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    figure = counters.PagefileUsage;
  }
  SetWindowTextA(g_self, ("self " + std::to_string(figure)).c_str());
}

// Committed and written, so that every system counts it (Wine counts pages in use).
bool Commit(SIZE_T bytes) {
  auto* p = static_cast<volatile char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!p) return false;
  for (SIZE_T at = 0; at < bytes; at += 4096) p[at] = 1;
  return true;
}

DWORD WINAPI Spin(void* delayMs) {
  Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(delayMs)));
  for (volatile unsigned n = 0;; n = n + 1) {
  }
}

void Register(const char* cls, WNDPROC proc = Proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&wc);
}

HWND Make(const char* cls, const std::string& title, bool visible, HWND owner = nullptr) {
  static int n = 0;
  ++n;
  return CreateWindowExA(0, cls, title.c_str(), WS_OVERLAPPED | WS_CAPTION | (visible ? WS_VISIBLE : 0),
                         20 + 10 * (n % 20), 20 + 10 * (n % 20), 200, 80, owner, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// The benchmark's reference: an owner-drawn list box with strings that draws
// each item as its text on the window colour, and nothing more.
LRESULT CALLBACK BareListProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const HWND list = GetWindow(w, GW_CHILD);
  if (msg == WM_COPYDATA && list) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    const char* text = static_cast<const char*>(data->lpData);
    const char* end = text + data->cbData;
    size_t count = 0;
    for (const char* c = text; c < end; ++c) count += *c == 0;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, count, count * 96);
    for (; text < end; text += lstrlenA(text) + 1)
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return TRUE;
  }
  if (msg == WM_DRAWITEM) {
    const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    if (d->itemID == static_cast<UINT>(-1)) return TRUE;
    const bool selected = d->itemState & ODS_SELECTED;
    FillRect(d->hDC, &d->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    char text[512] = {};
    if (SendMessageA(d->hwndItem, LB_GETTEXTLEN, d->itemID, 0) < static_cast<LRESULT>(sizeof text))
      SendMessageA(d->hwndItem, LB_GETTEXT, d->itemID, reinterpret_cast<LPARAM>(text));
    SetBkMode(d->hDC, TRANSPARENT);
    SetTextColor(d->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    TextOutA(d->hDC, d->rcItem.left + 2, d->rcItem.top + 2, text, lstrlenA(text));
    return TRUE;
  }
  return Proc(w, msg, wp, lp);
}

void MakeBareList(int width, int height, int itemHeight) {
  const HWND host = CreateWindowExA(0, "VorlaneBareList", "bare list", WS_POPUP | WS_VISIBLE, 0, 0,
                                    width + 8, height + 8, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  const HWND list = CreateWindowExA(
      WS_EX_CLIENTEDGE, "LISTBOX", "",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
      0, 0, width, height, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (list) SendMessageA(list, LB_SETITEMHEIGHT, 0, itemHeight);
}

struct Turns {
  HANDLE go, done;  // auto-reset: one window per turn
};

// A window shown without activation: its place in the z-order stays put.
void MakeQuiet(const std::string& title) {
  ShowWindow(Make("VorlaneHelper", title, false), SW_SHOWNOACTIVATE);
}

DWORD WINAPI SecondThread(LPVOID param) {
  auto* t = static_cast<Turns*>(param);
  for (int i = 1; i <= 2; ++i) {
    WaitForSingleObject(t->go, INFINITE);
    MakeQuiet("Second " + std::to_string(i));
    SetEvent(t->done);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

void TwoThreads() {
  static Turns t{CreateEventA(nullptr, FALSE, FALSE, nullptr),
                 CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  CloseHandle(CreateThread(nullptr, 0, SecondThread, &t, 0, nullptr));
  for (int i = 1; i <= 2; ++i) {
    MakeQuiet("First " + std::to_string(i));
    SetEvent(t.go);
    WaitForSingleObject(t.done, INFINITE);
  }
}

}  // namespace

// What a program meets under the 9x test layer: one bit for each of a wide
// import failing as 9x fails it, the same function through GetProcAddress
// failing so, a function 9x lacks being absent, and a wide function 9x
// implements working.
int WideCalls() {
  int passed = 0;
  wchar_t path[MAX_PATH];
  SetLastError(0);
  if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED)
    passed |= 1;
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  using NameFn = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
  auto bound = reinterpret_cast<NameFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetModuleFileNameW")));
  SetLastError(0);
  if (bound && bound(nullptr, path, MAX_PATH) == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED)
    passed |= 2;
  if (!GetProcAddress(kernel, "IsWow64Process")) passed |= 4;
  if (lstrlenW(L"four") == 4) passed |= 8;
  return passed;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Register("VorlaneHelper");
  Register("Shell_TrayWnd");
  Register("Progman");
  Register("VorlaneSlow", SlowProc);
  Register("VorlaneBareList", BareListProc);
  Register("VorlaneLogged", LoggedProc);
  std::string mode = __argc > 1 ? __argv[1] : "windows";
  if (mode == "fault") *static_cast<volatile int*>(nullptr) = 1;
  if (mode == "widecalls") return WideCalls();
  if (mode == "windows") {
    int n = __argc > 2 ? std::atoi(__argv[2]) : 3;
    std::string prefix = __argc > 3 ? __argv[3] : "Helper";
    for (int i = 1; i <= n; ++i) Make("VorlaneHelper", prefix + " " + std::to_string(i), true);
  } else if (mode == "catalog") {
    HWND a = Make("VorlaneHelper", "App A", true);
    Make("VorlaneHelper", "Owned Dialog", true, a);
    Make("VorlaneHelper", "Hidden Window", false);
    Make("VorlaneHelper", "", true);
    Make("VorlaneHelper", "App B", true);
    Make("VorlaneHelper", std::string(300, 'L'), true);
    Make("VorlaneHelper", "Twin", true);
    Make("Shell_TrayWnd", "Taskbar", true);
    Make("VorlaneHelper", "Twin", true);
    Make("Progman", "Desktop", true);
    Make("VorlaneHelper", "App C", true);
  } else if (mode == "slow") {
    int n = __argc > 2 ? std::atoi(__argv[2]) : 3;
    g_answerDelayMs = __argc > 3 ? static_cast<DWORD>(std::atoi(__argv[3])) : 60;
    std::string prefix = __argc > 4 ? __argv[4] : "Slow";
    for (int i = 1; i <= n; ++i) Make("VorlaneSlow", prefix + " " + std::to_string(i), true);
  } else if (mode == "threads") {
    TwoThreads();
  } else if (mode == "listbox") {
    MakeBareList(__argc > 2 ? std::atoi(__argv[2]) : 400, __argc > 3 ? std::atoi(__argv[3]) : 300,
                 __argc > 4 ? std::atoi(__argv[4]) : 20);
  } else if (mode == "titled" && __argc > 3) {
    Register(__argv[3]);
    Make(__argv[3], __argv[2], true);
  } else if (mode == "hang") {
    for (int i = __argc > 3 ? std::atoi(__argv[3]) : 1; i > 0; --i)
      Make("VorlaneHelper", __argc > 2 ? __argv[2] : "Hung", true);
  } else if (mode == "closing" && __argc > 4) {
    g_log = __argv[3];
    g_refuseClose = std::string(__argv[4]) == "refuse";
    const HWND main = Make("VorlaneLogged", __argv[2], true);
    CreateWindowExA(WS_EX_TOOLWINDOW, "VorlaneLogged", (std::string(__argv[2]) + " tool").c_str(),
                    WS_POPUP | WS_CAPTION | WS_VISIBLE, 1250, 100, 200, 120, main, nullptr,
                    GetModuleHandleA(nullptr), nullptr);
  } else if (mode == "tree" && __argc > 2) {
    StartTree(std::atoi(__argv[2]));
  } else if (mode == "busy" || mode == "commit") {
    g_busy = mode == "busy";
    if (g_busy)
      CloseHandle(CreateThread(nullptr, 0, Spin,
                               reinterpret_cast<void*>(static_cast<UINT_PTR>(__argc > 2 ? std::atoi(__argv[2]) : 0)),
                               0, nullptr));
    else if (!Commit(static_cast<SIZE_T>(__argc > 2 ? std::atoi(__argv[2]) : 1) << 20))
      return 1;
    g_self = Make("VorlaneHelper", "self", false);
    ReportSelf(nullptr, 0, 0, 0);
    SetTimer(nullptr, 0, 1000, ReportSelf);
  }
  Make("VorlaneHelper", "ready " + std::to_string(GetCurrentProcessId()), false);
  if (mode == "hang") {
    const std::string name = "VorlaneAnswer " + std::to_string(GetCurrentProcessId());
    WaitForSingleObject(CreateEventA(nullptr, TRUE, FALSE, name.c_str()), INFINITE);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
