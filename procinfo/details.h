// What the details panel reads live for one process when it is selected.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct LiveDetails {
  uint32_t PriorityClass = 0;  // as GetProcessPriority reports it
  std::vector<std::string> WindowTitles;  // its application windows, in enumeration order
  std::vector<std::wstring> TrueTitles;   // of each title: its true form, or empty
};

LiveDetails ReadLiveDetails(DWORD pid);
