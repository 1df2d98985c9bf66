// The modules a process has loaded, sorted by name: on the NT family from
// its loader list, walked here with bounds (under Wine a ToolHelp module
// snapshot follows that list inside the caller until it returns to its start:
// a list that loops would hang it); on the 9x family from a ToolHelp
// snapshot. A 64-bit process's modules lie beyond what a 32-bit program may
// read: the list then is empty and says so, rather than show a base cut to
// 32 bits.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ModuleEntry {
  std::wstring name, path;  // as the process lists them
  // The file its versions are read from: the one the system mapped at its
  // base, where the system says; else `path`.
  std::wstring file;
  uint64_t base = 0;
  uint32_t size = 0;
};

struct ModuleList {
  enum class State : uint8_t { Read, Denied, Ended, Wider };  // Wider: a 64-bit process
  State state = State::Denied;
  std::vector<ModuleEntry> modules;
  // The list had more entries than are taken, looped, led to memory that
  // cannot be read, or the read was stopped: what was read is listed.
  bool cut = false;
};

// `bits`: the process's width as ReadProcessImage found it (0: not known).
// `stop`, when set, is asked before each entry.
ModuleList ReadModules(DWORD pid, int bits, const std::function<bool()>& stop = nullptr);
