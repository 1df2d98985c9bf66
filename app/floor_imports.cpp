// Keeps the program loadable on Windows XP: the posix-thread runtime that is
// linked in statically (libwinpthread) imports GetTickCount64, which XP's
// kernel32 lacks. This object defines that import's pointer itself; linked
// before the import library, it leaves no import of that name.
#include <windows.h>

namespace {

using TickCount64Fn = ULONGLONG(WINAPI*)();

LONG g_busy = 0;
DWORD g_last = 0;
ULONGLONG g_wraps = 0;

// GetTickCount with its wraps (every 49.7 days) counted; calls are rare
// (timed waits of the runtime), so a spin is enough to keep them in order.
ULONGLONG WINAPI CountedTicks() {
  while (InterlockedExchange(&g_busy, 1)) Sleep(0);
  const DWORD now = GetTickCount();
  if (now < g_last) g_wraps += 1ULL << 32;
  g_last = now;
  const ULONGLONG ticks = g_wraps + now;
  InterlockedExchange(&g_busy, 0);
  return ticks;
}

// Kernel32's own function where it exists (Vista and later).
ULONGLONG WINAPI TickCount64() {
  const auto system = reinterpret_cast<TickCount64Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
  return system ? system() : CountedTicks();
}

}  // namespace

extern "C" {
extern const TickCount64Fn g_tickCount64Import __asm__("__imp__GetTickCount64@0");
const TickCount64Fn g_tickCount64Import = TickCount64;
}
