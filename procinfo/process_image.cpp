#include "procinfo/process_image.h"

#include <memory>
#include <vector>

#include "base/handles.h"
#include "base/late_bound.h"
#include "procinfo/access_rights.h"
#include "procinfo/privilege.h"
#include "procinfo/process_api.h"
#include "procinfo/process_memory.h"

namespace {

bool IsWow64(HANDLE p, bool& wow64) {
  BOOL on = FALSE;
  if (!Api().IsWow64Process(p, &on)) return false;
  wow64 = on != FALSE;
  return true;
}

// The account functions are bound at run time: the 9x family's ADVAPI32 need
// not export them, and only the NT family asks.
std::wstring AccountOf(HANDLE p) {
  static const auto getTokenInformation =
      base::LateBound<decltype(&GetTokenInformation)>("advapi32.dll", "GetTokenInformation");
  static const auto lookupAccountSid =
      base::LateBound<decltype(&LookupAccountSidW)>("advapi32.dll", "LookupAccountSidW");
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
  if (kWideProgram) image.bits = wow64Known && targetWow64 ? 32 : 64;
  else image.bits = OnWow64() && wow64Known && !targetWow64 ? 64 : 32;
  const PebPlace place = PebOf(p.get(), image.bits);
  NativeMemory native(p.get());
  Wow64Memory wow64(p.get());
  MemoryReader& memory = place.throughWow64 ? static_cast<MemoryReader&>(wow64) : native;
  image.params = ReadProcessParams(memory, place.peb, place.width);
  image.user = AccountOf(p.get());
  return image;
}
