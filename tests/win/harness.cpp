// What the Windows tests share: waits, processes in the test's job, bounded
// messages to other processes' windows and safe reads of them, real input.
#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

namespace harness {

namespace {
// Every test program starts from what an earlier one, perhaps killed, left.
class LeftoversEnded : public testing::Environment {
  void SetUp() override { RestoreTestEnvironment(); }
};
[[maybe_unused]] testing::Environment* const kLeftoversEnded =
    testing::AddGlobalTestEnvironment(new LeftoversEnded);

// Wine reads an ANSI list's entry for another process through a 512-byte
// buffer on the list's stack; the program keeps every entry below it.
constexpr int kMaxItemChars = 511;
}

std::string TestDir() {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string p = buf;
  return p.substr(0, p.find_last_of('\\') + 1);
}

std::string VorlaneExe() {
  std::string d = TestDir();
  d.pop_back();
  return d.substr(0, d.find_last_of('\\') + 1) + "Vorlane.exe";
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
  constexpr DWORD kPollMs = 20;  // conditions in other processes post no message here
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(kPollMs, timeoutMs - elapsed), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

namespace {
LRESULT SendWithBound(bool wide, HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR answer = 0;
  const UINT flags = SMTO_ABORTIFHUNG | SMTO_NORMAL;
  const LRESULT ok = wide ? SendMessageTimeoutW(w, msg, wp, lp, flags, kAnswerMs, &answer)
                          : SendMessageTimeoutA(w, msg, wp, lp, flags, kAnswerMs, &answer);
  if (ok) return static_cast<LRESULT>(answer);
  if (IsWindow(w))
    ADD_FAILURE() << "window " << w << " did not answer message 0x" << std::hex << msg << std::dec
                  << " within " << kAnswerMs << " ms (error " << GetLastError() << ")";
  return 0;
}

// Every process a test program starts belongs to this job: when the test
// program ends, however it ends, the system ends them with it.
HANDLE TestJob() {
  static const HANDLE job = [] {
    HANDLE j = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!j || !SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limits, sizeof limits))
      ADD_FAILURE() << "no job object to end the test's processes with it (" << GetLastError() << ")";
    return j;
  }();
  return job;
}
}  // namespace

bool JoinTestJob(HANDLE process) {
  const HANDLE job = TestJob();
  return job && AssignProcessToJobObject(job, process);
}

LRESULT Send(HWND w, UINT msg, WPARAM wp, LPARAM lp) { return SendWithBound(false, w, msg, wp, lp); }
LRESULT SendW(HWND w, UINT msg, WPARAM wp, LPARAM lp) { return SendWithBound(true, w, msg, wp, lp); }

bool Process::Start(const std::string& commandLine, DWORD flags, int show,
                    const std::string& directory) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  // Suspended until it is in the job, so that nothing it starts escapes.
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, flags | CREATE_SUSPENDED, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &si, &pi))
    return false;
  Adopt(pi, flags);
  return true;
}

bool Process::Start(const std::wstring& commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring cmd = commandLine;
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                      &pi))
    return false;
  Adopt(pi, 0);
  return true;
}

void Process::Adopt(const PROCESS_INFORMATION& pi, DWORD flags) {
  if (!JoinTestJob(pi.hProcess))
    ADD_FAILURE() << "process " << pi.dwProcessId << " is not in the test's job (" << GetLastError() << ")";
  if (flags & CREATE_SUSPENDED) {
    thread_.reset(pi.hThread);
  } else {
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
  }
  process_.reset(pi.hProcess);
  id_ = pi.dwProcessId;
}

bool Process::Resume() {
  const bool resumed = thread_ && ResumeThread(thread_.get()) != static_cast<DWORD>(-1);
  thread_.reset();
  return resumed;
}

