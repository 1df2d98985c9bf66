// Each process's processor time and private bytes from the whole-system
// process list (SystemProcessInformation), and its share of the machine
// between two readings. Needs no Windows: the list arrives as bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

struct ProcessSample {
  uint32_t pid = 0;
  uint64_t created = 0;       // 100 ns units since 1601, as the system keeps it
  uint64_t cpuTime = 0;       // user + kernel, 100 ns units
  uint64_t privateBytes = 0;  // the page-file figure: committed for this process alone
};

// The records of a SystemProcessInformation buffer in `layout` (each width's
// the same from NT 4.0 on). A record that would reach past the buffer, or an
// offset that goes backwards, ends the list there.
struct ProcessListLayout;
std::vector<ProcessSample> ParseProcessList(const ProcessListLayout& layout,
                                            const unsigned char* data, size_t size);

// What the list draws for one process.
struct ProcessFigures {
  enum class State : uint8_t { Unknown, Live, Ended };
  State state = State::Unknown;
  int cpuTenths = -1;  // tenths of a per cent of the whole machine; -1 before a second reading
  uint64_t privateBytes = 0;
  bool operator==(const ProcessFigures&) const = default;
};

// Readings taken one after the other; each gives every process's share of
// the machine since the one before.
class FigureSampler {
 public:
  // `now` in 100 ns units, `processors` at least 1.
  void Take(std::vector<ProcessSample> samples, uint64_t now, unsigned processors);
  // The figures of process `pid` started at `created` (0: not known), by the
  // last reading: Ended when a reading has no such process any more.
  ProcessFigures Of(uint32_t pid, uint64_t created) const;
  // A reading that could not be taken: every figure is Unknown until the next.
  void Fail();
  bool HasReading() const { return taken_; }

 private:
  struct Kept {
    uint64_t created, cpuTime, privateBytes;
    int cpuTenths;
  };
  std::unordered_map<uint32_t, Kept> last_;
  uint64_t lastTime_ = 0;
  bool taken_ = false;
};
