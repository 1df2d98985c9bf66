// The details window's module list, read off the window's thread: the
// process's modules and each local file's version texts, made into the
// list's rows there and posted to the window. The window never waits for a
// process's loader list or a slow file; a read asked for again replaces the
// one under way, which is stopped and posts nothing more.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "base/handles.h"

class ModuleReading {
 public:
  ModuleReading() = default;
  ~ModuleReading();  // Stop
  ModuleReading(const ModuleReading&) = delete;
  ModuleReading& operator=(const ModuleReading&) = delete;

  // Reads process `pid` of `bits` (as ReadProcessImage found it), then
  // posts `message` to `window` (borrowed); false when no thread could be made.
  bool Start(HWND window, UINT message, DWORD pid, int bits);
  // The rows of the read that posted; false while none has finished.
  bool Take(std::wstring& rows);
  // Stops the read under way and waits for its thread at most 2 s: a read
  // stuck in a file is left to end on its own, posting nothing.
  void Stop();

 private:
  struct Read;
  static DWORD WINAPI Run(void* read);

  std::shared_ptr<Read> read_;  // the one under way or finished last
  base::UniqueHandle thread_;
};

// The module list's rows for process `pid`, read on the calling thread
// (details_reading.cpp); `stop` is asked between modules.
std::wstring ReadModuleRows(DWORD pid, int bits, const volatile LONG* stop);
