// Every process as a ToolHelp process snapshot lists it: the facts the 9x
// family has (name, parent, threads, base priority), and each parent's name
// on the NT family.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>

struct ToolhelpProcess {
  std::wstring name;
  uint32_t parentPid = 0, threads = 0;
  int32_t basePriority = 0;
};

// Empty when no snapshot could be taken.
std::unordered_map<uint32_t, ToolhelpProcess> ReadToolhelpProcesses();
