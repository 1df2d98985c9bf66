#include "procinfo/process_counters.h"

#include <cstring>

#include "base/bytes.h"

namespace {

// Offsets in a 32-bit SYSTEM_PROCESS_INFORMATION record.
constexpr size_t kNextOffset = 0, kThreads = 4, kCreateTime = 32, kUserTime = 40,
                 kKernelTime = 48, kBasePriority = 64, kProcessId = 68, kParentId = 72,
                 kHandles = 76, kPageFaults = 96, kPeakWorkingSet = 100, kWorkingSet = 104,
                 kPagefileUsage = 124, kIo = 136;
static_assert(kProcessRecordRoom == kPagefileUsage + 4 && kProcessRecordRoomWithIo == kIo + 48);

}  // namespace

bool WalkProcessRecords(const unsigned char* data, size_t size, size_t room,
                        const std::function<bool(const unsigned char*)>& each) {
  size_t at = 0;
  while (data && size >= room && at <= size - room) {
    if (!each(data + at)) return true;
    const uint32_t next = At<uint32_t>(data + at, kNextOffset);
    if (next == 0 || next > size - at) break;
    at += next;
  }
  return false;
}

void ReadProcessRecord(const unsigned char* r, bool withIo, ProcessCounters& c) {
  c = ProcessCounters{};
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

bool FindProcessCounters(const unsigned char* data, size_t size, uint32_t pid, bool withIo,
                         ProcessCounters& out) {
  return WalkProcessRecords(data, size, withIo ? kProcessRecordRoomWithIo : kProcessRecordRoom,
                            [&](const unsigned char* r) {
                              if (At<uint32_t>(r, kProcessId) != pid) return true;
                              ReadProcessRecord(r, withIo, out);
                              return false;
                            });
}

bool ParentEnded(const unsigned char* data, size_t size, uint32_t parentPid, uint64_t childCreated) {
  ProcessCounters parent;
  return !FindProcessCounters(data, size, parentPid, false, parent) || parent.created > childCreated;
}
