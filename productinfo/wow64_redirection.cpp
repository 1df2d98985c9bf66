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
