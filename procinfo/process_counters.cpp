#include "procinfo/process_counters.h"

#include <cstring>

#include "base/bytes.h"

namespace {

// Offsets in a 32-bit SYSTEM_PROCESS_INFORMATION record.
constexpr size_t kNextOffset = 0, kThreads = 4, kCreateTime = 32, kUserTime = 40,
                 kKernelTime = 48, kBasePriority = 64, kProcessId = 68, kParentId = 72,
                 kHandles = 76, kPageFaults = 96, kPeakWorkingSet = 100, kWorkingSet = 104,
                 kPagefileUsage = 124, kIo = 136;
constexpr size_t kWithoutIo = kPagefileUsage + 4, kWithIo = kIo + 48;

void Fill(const unsigned char* r, bool withIo, ProcessCounters& c) {
  c.pid = At<uint32_t>(r, kProcessId);
  c.parentPid = At<uint32_t>(r, kParentId);
  c.created = At<uint64_t>(r, kCreateTime);
  c.userTime = At<uint64_t>(r, kUserTime);
  c.kernelTime = At<uint64_t>(r, kKernelTime);
  c.threads = At<uint32_t>(r, kThreads);
  c.handles = At<uint32_t>(r, kHandles);
  c.basePriority = At<int32_t>(r, kBasePriority);
  c.pageFaults = At<uint32_t>(r, kPageFaults);
  c.peakWorkingSet = At<uint32_t>(r, kPeakWorkingSet);
  c.workingSet = At<uint32_t>(r, kWorkingSet);
  c.privateBytes = At<uint32_t>(r, kPagefileUsage);
  c.hasIo = withIo;
  if (!withIo) return;
  IoFigures* io[] = {&c.reads, &c.writes, &c.others};
  for (size_t k = 0; k < 3; ++k) {
    io[k]->count = At<uint64_t>(r, kIo + 8 * k);
    io[k]->bytes = At<uint64_t>(r, kIo + 24 + 8 * k);
  }
}

}  // namespace

bool FindProcessCounters(const unsigned char* data, size_t size, uint32_t pid, bool withIo,
                         ProcessCounters& out) {
  const size_t record = withIo ? kWithIo : kWithoutIo;
  size_t at = 0;
  while (data && size >= record && at <= size - record) {
    const unsigned char* r = data + at;
    if (At<uint32_t>(r, kProcessId) == pid) {
      out = ProcessCounters{};
      Fill(r, withIo, out);
      return true;
    }
    const uint32_t next = At<uint32_t>(r, kNextOffset);
    if (next == 0 || next > size - at) break;
    at += next;
  }
  return false;
}

bool ParentEnded(const unsigned char* data, size_t size, uint32_t parentPid, uint64_t childCreated) {
  ProcessCounters parent;
  return !FindProcessCounters(data, size, parentPid, false, parent) || parent.created > childCreated;
}
