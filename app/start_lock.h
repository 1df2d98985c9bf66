// Serializes the starts of copies of one executable file name: a copy holds
// the lock from its marker check until its main window exists, and again
// from the moment it begins closing until its marker is gone, so a start
// always finds either nothing, a marker with a window that stays, or a
// marker whose copy was killed.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "base/handles.h"

class StartLock {
 public:
  enum class Wait { kBlocked, kAnsweringSent };
  // Waits for the lock at most `timeoutMs`; Held() says whether it came (or
  // there is no lock to wait for). A copy with windows waits answering what
  // other threads send to them.
  explicit StartLock(const std::string& markerName, DWORD timeoutMs = 30000,
                     Wait wait = Wait::kBlocked);
  StartLock(const StartLock&) = delete;
  StartLock& operator=(const StartLock&) = delete;
  ~StartLock() { Release(); }

  bool Held() const { return held_; }
  // Takes the lock again after a Release, waiting as the constructor does;
  // returns Held(). Held already, it takes nothing more.
  bool Acquire(DWORD timeoutMs, Wait wait);
  void Release();

 private:
  base::UniqueHandle mutex_;  // owned
  bool held_ = false;
};

// A marker name (code page 932) with its ASCII letters in upper case and its
// double-byte characters as they are: the one way markers are compared, as
// atoms ignore the case of those letters.
std::string FoldMarkerCase(std::string_view markerName);

// The lock's object name for a marker, its case folded as above; hex keeps
// CP932 bytes (0x5C) out of it.
std::string StartLockName(const std::string& markerName);