bool LoadInto(const Process& p, const std::string& dll) {
  const SIZE_T size = dll.size() + 1;
  void* remote = VirtualAllocEx(p.Handle(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote) return false;
  const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
  base::UniqueHandle thread(WriteProcessMemory(p.Handle(), remote, dll.c_str(), size, nullptr)
                                ? CreateRemoteThread(p.Handle(), nullptr, 0, load, remote, 0, nullptr)
                                : nullptr);
  DWORD module = 0;
  const bool loaded = thread && WaitForSingleObject(thread.get(), 20000) == WAIT_OBJECT_0 &&
                      GetExitCodeThread(thread.get(), &module) && module != 0;
  VirtualFreeEx(p.Handle(), remote, 0, MEM_RELEASE);
  return loaded;
}

Process::~Process() {
  if (!Kill()) ADD_FAILURE() << "process " << id_ << " did not end when killed";
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

long Process::Wait(DWORD timeoutMs) const {
  if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return static_cast<long>(code);
}

bool Process::Kill() {
  if (!process_) return true;
  if (Running()) TerminateProcess(process_.get(), 1);
  return WaitForSingleObject(process_.get(), 10000) == WAIT_OBJECT_0;
}

bool WaitReady(const Process& p) {
  const std::string ready = "ready " + std::to_string(p.Id());
  return WaitFor([&] { return FindTitled(p.Id(), ready) != nullptr; });
}

Process StartHelper(const std::string& args, DWORD flags) {
  Process p;
  if (!p.Start("\"" + TestDir() + "helper.exe\" " + args, flags)) {
    ADD_FAILURE() << "helper.exe " << args << " did not start";
    return p;
  }
  if (!WaitReady(p)) ADD_FAILURE() << "helper.exe " << args << " never showed its windows";
  return p;
}

namespace {
struct TopSearch {
  DWORD pid;
  std::vector<HWND>* out;
};
BOOL CALLBACK CollectTop(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TopSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == s->pid) s->out->push_back(w);
  return TRUE;
}
struct ChildSearch {
  int id;
  HWND found;
};
BOOL CALLBACK FindId(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (GetDlgCtrlID(w) == s->id) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

std::vector<HWND> TopWindows(DWORD pid) {
  std::vector<HWND> out;
  TopSearch s{pid, &out};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&s));
  return out;
}

HWND FindTopWindow(DWORD pid, const char* className) {
  for (HWND w : TopWindows(pid)) {
    char cls[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, className) == 0) return w;
  }
  return nullptr;
}

HWND FindTitled(DWORD pid, const std::string& title) {
  for (HWND w : TopWindows(pid)) {
    char text[512] = {};
    // Another process's window: the system's kept text, no message sent.
    GetWindowTextA(w, text, sizeof text);
    if (title == text) return w;
  }
  return nullptr;
}

