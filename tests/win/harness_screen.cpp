// The harness's reach outside Wine: programs of the machine itself, screen
// captures of the virtual display, files, and pictures of icons.
#include "harness.h"

#include <winternl.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace harness {

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
  // For such a program Wine answers a null process handle and leaves a
  // stale stack value as the thread handle (measured). Closing that value
  // closed whichever handle of this process it named: once it was Wine's
  // own key of the display list, and every later real input went to 0,0.
  if (!pi.hProcess) return true;
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

long GdiObjects(HANDLE process) {
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  uintptr_t table = 0;  // the PEB's GdiSharedHandleTable, where each width's PEB has it
  const size_t at = sizeof(void*) == 8 ? 0xF8 : 0x94;
  if (!query || query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, nullptr) != 0 ||
      !ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + at, &table,
                         sizeof table, nullptr) || !table)
    return -1;
  constexpr size_t kEntries = 0x10000, kEntrySize = 24, kTypeAt = 14;
  std::vector<unsigned char> entries(kEntries * kEntrySize);
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(table),
                         entries.data(), entries.size(), nullptr))
    return -1;
  long live = 0;
  for (size_t i = 0; i < kEntries; ++i) live += entries[i * kEntrySize + kTypeAt] != 0;
  return live;
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
