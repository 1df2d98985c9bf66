#include "harness.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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
  if (!JoinTestJob(pi.hProcess))
    ADD_FAILURE() << "process " << pi.dwProcessId << " is not in the test's job (" << GetLastError() << ")";
  if (!(flags & CREATE_SUSPENDED)) ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  process_.reset(pi.hProcess);
  id_ = pi.dwProcessId;
  return true;
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
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
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

std::string UnixPath(const std::string& windowsPath) {
  std::string p = windowsPath;
  if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p = p.substr(2);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

bool RunUnix(const std::string& commandLine, DWORD timeoutMs) {
  // Started outside the test's job: Wine runs it as a process of the
  // machine, not one of its own, and no Windows job can hold it.
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  base::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  WaitForSingleObject(process.get(), timeoutMs);
  return true;
}

namespace {
std::string Display() {
  char buf[64] = {};
  GetEnvironmentVariableA("DISPLAY", buf, sizeof buf);
  return buf;
}

// A file name used once: a late answer to an earlier request, written after
// its reader gave up, can never be read as the answer to this one.
std::string FreshFile(const std::string& stem) {
  static int count = 0;
  return TestDir() + stem + "_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++count);
}

// Runs a shell command line that writes `file` (through a part file moved
// into place; the command ends where that file's name goes) and returns the file's bytes once they are there; removed after.
std::string ShellOutput(const std::string& command, const std::string& file, const std::string& what) {
  const std::string part = UnixPath(file) + ".part";
  if (!RunUnix("/bin/sh -c \"" + command + part + " && mv " + part + " " + UnixPath(file) + "\""))
    ADD_FAILURE() << "could not run the command for " << what;
  std::string bytes;
  if (!WaitFor([&] { return !(bytes = ReadFileBytes(file)).empty(); }, 10000))
    ADD_FAILURE() << "no " << what << " came";
  DeleteFileA(file.c_str());
  return bytes;
}
}  // namespace

ScreenPixels::ScreenPixels(const RECT& r) : r_(r) {
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  const std::string geometry = std::to_string(width_) + "x" + std::to_string(height_) + "+" +
                               std::to_string(r.left) + "+" + std::to_string(r.top);
  // Wine reports no exit code for a program of the machine's own: wait for
  // the whole picture instead.
  const std::string ppm = ShellOutput("/usr/bin/import -display " + Display() + " -window root -crop " +
                                          geometry + " -depth 8 ppm:",
                                      FreshFile("capture") + ".ppm", "screen capture of " + geometry);
  // "P6\n<w> <h>\n255\n" then RGB triples.
  size_t pos = 0;
  int fields = 0;
  while (fields < 4 && pos < ppm.size()) {
    while (pos < ppm.size() && isspace(static_cast<unsigned char>(ppm[pos]))) ++pos;
    while (pos < ppm.size() && !isspace(static_cast<unsigned char>(ppm[pos]))) ++pos;
    ++fields;
  }
  ++pos;
  if (fields == 4 && ppm.size() >= pos + static_cast<size_t>(width_) * height_ * 3)
    rgb_ = ppm.substr(pos);
}

COLORREF ScreenPixels::Pixel(int x, int y) const {
  x -= r_.left;
  y -= r_.top;
  if (!Valid() || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const size_t i = (static_cast<size_t>(y) * width_ + x) * 3;
  return RGB(static_cast<BYTE>(rgb_[i]), static_cast<BYTE>(rgb_[i + 1]),
             static_cast<BYTE>(rgb_[i + 2]));
}

long ProcessStatusKiB(const std::string& mark, const char* field) {
  // The bracket keeps the pattern from matching the shell's own command line.
  const std::string pattern = mark.substr(0, mark.size() - 1) + "[" + mark.back() + "]";
  const std::string text = ShellOutput("grep " + std::string(field) + ": /proc/$(pgrep -f " + pattern +
                                           " | head -n 1)/status | tr -dc 0-9 > ",
                                       FreshFile("status_kib") + ".txt",
                                       std::string(field) + " of the process marked " + mark);
  return std::atol(text.c_str());
}

std::string UniqueMark() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return "mark" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(now.QuadPart);
}

std::string SaveScreenshot(const std::string& name) {
  const std::string dir = TestDir() + "screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string path = dir + "\\" + name + ".png";
  DeleteFileA(path.c_str());
  const std::string part = UnixPath(FreshFile("screenshot")) + ".png";
  if (!RunUnix("/bin/sh -c \"/usr/bin/import -display " + Display() + " -window root " + part +
               " && mv " + part + " " + UnixPath(path) + "\""))
    ADD_FAILURE() << "could not take screenshot " << name;
  if (!WaitFor([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
    ADD_FAILURE() << "no screenshot " << path << " was written";
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<COLORREF> IconPixels(HICON icon) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 32, 32};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) pixels.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

double Contrast(COLORREF a, COLORREF b) {
  auto luminance = [](COLORREF c) {
    auto lin = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(GetRValue(c)) + 0.7152 * lin(GetGValue(c)) + 0.0722 * lin(GetBValue(c));
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace harness
