// Another process's memory, read through the system: in this program's
// width, or a 64-bit process's through WOW64. Every range is checked first
// with the system's own account of it (committed, readable, not a guard
// page): Wine's ReadProcessMemory reads freed, no-access and guard pages.
#pragma once
#include <windows.h>

#include <cstdint>

#include "procinfo/params_block.h"

// Memory of a process of this program's width.
class NativeMemory : public MemoryReader {
 public:
  explicit NativeMemory(HANDLE p) : process_(p) {}  // borrowed
  bool Read(uint64_t address, void* into, size_t size) override;

 private:
  HANDLE process_;
};

// A 64-bit process's memory, read from this 32-bit program through WOW64.
// Where the system cannot say what an address holds, nothing is read.
class Wow64Memory : public MemoryReader {
 public:
  explicit Wow64Memory(HANDLE p) : process_(p) {}  // borrowed
  bool Read(uint64_t address, void* into, size_t size) override;

 private:
  HANDLE process_;
};

// The address of the process's PEB of this program's width, and of its
// 64-bit PEB through WOW64; 0 where the system does not say.
uint64_t NativePeb(HANDLE p);
uint64_t Wow64Peb(HANDLE p);
