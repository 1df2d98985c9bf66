// One reading of every process's figures from the whole-system process list
// (NtQuerySystemInformation, through the process-API seam). Under Wine,
// GetProcessTimes and GetProcessMemoryInfo give nothing true for another
// process; this one call does, on Windows too, from NT 4.0 on.
#pragma once
#include <vector>

#include "procinfo/figures.h"

class FigureReader {
 public:
  // Takes a reading into `sampler`; on failure (the 9x family, a refused
  // call) every figure there becomes unknown and false is returned.
  bool Read(FigureSampler& sampler);
  // The last reading's list as the system wrote it; empty after a failure.
  const unsigned char* Data() const { return buffer_.data(); }
  size_t Size() const { return filled_; }
  // The identifiers of the processes in the last reading, in its order.
  std::vector<uint32_t> ProcessIds() const;

 private:
  std::vector<unsigned char> buffer_;  // kept: the next reading fits it as a rule
  size_t filled_ = 0;
};
