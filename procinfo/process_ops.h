// Reading and setting a process's priority class, and stopping a process.
// Each opens the process through one access sequence (the debug privilege
// on for the length of the operation, on the NT family).
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "procinfo/process_tree.h"

inline constexpr uint32_t kPriorityFailed = 0xFFFF;

// The class GetPriorityClass reports; 0 when it fails, 0xFFFF when the
// process cannot be opened.
uint32_t GetProcessPriority(DWORD pid);

// `created`, when given, is when the listed process started: a process that
// took over its identifier since is left alone. True when the class was set.
bool SetProcessPriority(DWORD pid, DWORD priorityClass, const FILETIME* created = nullptr);

// Asks for `priorityClass`, then reads back the class in effect: the system
// may refuse, or quietly give another class (real-time becomes high without
// the privilege to raise). Where the class cannot be read back, the class
// asked for if it was set, else kPriorityFailed.
uint32_t ChangeProcessPriority(DWORD pid, DWORD priorityClass, const FILETIME* created = nullptr);

// True when the process now holding `pid` provably started at another time
// than `created`: the listed process has ended and its ID was reused.
bool ProcessReplaced(DWORD pid, const FILETIME* created);

// Terminates the process with exit code 0 if it is still running (and is
// the process that started at `created`, when given).
void StopProcess(DWORD pid, const FILETIME* created = nullptr);

// Every process of one ToolHelp snapshot (both families have it) with its
// parent's ID and, where it can be read, when it started.
std::vector<ProcessRecord> ReadProcessRecords();

// Whether the process can be opened to be stopped.
bool CanStop(DWORD pid);

// Stops the process if it is the one that started at `created` (any, when
// 0), then waits up to `waitMs` for its end. True when it has ended or is
// gone; a process that took over its ID since is left alone, and true.
bool StopAndWait(DWORD pid, uint64_t created, DWORD waitMs);
