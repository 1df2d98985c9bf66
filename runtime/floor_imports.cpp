// Keeps the program loadable on every 32-bit Windows from 95 and NT 4.0 on.
// The C++ runtime of the posix thread model is built on libwinpthread,
// which imports functions newer than those systems
// (AddVectoredExceptionHandler, TryEnterCriticalSection, GetTickCount64).
// The runtime asks it for little: the guard of function-local statics, and
// mutexes, once-calls and thread keys for exceptions and the unwinder. This
// object serves those with what every such system has (interlocked
// operations, critical sections, TLS slots); linked before the runtime, it
// leaves libwinpthread, and its imports, out.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

namespace {

// The guard's first byte says "done" (the compiler's inline test reads it);
// its second word names the thread running the initializer.
struct Guard {
  volatile unsigned char done;
  unsigned char pad[3];
  volatile LONG owner;
};
static_assert(sizeof(Guard) == sizeof(std::uint64_t));

}  // namespace

extern "C" {

int __cxa_guard_acquire(std::uint64_t* raw) {
  auto* g = reinterpret_cast<Guard*>(raw);
  const auto self = static_cast<LONG>(GetCurrentThreadId());
  for (;;) {
    if (g->done) return 0;
    const LONG was = InterlockedCompareExchange(&g->owner, self, 0);
    if (was == 0) {
      if (!g->done) return 1;  // ours to initialize
      InterlockedExchange(&g->owner, 0);  // finished between the two reads
      return 0;
    }
    if (was == self) std::abort();  // the initializer reached its own static
    Sleep(0);
  }
}

void __cxa_guard_release(std::uint64_t* raw) {
  auto* g = reinterpret_cast<Guard*>(raw);
  g->done = 1;
  InterlockedExchange(&g->owner, 0);  // a full barrier: "done" is seen first
}

void __cxa_guard_abort(std::uint64_t* raw) {
  InterlockedExchange(&reinterpret_cast<Guard*>(raw)->owner, 0);
}

}  // extern "C"

// The few thread functions the C++ runtime and the unwinder call, with the
// posix thread model's types: a mutex is a pointer-sized handle, whose
// static initializers are small negative values.
namespace {

using Mutex = std::intptr_t;

CRITICAL_SECTION* SectionOf(Mutex* m) {
  Mutex now = *m;
  if (now > 0) return reinterpret_cast<CRITICAL_SECTION*>(now);
  auto* made = static_cast<CRITICAL_SECTION*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CRITICAL_SECTION)));
  if (!made) std::abort();
  InitializeCriticalSection(made);
  const auto mine = reinterpret_cast<Mutex>(made);
  const LONG was = InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(m),
                                              static_cast<LONG>(mine), static_cast<LONG>(now));
  if (was == static_cast<LONG>(now)) return made;
  DeleteCriticalSection(made);  // another thread made it first
  HeapFree(GetProcessHeap(), 0, made);
  return reinterpret_cast<CRITICAL_SECTION*>(static_cast<Mutex>(was));
}

}  // namespace

extern "C" {

int pthread_mutex_init(Mutex* m, const void*) {
  *m = -1;  // made at its first lock
  return 0;
}

int pthread_mutex_destroy(Mutex* m) {
  if (*m > 0) {
    auto* section = reinterpret_cast<CRITICAL_SECTION*>(*m);
    DeleteCriticalSection(section);
    HeapFree(GetProcessHeap(), 0, section);
  }
  *m = -1;
  return 0;
}

int pthread_mutex_lock(Mutex* m) {
  EnterCriticalSection(SectionOf(m));
  return 0;
}

int pthread_mutex_unlock(Mutex* m) {
  if (*m <= 0) return 1;  // never locked
  LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(*m));
  return 0;
}

// 0 not yet, 1 running, 2 done.
int pthread_once(volatile long* once, void (*call)()) {
  for (;;) {
    if (*once == 2) return 0;
    if (InterlockedCompareExchange(once, 1, 0) == 0) {
      call();
      InterlockedExchange(once, 2);
      return 0;
    }
    Sleep(0);
  }
}

// The C runtime's thread-exit callback runs a key's destructor (as the
// win32 thread model does).
int __mingwthr_key_dtor(DWORD key, void (*dtor)(void*));

int pthread_key_create(unsigned* key, void (*dtor)(void*)) {
  const DWORD slot = TlsAlloc();
  if (slot == TLS_OUT_OF_INDEXES) return 11;  // EAGAIN
  if (dtor && __mingwthr_key_dtor(slot, dtor) != 0) {
    TlsFree(slot);
    return 12;  // ENOMEM
  }
  *key = slot;
  return 0;
}

// Reads keep the thread's last error: they run between a failed call and
// the reading of its error.
void* pthread_getspecific(unsigned key) {
  const DWORD error = GetLastError();
  void* value = TlsGetValue(key);
  SetLastError(error);
  return value;
}

int pthread_setspecific(unsigned key, const void* value) {
  return TlsSetValue(key, const_cast<void*>(value)) ? 0 : 22;  // EINVAL
}

}  // extern "C"
