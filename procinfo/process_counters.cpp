#include "procinfo/process_counters.h"

#include <cstring>

#include "base/bytes.h"

namespace {

constexpr size_t kNextOffset = 0, kThreads = 4;
static_assert(kProcessList32.Room(false) == 128 && kProcessList32.Room(true) == 184);
static_assert(kProcessList64.Room(false) == 192 && kProcessList64.Room(true) == 256);

// A pointer-wide field; IDs fit their low 32 bits.
uint64_t Word(const ProcessListLayout& l, const unsigned char* r, size_t at) {
  return l.word == 8 ? At<uint64_t>(r, at) : At<uint32_t>(r, at);
}

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

void ReadProcessRecord(const ProcessListLayout& l, const unsigned char* r, bool withIo,
                       ProcessCounters& c) {
  c = ProcessCounters{};
  c.pid = At<uint32_t>(r, l.processId);
  c.parentPid = At<uint32_t>(r, l.parentId);
  c.created = At<uint64_t>(r, l.createTime);
  c.userTime = At<uint64_t>(r, l.userTime);
  c.kernelTime = At<uint64_t>(r, l.kernelTime);
  c.threads = At<uint32_t>(r, kThreads);
  c.handles = At<uint32_t>(r, l.handles);
  c.basePriority = At<int32_t>(r, l.basePriority);
  c.pageFaults = At<uint32_t>(r, l.pageFaults);
  c.peakWorkingSet = Word(l, r, l.peakWorkingSet);
  c.workingSet = Word(l, r, l.workingSet);
  c.privateBytes = Word(l, r, l.pagefileUsage);
  c.hasIo = withIo;
  if (!withIo) return;
  IoFigures* io[] = {&c.reads, &c.writes, &c.others};
  for (size_t k = 0; k < 3; ++k) {
    io[k]->count = At<uint64_t>(r, l.io + 8 * k);
    io[k]->bytes = At<uint64_t>(r, l.io + 24 + 8 * k);
  }
}

bool FindProcessCounters(const ProcessListLayout& l, const unsigned char* data, size_t size,
                         uint32_t pid, bool withIo, ProcessCounters& out) {
  return WalkProcessRecords(data, size, l.Room(withIo), [&](const unsigned char* r) {
    if (At<uint32_t>(r, l.processId) != pid) return true;
    ReadProcessRecord(l, r, withIo, out);
    return false;
  });
}

bool ParentEnded(const ProcessListLayout& l, const unsigned char* data, size_t size,
                 uint32_t parentPid, uint64_t childCreated) {
  ProcessCounters parent;
  return !FindProcessCounters(l, data, size, parentPid, false, parent) ||
         parent.created > childCreated;
}