HWND FindChild(HWND parent, int id) {
  ChildSearch s{id, nullptr};
  EnumChildWindows(parent, FindId, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string TextOf(HWND w) {
  char buf[4096] = {};
  Send(w, WM_GETTEXT, sizeof buf - 1, reinterpret_cast<LPARAM>(buf));
  return buf;
}

namespace {
// Room for any entry: the program keeps entries far shorter (kMaxItemChars).
constexpr int kReadChars = 4096;

std::string Cp932(const wchar_t* w, int n) {
  const int bytes = WideCharToMultiByte(932, 0, w, n, nullptr, 0, nullptr, nullptr);
  std::string a(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(932, 0, w, n, a.data(), bytes, nullptr, nullptr);
  return a;
}

// Reads the items once; false when the list changed under the reading.
bool ReadItemsOnce(HWND list, std::vector<std::string>& items) {
  items.clear();
  const LRESULT n = SendW(list, LB_GETCOUNT);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT len = SendW(list, LB_GETTEXTLEN, i);
    if (len == LB_ERR) return false;  // fewer entries now
    // A longer entry would overrun the program's stack: it is a failure, unread.
    if (len > kMaxItemChars) {
      ADD_FAILURE() << "list item " << i << " has " << len << " characters; not read";
      items.emplace_back();
      continue;
    }
    wchar_t text[kReadChars] = {};
    const LRESULT got = SendW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (got == LB_ERR || got < 0 || got >= kReadChars) return false;
    items.push_back(Cp932(text, static_cast<int>(wcsnlen(text, static_cast<size_t>(got)))));
  }
  return n >= 0 && SendW(list, LB_GETCOUNT) == n;
}
}  // namespace

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  for (int attempt = 0; attempt < 50; ++attempt)
    if (ReadItemsOnce(list, items)) return items;
  ADD_FAILURE() << "the list changed under every one of 50 readings";
  return {};
}

std::string ItemAt(HWND list, int index) {
  const std::vector<std::string> items = ListItems(list);
  return index >= 0 && static_cast<size_t>(index) < items.size() ? items[static_cast<size_t>(index)]
                                                                 : std::string();
}

DWORD IdAt(HWND list, int index) {
  const std::string item = ItemAt(list, index);
  unsigned long id = 0;
  return std::sscanf(item.c_str(), "[ %lu :", &id) == 1 ? static_cast<DWORD>(id) : 0;
}

int ListSelection(HWND list) { return static_cast<int>(Send(list, LB_GETCURSEL)); }

RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void MovePointer(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // The centre of the pixel in 1/65,536ths of the screen: the system takes
  // the whole part of (coordinate x size / 65,536), and x itself comes back.
  in.mi.dx = MulDiv(2 * x + 1, 32768, width);
  in.mi.dy = MulDiv(2 * y + 1, 32768, height);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  // A click is only as good as the place it lands on: a pointer that did not
  // get there fails the test here, with what this process knows of the screen.
  const POINT want{width > 0 ? std::clamp(x, 0, width - 1) : x, height > 0 ? std::clamp(y, 0, height - 1) : y};
  POINT at{};
  if (!WaitFor([&] { return GetCursorPos(&at) && at.x == want.x && at.y == want.y; }, 5000))
    ADD_FAILURE() << "the pointer is at " << at.x << "," << at.y << ", not at " << x << "," << y
                  << "; this process sees a screen of " << width << " x " << height;
}

void ClickAt(int x, int y) {
  MovePointer(x, y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
}

bool BringForward(HWND w) {
  return WaitFor([&] {
    if (GetForegroundWindow() == w) return true;
    SetForegroundWindow(w);
    return GetForegroundWindow() == w;
  }, 5000);
}

bool ClickUntil(HWND form, POINT p, const std::function<bool()>& done, int clicks) {
  for (int i = 0; i < clicks; ++i) {
    if (done()) return true;
    if (!BringForward(form)) continue;
    ClickAt(p.x, p.y);
    if (WaitFor(done, 3000)) return true;
  }
  return done();
}

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

}  // namespace harness

namespace {
std::vector<PROCESSENTRY32> g_fakeEntries;
size_t g_fakeNext;
BOOL WINAPI FakeNext(HANDLE, PROCESSENTRY32* e) {
  return g_fakeNext < g_fakeEntries.size() && (*e = g_fakeEntries[g_fakeNext++], true);
}
BOOL WINAPI FakeFirst(HANDLE s, PROCESSENTRY32* e) { return g_fakeNext = 0, FakeNext(s, e); }
}  // namespace

namespace harness {
void FakeProcessSnapshot(const std::vector<std::pair<DWORD, DWORD>>& idAndParent) {
  g_fakeEntries.clear();
  for (const auto& [id, parent] : idAndParent)
    g_fakeEntries.push_back({sizeof(PROCESSENTRY32), 0, id, 0, 0, 0, parent, 0, 0, "helper.exe"});
  Api().Process32First = FakeFirst;
  Api().Process32Next = FakeNext;
}
}  // namespace harness
