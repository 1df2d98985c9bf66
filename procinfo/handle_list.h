// The handles of one process, counted in the whole-system handle list
// (NtQuerySystemInformation, SystemHandleInformation; ntdll, NT family).
#pragma once
#include <cstdint>
#include <vector>

class HandleList {
 public:
  // False where the list cannot be read (then `count` is untouched).
  bool Count(uint32_t pid, uint32_t& count);

 private:
  std::vector<unsigned char> buffer_;  // kept: the next reading fits it as a rule
};
