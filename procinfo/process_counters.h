// One process's whole record in the whole-system process list
// (SystemProcessInformation): what the details window's performance section
// shows, and the parent and start time. Needs no Windows: the list arrives
// as bytes, laid out for the width of the program that asks.
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

// Where a record's fields lie. A 32-bit program gets the 32-bit layout, under
// WOW64 too; in the 64-bit one, IDs and sizes are pointer-wide.
struct ProcessListLayout {
  size_t createTime, userTime, kernelTime, basePriority, processId, parentId, handles,
      pageFaults, peakWorkingSet, workingSet, pagefileUsage, io;
  size_t word;  // the bytes of a pointer-wide field
  // The bytes a record's fields take, without and with I/O counters.
  constexpr size_t Room(bool withIo) const { return withIo ? io + 48 : pagefileUsage + word; }
};
inline constexpr ProcessListLayout kProcessList32{32, 40, 48, 64, 68, 72, 76, 96, 100, 104, 124, 136, 4};
inline constexpr ProcessListLayout kProcessList64{32, 40, 48, 72, 80, 88, 96, 128, 136, 144, 184, 208, 8};
// The layout the system writes for this program.
inline constexpr const ProcessListLayout& kOwnProcessList =
    sizeof(void*) == 8 ? kProcessList64 : kProcessList32;

// The one walk of the list: `each(record)` for each record whose first
// `room` bytes lie inside the buffer, until one would reach past it, its
// offset to the next leads nowhere, or `each` returns false.
bool WalkProcessRecords(const unsigned char* data, size_t size, size_t room,
                        const std::function<bool(const unsigned char*)>& each);
// The fields of one record (`withIo`: its I/O counters too, from Windows 2000 on).
void ReadProcessRecord(const ProcessListLayout& layout, const unsigned char* record, bool withIo,
                       ProcessCounters& out);

// Finds `pid`'s record; `withIo` where the system's records carry I/O
// counters. A record that would reach past the buffer is not read.
bool FindProcessCounters(const ProcessListLayout& layout, const unsigned char* data, size_t size,
                         uint32_t pid, bool withIo, ProcessCounters& out);

// True when the parent of a process started at `childCreated` has ended:
// the list has no process `parentPid`, or the process holding that ID now
// started after the child (the ID was reused). ID 0 is no parent at all.
bool ParentEnded(const ProcessListLayout& layout, const unsigned char* data, size_t size,
                 uint32_t parentPid, uint64_t childCreated);
