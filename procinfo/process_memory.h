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

// Whether this program is 64-bit: then it reads 64-bit processes natively,
// and a WOW64 process's 32-bit PEB.
inline constexpr bool kWideProgram = sizeof(void*) == 8;

// The process's PEB of `bits` (32 or 64) and how it is read from this
// program: natively in its own width, a 64-bit process's from a 32-bit
// program through WOW64, a WOW64 process's 32-bit one from a 64-bit program.
// `peb` is 0 where the system does not say.
struct PebPlace {
  uint64_t peb = 0;
  PointerWidth width = PointerWidth::Bits32;
  bool throughWow64 = false;
};
PebPlace PebOf(HANDLE p, int bits);
