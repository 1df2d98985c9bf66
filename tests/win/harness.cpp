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

bool Process::Start(const std::string& commandLine, DWORD flags, int show,
                    const std::string& directory) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, flags, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process_.reset(pi.hProcess);
  id_ = pi.dwProcessId;
  return true;
}

Process::~Process() { Kill(); }

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

long Process::Wait(DWORD timeoutMs) const {
  if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return static_cast<long>(code);
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
  }
}

Process StartHelper(const std::string& args, DWORD flags) {
  Process p;
  if (!p.Start("\"" + TestDir() + "helper.exe\" " + args, flags)) return p;
  const std::string ready = "ready " + std::to_string(p.Id());
  if (!WaitFor([&] { return FindWindowA(nullptr, ready.c_str()) != nullptr; }))
    ADD_FAILURE() << "helper.exe " << args << " never showed \"" << ready << "\"";
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

HWND FindChild(HWND parent, int id) {
  ChildSearch s{id, nullptr};
  EnumChildWindows(parent, FindId, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string TextOf(HWND w) {
  char buf[4096] = {};
  SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  return buf;
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    int len = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
    // A longer entry would overrun the program's stack: it is a failure, unread.
    if (len > kMaxItemChars) {
      ADD_FAILURE() << "list item " << i << " has " << len << " characters; not read";
      items.emplace_back();
      continue;
    }
    std::wstring w(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(w.data()));
    w.resize(wcslen(w.c_str()));
    int bytes = WideCharToMultiByte(932, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(932, 0, w.c_str(), -1, a.data(), bytes, nullptr, nullptr);
    a.resize(strlen(a.c_str()));
    items.push_back(a);
  }
  return items;
}

int ListSelection(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

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
  Process p;
  if (!p.Start(commandLine)) return false;
  p.Wait(timeoutMs);
  return true;
}

namespace {
std::string Display() {
  char buf[64] = {};
  GetEnvironmentVariableA("DISPLAY", buf, sizeof buf);
  return buf;
}
}  // namespace

ScreenPixels::ScreenPixels(const RECT& r) : r_(r) {
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  const std::string file = TestDir() + "capture.ppm";
  DeleteFileA(file.c_str());
  const std::string geometry = std::to_string(width_) + "x" + std::to_string(height_) + "+" +
                               std::to_string(r.left) + "+" + std::to_string(r.top);
  // Wine reports no exit code for a program of the machine's own: wait for
  // the whole picture instead.
  const std::string tmp = file + ".part";
  RunUnix("/bin/sh -c \"/usr/bin/import -display " + Display() + " -window root -crop " + geometry +
          " -depth 8 ppm:" + UnixPath(tmp) + " && mv " + UnixPath(tmp) + " " + UnixPath(file) + "\"");
  std::string ppm;
  if (!WaitFor([&] { return !(ppm = ReadFileBytes(file)).empty(); }, 10000))
    ADD_FAILURE() << "no screen capture of " << geometry << " came";
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
  const std::string out = TestDir() + "status_kib.txt";
  DeleteFileA(out.c_str());
  // The bracket keeps the pattern from matching the shell's own command line.
  const std::string pattern = mark.substr(0, mark.size() - 1) + "[" + mark.back() + "]";
  RunUnix("/bin/sh -c \"grep " + std::string(field) + ": /proc/$(pgrep -f " + pattern +
          " | head -n 1)/status | tr -dc 0-9 > " + UnixPath(out) + ".part; mv " + UnixPath(out) +
          ".part " + UnixPath(out) + "\"");
  std::string text;
  if (!WaitFor([&] { return !(text = ReadFileBytes(out)).empty(); }, 10000))
    ADD_FAILURE() << "no " << field << " of the process marked " << mark << " was read";
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
  RunUnix("/bin/sh -c \"/usr/bin/import -display " + Display() + " -window root " +
          UnixPath(path) + ".part.png && mv " + UnixPath(path) + ".part.png " + UnixPath(path) + "\"");
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
