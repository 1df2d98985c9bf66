#include "procinfo/handle_list.h"

#include <windows.h>

#include <algorithm>

#include "procinfo/process_api.h"
#include "procinfo/process_counters.h"

namespace {
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr size_t kFirstRoom = 256 * 1024, kMostRoom = 64 * 1024 * 1024;
}  // namespace

bool HandleList::Count(uint32_t pid, uint32_t& count) {
  if (buffer_.empty()) buffer_.resize(kFirstRoom);
  for (;;) {
    ULONG needed = 0;
    const LONG status = Api().NtQuerySystemInformation(
        kSystemHandleInformation, buffer_.data(), static_cast<ULONG>(buffer_.size()), &needed);
    if (status >= 0) {
      const int64_t n = CountProcessHandles(buffer_.data(), buffer_.size(), pid);
      if (n < 0) return false;
      count = static_cast<uint32_t>(n);
      return true;
    }
    // The list grows between two calls: ask again with room to spare.
    if (status != kInfoLengthMismatch || buffer_.size() >= kMostRoom) return false;
    buffer_.resize(std::min(kMostRoom, std::max<size_t>(buffer_.size() * 2, needed + needed / 4)));
  }
}
