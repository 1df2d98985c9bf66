// The command line and current folder of another process, from its
// parameters block (RTL_USER_PROCESS_PARAMETERS, reached through its PEB),
// in the layout of a 32-bit or a 64-bit process. Needs no Windows: the
// memory is read through MemoryReader, so that hostile blocks run natively.
// Every address and length read is checked before it is used: a process can
// forge its own block and so show a wrong text, but never make the reader
// read past a length it checked, or read at all past 64 KB per text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Another process's memory. Read fills all `size` bytes or returns false.
class MemoryReader {
 public:
  virtual ~MemoryReader() = default;
  virtual bool Read(uint64_t address, void* into, size_t size) = 0;
};

enum class PointerWidth : uint8_t { Bits32, Bits64 };

struct ParamsText {
  enum class State : uint8_t {
    Unread,      // memory it needs could not be read
    Malformed,   // a length or address in the block cannot be true
    Read,
  };
  State state = State::Unread;
  std::u16string text;  // UTF-16 as the process keeps it; up to a NUL it holds
};

struct ProcessParams {
  ParamsText commandLine, currentFolder;
};

// `peb`: the address of the process's PEB of that width (0: unknown).
ProcessParams ReadProcessParams(MemoryReader& memory, uint64_t peb, PointerWidth width);
