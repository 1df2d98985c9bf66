#include "procinfo/process_image.h"

#include <memory>
#include <vector>

#include "base/handles.h"
#include "procinfo/access_rights.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"

namespace {

constexpr ULONG kProcessBasicInformation = 0;
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

// Memory of a process of this program's width.
class NativeMemory : public MemoryReader {
 public:
  explicit NativeMemory(HANDLE p) : process_(p) {}
  bool Read(uint64_t address, void* into, size_t size) override {
    SIZE_T done = 0;
    if (address > 0xFFFFFFFFull || !RangeReadable(address, size, [&](uint64_t at, Region& r) {
          MEMORY_BASIC_INFORMATION m{};
          if (Api().VirtualQueryEx(process_, reinterpret_cast<LPCVOID>(static_cast<UINT_PTR>(at)), &m,
                                   sizeof m) != sizeof m)
            return false;
          r = {reinterpret_cast<UINT_PTR>(m.BaseAddress), m.RegionSize, m.State, m.Protect};
          return true;
        }))
      return false;
    return Api().ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<UINT_PTR>(address)),
                                   into, size, &done) && done == size;
  }

 private:
  HANDLE process_;
};

// A 64-bit process's memory, read from this 32-bit program through WOW64.
// Where the system cannot say what an address holds, nothing is read.
class Wow64Memory : public MemoryReader {
 public:
  explicit Wow64Memory(HANDLE p) : process_(p) {}
  bool Read(uint64_t address, void* into, size_t size) override {
    ULONGLONG done = 0;
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
    return Api().NtWow64ReadVirtualMemory64(process_, address, into, size, &done) >= 0 &&
           done == size;
  }

 private:
  HANDLE process_;
};

bool IsWow64(HANDLE p, bool& wow64) {
  BOOL on = FALSE;
  if (!Api().IsWow64Process(p, &on)) return false;
  wow64 = on != FALSE;
  return true;
}

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

// The account functions, bound at run time: the 9x family's ADVAPI32 need
// not export them, and only the NT family asks.
template <typename F>
F Advapi(const char* name) {
  HMODULE a = GetModuleHandleA("advapi32.dll");
  return a ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(a, name))) : nullptr;
}

std::wstring AccountOf(HANDLE p) {
  static const auto getTokenInformation = Advapi<decltype(&GetTokenInformation)>("GetTokenInformation");
  static const auto lookupAccountSid = Advapi<decltype(&LookupAccountSidW)>("LookupAccountSidW");
  if (!getTokenInformation || !lookupAccountSid) return {};
  HANDLE raw = nullptr;
  if (!Api().OpenProcessToken(p, TOKEN_QUERY, &raw)) return {};
  base::UniqueHandle token(raw);
  DWORD size = 0;
  getTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0 || size > 4096) return {};
  std::vector<unsigned char> buf(size);
  if (!getTokenInformation(token.get(), TokenUser, buf.data(), size, &size)) return {};
  wchar_t name[256] = {}, domain[256] = {};
  DWORD nameSize = 256, domainSize = 256;
  SID_NAME_USE use;
  if (!lookupAccountSid(nullptr, reinterpret_cast<TOKEN_USER*>(buf.data())->User.Sid, name,
                         &nameSize, domain, &domainSize, &use))
    return {};
  return domain[0] ? std::wstring(domain) + L"\\" + name : std::wstring(name);
}

}  // namespace

bool OnWow64() {
  bool wow64 = false;
  return IsWow64(GetCurrentProcess(), wow64) && wow64;
}

ProcessImage ReadProcessImage(DWORD pid) {
  ProcessImage image;
  const bool nt = PlatformId() == VER_PLATFORM_WIN32_NT;
  std::unique_ptr<DebugPrivilegeScope> privilege;
  if (nt) privilege = std::make_unique<DebugPrivilegeScope>();
  base::UniqueHandle p(Api().OpenProcess(kQueryAccess, FALSE, pid));
  if (!p) {
    image.access = Api().GetLastError() == ERROR_INVALID_PARAMETER ? ProcessImage::Access::Ended
                                                                    : ProcessImage::Access::Denied;
    return image;
  }
  DWORD code = 0;
  if (Api().GetExitCodeProcess(p.get(), &code) && code != STILL_ACTIVE) {
    image.access = ProcessImage::Access::Ended;
    return image;
  }
  image.access = ProcessImage::Access::Open;
  image.priorityClass = Api().GetPriorityClass(p.get());
  if (!nt) return image;  // the 9x family keeps no parameters block or account
  bool targetWow64 = false;
  const bool wow64Known = IsWow64(p.get(), targetWow64);
  image.bits = OnWow64() && wow64Known && !targetWow64 ? 64 : 32;
  if (image.bits == 64) {
    Wow64Memory memory(p.get());
    image.params = ReadProcessParams(memory, Wow64Peb(p.get()), PointerWidth::Bits64);
  } else {
    NativeMemory memory(p.get());
    image.params = ReadProcessParams(memory, NativePeb(p.get()), PointerWidth::Bits32);
  }
  image.user = AccountOf(p.get());
  return image;
}
