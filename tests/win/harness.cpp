#include "harness.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace harness {

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
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return done();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
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
  WaitFor([&] { return FindWindowA(nullptr, ready.c_str()) != nullptr; });
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

Capture::Capture(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  ui::UniqueMemDC mem(CreateCompatibleDC(screen));
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  ui::UniqueBitmap dib(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ui::Selected sel(mem.get(), dib.get());
    BitBlt(mem.get(), 0, 0, width_, height_, screen, r.left, r.top, SRCCOPY);
  }
  GdiFlush();
  bits_.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width_ * height_);
  ReleaseDC(nullptr, screen);
}

COLORREF Capture::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  DWORD v = bits_[static_cast<size_t>(y) * width_ + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool Capture::SaveBmp(const std::string& path) const {
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{sizeof ih, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD size = static_cast<DWORD>(bits_.size() * 4);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + size;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(&fh, sizeof fh, 1, f);
  std::fwrite(&ih, sizeof ih, 1, f);
  std::fwrite(bits_.data(), 1, size, f);
  std::fclose(f);
  return true;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace harness
