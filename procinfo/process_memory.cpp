#include "procinfo/process_memory.h"

#include "procinfo/process_api.h"

namespace {

constexpr ULONG kProcessBasicInformation = 0, kProcessWow64Information = 26;
constexpr ULONG kMemoryBasicInformation = 0;

// One region of another process's memory, as the system describes it.
struct Region {
  uint64_t base = 0, size = 0;
  DWORD state = 0, protect = 0;
};

// Memory a read may take: committed, readable, and not a guard page (whose
// guard a read from outside would take away from its owner on Windows).
// Wine's ReadProcessMemory reads freed, no-access and guard pages alike.
bool Readable(const Region& r) {
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return r.state == MEM_COMMIT && (r.protect & kReadable) && !(r.protect & (PAGE_GUARD | PAGE_NOACCESS));
}

// Whether every byte of [address, address + size) lies in readable regions.
template <typename Query>
bool RangeReadable(uint64_t address, size_t size, Query query) {
  const uint64_t end = address + size;
  if (end < address) return false;
  uint64_t at = address;
  for (int regions = 0; at < end; ++regions) {
    Region r;
    // A text is at most 64 KB: a few regions, never a walk of the space.
    if (regions == 16 || !query(at, r) || !Readable(r) || r.base > at || r.base + r.size <= at) return false;
    at = r.base + r.size;
  }
  return true;
}

}  // namespace

bool NativeMemory::Read(uint64_t address, void* into, size_t size) {
  if (address > UINTPTR_MAX || !RangeReadable(address, size, [&](uint64_t at, Region& r) {
        MEMORY_BASIC_INFORMATION m{};
        if (Api().VirtualQueryEx(process_, reinterpret_cast<LPCVOID>(static_cast<UINT_PTR>(at)), &m,
                                 sizeof m) != sizeof m)
          return false;
        r = {reinterpret_cast<UINT_PTR>(m.BaseAddress), m.RegionSize, m.State, m.Protect};
        return true;
      }))
    return false;
  SIZE_T done = 0;
  return Api().ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<UINT_PTR>(address)),
                                 into, size, &done) && done == size;
}

bool Wow64Memory::Read(uint64_t address, void* into, size_t size) {
  if (!RangeReadable(address, size, [&](uint64_t at, Region& r) {
        struct {  // MEMORY_BASIC_INFORMATION64
          ULONGLONG base, allocationBase;
          DWORD allocationProtect, alignment1;
          ULONGLONG size;
          DWORD state, protect, type, alignment2;
        } m{};
        ULONGLONG got = 0;
        if (Api().NtWow64QueryVirtualMemory64(process_, at, kMemoryBasicInformation, &m, sizeof m, &got) < 0)
          return false;
        r = {m.base, m.size, m.state, m.protect};
        return true;
      }))
    return false;
  ULONGLONG done = 0;
  return Api().NtWow64ReadVirtualMemory64(process_, address, into, size, &done) >= 0 && done == size;
}

namespace {

uint64_t NativePeb(HANDLE p) {
  // PROCESS_BASIC_INFORMATION: the PEB's address is its second field.
  ULONG_PTR info[6] = {};
  if (Api().NtQueryInformationProcess(p, kProcessBasicInformation, info, sizeof info, nullptr) < 0)
    return 0;
  return info[1];
}

uint64_t Wow64Peb(HANDLE p) {
  ULONGLONG info[6] = {};  // its 64-bit form
  if (Api().NtWow64QueryInformationProcess64(p, kProcessBasicInformation, info, sizeof info,
                                             nullptr) < 0)
    return 0;
  return info[1];
}

// A WOW64 process's 32-bit PEB, as a 64-bit program is told it.
uint64_t Peb32(HANDLE p) {
  ULONG_PTR peb = 0;
  if (Api().NtQueryInformationProcess(p, kProcessWow64Information, &peb, sizeof peb, nullptr) < 0)
    return 0;
  return peb;
}

}  // namespace

PebPlace PebOf(HANDLE p, int bits) {
  if (bits != 32 && bits != 64) bits = kWideProgram ? 64 : 32;  // not known: this program's own
  const PointerWidth width = bits == 64 ? PointerWidth::Bits64 : PointerWidth::Bits32;
  if (bits == 64 && !kWideProgram) return {Wow64Peb(p), width, true};
  if (bits == 32 && kWideProgram) return {Peb32(p), width, false};
  return {NativePeb(p), width, false};
}
