// One process's whole record in the whole-system process list
// (SystemProcessInformation, as the 32-bit system lays it out): what the
// details window's performance section shows, and the parent and start time.
// Needs no Windows: the list arrives as bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

struct IoFigures {
  uint64_t count = 0, bytes = 0;
};

struct ProcessCounters {
  uint32_t pid = 0, parentPid = 0;
  uint64_t created = 0;                 // 100 ns units since 1601
  uint64_t userTime = 0, kernelTime = 0;  // 100 ns units
  uint32_t threads = 0, handles = 0;
  int32_t basePriority = 0;
  uint32_t pageFaults = 0;
  uint64_t peakWorkingSet = 0, workingSet = 0, privateBytes = 0;
  bool hasIo = false;  // the list carries I/O counters from Windows 2000 on
  IoFigures reads, writes, others;
};

// The one walk of the list: `each(record)` for each record whose first
// `room` bytes lie inside the buffer, until one would reach past it, its
// offset to the next leads nowhere, or `each` returns false.
bool WalkProcessRecords(const unsigned char* data, size_t size, size_t room,
                        const std::function<bool(const unsigned char*)>& each);
// The fields of one record (`withIo`: its I/O counters too, from Windows 2000 on).
void ReadProcessRecord(const unsigned char* record, bool withIo, ProcessCounters& out);
// The bytes a record's fields take, without and with I/O counters.
inline constexpr size_t kProcessRecordRoom = 128, kProcessRecordRoomWithIo = 184;

// Finds `pid`'s record; `withIo` where the system's records carry I/O
// counters. A record that would reach past the buffer is not read.
bool FindProcessCounters(const unsigned char* data, size_t size, uint32_t pid, bool withIo,
                         ProcessCounters& out);

// True when the parent of a process started at `childCreated` has ended:
// the list has no process `parentPid`, or the process holding that ID now
// started after the child (the ID was reused). ID 0 is no parent at all.
bool ParentEnded(const unsigned char* data, size_t size, uint32_t parentPid, uint64_t childCreated);
