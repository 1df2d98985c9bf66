#include "procinfo/figure_reader.h"

#include <windows.h>

#include <algorithm>

#include "procinfo/process_api.h"
#include "procinfo/process_counters.h"

namespace {

constexpr ULONG kSystemProcessInformation = 5;
constexpr size_t kFirstRoom = 64 * 1024, kMostRoom = 64 * 1024 * 1024;

uint64_t Now() {
  FILETIME t;
  GetSystemTimeAsFileTime(&t);
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

unsigned Processors() {
  SYSTEM_INFO si{};
  GetSystemInfo(&si);
  return si.dwNumberOfProcessors ? si.dwNumberOfProcessors : 1;
}

}  // namespace

bool FigureReader::Read(FigureSampler& sampler) {
  filled_ = ReadSystemList(kSystemProcessInformation, buffer_, kFirstRoom, kMostRoom);
  if (!filled_) {
    sampler.Fail();
    return false;
  }
  sampler.Take(ParseProcessList(kOwnProcessList, buffer_.data(), filled_), Now(), Processors());
  return true;
}

std::vector<uint32_t> FigureReader::ProcessIds() const {
  std::vector<uint32_t> ids;
  for (const ProcessSample& s : ParseProcessList(kOwnProcessList, buffer_.data(), filled_)) ids.push_back(s.pid);
  return ids;
}
