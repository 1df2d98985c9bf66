// A 32-bit program on 64-bit Windows (WOW64) reads C:\Windows\System32 as
// the 32-bit system folder, where the 64-bit programs are not.
#pragma once

// While it lives, the calling thread's file reads see the real files: WOW64
// file-system redirection is off, and back on when it ends. Where the
// system has no such redirection (9x family, NT 4, 32-bit Windows) it does
// nothing. Live only around file reads: loading a DLL under it can fail.
class Wow64RedirectionOff {
 public:
  Wow64RedirectionOff();
  ~Wow64RedirectionOff();
  Wow64RedirectionOff(const Wow64RedirectionOff&) = delete;
  Wow64RedirectionOff& operator=(const Wow64RedirectionOff&) = delete;

 private:
  void* previous_ = nullptr;  // the system's token for turning it back on
  bool off_ = false;
};
