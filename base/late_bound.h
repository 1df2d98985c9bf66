// A system function bound at run time: for what the oldest systems the
// program runs on (Windows 95, NT 4.0) lack, so that their loader takes it.
#pragma once
#include <windows.h>

namespace base {

// Null when `module` is not loaded or does not export `name`.
template <typename F>
F LateBound(const char* module, const char* name) {
  HMODULE m = GetModuleHandleA(module);
  return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

}  // namespace base
