#include "procinfo/figures.h"

#include <algorithm>
#include <cstring>

#include "procinfo/process_counters.h"

std::vector<ProcessSample> ParseProcessList(const ProcessListLayout& layout,
                                            const unsigned char* data, size_t size) {
  std::vector<ProcessSample> out;
  WalkProcessRecords(data, size, layout.Room(false), [&](const unsigned char* r) {
    ProcessCounters c;
    ReadProcessRecord(layout, r, false, c);
    out.push_back({c.pid, c.created, c.userTime + c.kernelTime, c.privateBytes});
    return true;
  });
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
