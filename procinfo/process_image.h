// What the details window reads once about a process, by opening it: its
// width, command line and folder (from its parameters block), account and
// priority class. Each fact says whether it could be read and why not.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "procinfo/params_block.h"

struct ProcessImage {
  enum class Access : uint8_t { Open, Denied, Ended };
  Access access = Access::Denied;
  int bits = 0;  // 32 or 64; 0 where it is not known
  ProcessParams params;
  std::wstring user;        // domain\name; empty where it could not be read
  uint32_t priorityClass = 0;  // 0 where it could not be read
};

// Whether the process is still the one the caller means is for the caller
// to judge by its start time in the system's list: under Wine,
// GetProcessTimes gives nothing true for another process.
ProcessImage ReadProcessImage(DWORD pid);

// True when this 32-bit program runs on 64-bit Windows.
bool OnWow64();
