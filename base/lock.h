// A critical section with one owner, and a scope that holds it: the one lock
// of the program's few threads (Windows 95 and NT 3.1 on).
#pragma once
#include <windows.h>

namespace base {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&cs_); }
  ~CriticalSection() { DeleteCriticalSection(&cs_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&cs_); }
  void Leave() { LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION cs_;
};

class Locked {
 public:
  explicit Locked(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
  ~Locked() { cs_.Leave(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CriticalSection& cs_;
};

}  // namespace base
