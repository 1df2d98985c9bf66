#include "app/start_lock.h"

StartLock::StartLock(const std::string& markerName, DWORD timeoutMs)
    : mutex_(CreateMutexA(nullptr, FALSE, StartLockName(markerName).c_str())) {
  if (!mutex_) {
    held_ = true;  // no lock to be had: start as if alone, as before locks
    return;
  }
  // Abandoned: a copy ended while starting; the lock is ours all the same.
  const DWORD r = WaitForSingleObject(mutex_.get(), timeoutMs);
  held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

void StartLock::Release() {
  if (held_ && mutex_) ReleaseMutex(mutex_.get());
  held_ = false;
}

std::string StartLockName(const std::string& markerName) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string name = "VorlaneStart.";
  // Object names end at MAX_PATH: a longer marker shares its lock with others.
  for (char c : markerName.substr(0, 100)) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
    name += kHex[b >> 4];
    name += kHex[b & 15];
  }
  return name;
}
