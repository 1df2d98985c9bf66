#include "procinfo/figures.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"

namespace {

// Offsets in a 32-bit SYSTEM_PROCESS_INFORMATION record.
constexpr size_t kNextOffset = 0, kCreateTime = 32, kUserTime = 40, kKernelTime = 48,
                 kProcessId = 68, kPagefileUsage = 124;
// The fields read end here; a record is longer (its threads follow).
constexpr size_t kRecordSize = kPagefileUsage + 4;

}  // namespace

std::vector<ProcessSample> ParseProcessList(const unsigned char* data, size_t size) {
  std::vector<ProcessSample> out;
  size_t at = 0;
  while (data && size >= kRecordSize && at <= size - kRecordSize) {
    const unsigned char* r = data + at;
    ProcessSample s;
    s.pid = At<uint32_t>(r, kProcessId);
    s.created = At<uint64_t>(r, kCreateTime);
    s.cpuTime = At<uint64_t>(r, kUserTime) + At<uint64_t>(r, kKernelTime);
    s.privateBytes = At<uint32_t>(r, kPagefileUsage);
    out.push_back(s);
    const uint32_t next = At<uint32_t>(r, kNextOffset);
    if (next == 0 || next > size - at) break;
    at += next;
  }
  return out;
}

void FigureSampler::Take(std::vector<ProcessSample> samples, uint64_t now, unsigned processors) {
  const uint64_t elapsed = taken_ && now > lastTime_ ? now - lastTime_ : 0;
  const uint64_t capacity = elapsed * std::max(1u, processors);
  std::unordered_map<uint32_t, Kept> next;
  next.reserve(samples.size());
  for (const ProcessSample& s : samples) {
    int tenths = -1;
    auto it = last_.find(s.pid);
    if (capacity > 0 && it != last_.end() && it->second.created == s.created &&
        s.cpuTime >= it->second.cpuTime) {
      const uint64_t used = s.cpuTime - it->second.cpuTime;
      tenths = static_cast<int>(std::min<uint64_t>(1000, (used * 1000 + capacity / 2) / capacity));
    }
    next[s.pid] = Kept{s.created, s.cpuTime, s.privateBytes, tenths};
  }
  last_ = std::move(next);
  lastTime_ = now;
  taken_ = true;
}

void FigureSampler::Fail() {
  last_.clear();
  taken_ = false;
}

ProcessFigures FigureSampler::Of(uint32_t pid, uint64_t created) const {
  ProcessFigures f;
  if (!taken_) return f;
  auto it = last_.find(pid);
  if (it == last_.end() || (created != 0 && it->second.created != created)) {
    f.state = ProcessFigures::State::Ended;
    return f;
  }
  f.state = ProcessFigures::State::Live;
  f.cpuTenths = it->second.cpuTenths;
  f.privateBytes = it->second.privateBytes;
  return f;
}
