// The modules a process has loaded, from a ToolHelp module snapshot, sorted
// by name. A 64-bit process's modules lie beyond what a 32-bit program may
// read: the list then is empty and says so, rather than show a base cut to
// 32 bits.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ModuleEntry {
  std::wstring name, path;
  uint64_t base = 0;
  uint32_t size = 0;
};

struct ModuleList {
  enum class State : uint8_t { Read, Denied, Ended, Wider };  // Wider: a 64-bit process
  State state = State::Denied;
  std::vector<ModuleEntry> modules;
};

// `bits`: the process's width as ReadProcessImage found it (0: not known).
ModuleList ReadModules(DWORD pid, int bits);
