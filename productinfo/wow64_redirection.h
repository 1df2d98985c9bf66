// A 32-bit program on 64-bit Windows (WOW64) reads C:\Windows\System32 as
// the 32-bit system folder, where the 64-bit programs are not.
#pragma once
#include <string>

// While it lives, the calling thread's file reads see the real files: WOW64
// file-system redirection is off, and back on when it ends. Where the
// system has no such redirection (9x family, NT 4, 32-bit Windows) it does
// nothing. Live only around reads of a file: a call that may load a library
// (a data-file load, icon extraction) would load the wrong one under it.
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

// The name under which a program under WOW64 reaches a file of the real
// system folder with redirection on ("...\Sysnative\..."): for the calls
// that load the file as a module. Any other path, and any path on a system
// without WOW64, comes back as it is.
std::wstring NativeSystemPath(const std::wstring& path);
