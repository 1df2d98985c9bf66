#include "procinfo/figure_reader.h"

#include <windows.h>

#include <algorithm>

#include "procinfo/process_api.h"

namespace {

constexpr ULONG kSystemProcessInformation = 5;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
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
  if (buffer_.empty()) buffer_.resize(kFirstRoom);
  for (;;) {
    ULONG needed = 0;
    const LONG status = Api().NtQuerySystemInformation(
        kSystemProcessInformation, buffer_.data(), static_cast<ULONG>(buffer_.size()), &needed);
    if (status >= 0) {
      filled_ = needed && needed < buffer_.size() ? needed : buffer_.size();
      sampler.Take(ParseProcessList(buffer_.data(), filled_), Now(), Processors());
      return true;
    }
    // The list grows between two calls: ask again with room to spare.
    if (status != kInfoLengthMismatch || buffer_.size() >= kMostRoom) break;
    buffer_.resize(std::min(kMostRoom, std::max<size_t>(buffer_.size() * 2, needed + needed / 4)));
  }
  filled_ = 0;
  sampler.Fail();
  return false;
}
