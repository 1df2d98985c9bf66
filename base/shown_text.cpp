#include "base/shown_text.h"

#include <windows.h>

namespace {

// No look-alikes where the system knows the flag (Windows 2000 on); the 9x
// family and NT 4.0 refuse it, and would convert nothing.
DWORD NoLookAlikes() {
  static const DWORD flags = Windows2000OrLater() ? DWORD{WC_NO_BEST_FIT_CHARS} : DWORD{0};
  return flags;
}

}  // namespace

std::string ShownText(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = static_cast<int>(text.size());
  const DWORD flags = NoLookAlikes();
  const int bytes = WideCharToMultiByte(kCodePage, flags, text.data(), n, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string(text.size(), '?');
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(kCodePage, flags, text.data(), n, out.data(), bytes, "?", nullptr);
  return out;
}

bool WideOfShown(const std::string& text, std::wstring& wide) {
  wide.clear();
  if (text.empty()) return true;
  const int n = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text.data(), n, nullptr, 0);
  if (chars <= 0) return false;
  wide.assign(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text.data(), n, wide.data(), chars);
  return ShownText(wide) == text;
}

std::wstring WideText(std::string_view text) {
  if (text.empty()) return {};
  const int n = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(kCodePage, 0, text.data(), n, nullptr, 0);
  if (chars <= 0) return {};
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), n, wide.data(), chars);
  return wide;
}

std::wstring TrueFormOf(std::wstring_view wide) {
  return WideText(ShownText(wide)) == wide ? std::wstring() : std::wstring(wide);
}

unsigned long SystemPlatformId() {
  static const DWORD id = [] {
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    return GetVersionExA(&vi) ? vi.dwPlatformId : DWORD{VER_PLATFORM_WIN32_WINDOWS};
  }();
  return id;
}

bool WideSystem() { return SystemPlatformId() == VER_PLATFORM_WIN32_NT; }

bool Windows2000OrLater() {
  static const bool later = WideSystem() && LOBYTE(LOWORD(GetVersion())) >= 5;
  return later;
}
