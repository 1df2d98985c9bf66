#include "productinfo/wow64_redirection.h"

#include <windows.h>

namespace {

// Bound at run time: kernel32 of the 9x family and NT 4 lacks both.
struct RedirectionApi {
  BOOL(WINAPI* disable)(PVOID*) = nullptr;
  BOOL(WINAPI* revert)(PVOID) = nullptr;
};

const RedirectionApi& Bound() {
  static const RedirectionApi api = [] {
    RedirectionApi a;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return a;
    a.disable = reinterpret_cast<BOOL(WINAPI*)(PVOID*)>(
        GetProcAddress(kernel, "Wow64DisableWow64FsRedirection"));
    a.revert = reinterpret_cast<BOOL(WINAPI*)(PVOID)>(
        GetProcAddress(kernel, "Wow64RevertWow64FsRedirection"));
    if (!a.disable || !a.revert) a = RedirectionApi{};
    return a;
  }();
  return api;
}

}  // namespace

Wow64RedirectionOff::Wow64RedirectionOff() {
  const RedirectionApi& api = Bound();
  // On a system without WOW64 the call fails and nothing is to be undone.
  if (api.disable) off_ = api.disable(&previous_) != FALSE;
}

Wow64RedirectionOff::~Wow64RedirectionOff() {
  if (off_) Bound().revert(previous_);
}

namespace {

bool UnderWow64() {
  static const bool wow = [] {
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto f = kernel ? reinterpret_cast<IsWow64>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
    BOOL result = FALSE;
    return f && f(GetCurrentProcess(), &result) && result;
  }();
  return wow;
}

std::wstring FolderOf(UINT (WINAPI* get)(LPWSTR, UINT)) {
  wchar_t buf[MAX_PATH + 1] = {};
  const UINT n = get(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

}  // namespace

std::wstring NativeSystemPath(const std::wstring& path) {
  if (!UnderWow64()) return path;
  static const std::wstring system = FolderOf(GetSystemDirectoryW);
  static const std::wstring windows = FolderOf(GetWindowsDirectoryW);
  const size_t n = system.size();
  if (n == 0 || windows.empty() || path.size() <= n || path[n] != L'\\') return path;
  if (lstrcmpiW(path.substr(0, n).c_str(), system.c_str()) != 0) return path;
  return windows + L"\\Sysnative" + path.substr(n);
}
