#include "app/start_lock.h"

#include "base/code_page.h"

namespace {

// Waits for `h` while answering the messages other threads send to this one
// (a start that holds the lock may send to this copy's windows meanwhile).
DWORD WaitAnsweringSent(HANDLE h, DWORD timeoutMs) {
  const DWORD begun = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - begun;
    const DWORD left = spent < timeoutMs ? timeoutMs - spent : 0;
    const DWORD r = MsgWaitForMultipleObjects(1, &h, FALSE, left, QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) return r;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // delivers the sent messages
  }
}

}  // namespace

StartLock::StartLock(const std::string& markerName, DWORD timeoutMs, Wait wait)
    : mutex_(CreateMutexA(nullptr, FALSE, StartLockName(markerName).c_str())) {
  Acquire(timeoutMs, wait);
}

bool StartLock::Acquire(DWORD timeoutMs, Wait wait) {
  if (held_) return true;
  if (!mutex_) {
    held_ = true;  // no lock to be had: start as if this copy were alone
    return true;
  }
  const DWORD r = wait == Wait::kAnsweringSent ? WaitAnsweringSent(mutex_.get(), timeoutMs)
                                               : WaitForSingleObject(mutex_.get(), timeoutMs);
  // Abandoned: a copy ended while starting or closing; the lock is ours all the same.
  held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
  return held_;
}

void StartLock::Release() {
  if (held_ && mutex_) ReleaseMutex(mutex_.get());
  held_ = false;
}

std::string FoldMarkerCase(std::string_view markerName) {
  std::string folded(markerName);
  for (size_t i = 0; i < folded.size(); ++i) {
    char& c = folded[i];
    if (IsCp932LeadByte(static_cast<unsigned char>(c)))
      ++i;  // its trail byte may look like a letter
    else if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

std::string StartLockName(const std::string& markerName) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string name = "VorlaneStart.";
  // Object names end at MAX_PATH: a longer marker shares its lock with others.
  for (char c : FoldMarkerCase(markerName.substr(0, 100))) {
    const unsigned char b = static_cast<unsigned char>(c);
    name += kHex[b >> 4];
    name += kHex[b & 15];
  }
  return name;
}
