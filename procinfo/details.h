// What the details panel reads live for one process when it is selected.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct LiveDetails {
  uint32_t PriorityClass = 0;  // as GetProcessPriority reports it
  std::vector<std::wstring> WindowTitles;  // its application windows, in enumeration order
};

LiveDetails ReadLiveDetails(DWORD pid);
