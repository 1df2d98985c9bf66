#include "procinfo/handle_list.h"

#include <windows.h>

#include <algorithm>

#include "procinfo/process_api.h"
#include "procinfo/process_counters.h"

namespace {
constexpr ULONG kSystemHandleInformation = 16;
constexpr size_t kFirstRoom = 256 * 1024, kMostRoom = 64 * 1024 * 1024;
}  // namespace

bool HandleList::Count(uint32_t pid, uint32_t& count) {
  if (!ReadSystemList(kSystemHandleInformation, buffer_, kFirstRoom, kMostRoom)) return false;
  const int64_t n = CountProcessHandles(buffer_.data(), buffer_.size(), pid);
  if (n < 0) return false;
  count = static_cast<uint32_t>(n);
  return true;
}
