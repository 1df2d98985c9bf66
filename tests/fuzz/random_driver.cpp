// Runs a fuzz target on random inputs when no fuzzing engine is linked:
// a bounded number of inputs from a fixed seed, mixing random bytes with
// the characters the parsers care about.
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Inputs every target runs first: blocks of their own whose text (from the
// second byte on) is of odd size, its last byte a zero: half a character,
// which a reader by whole UTF-16 characters never reads past.
const std::vector<std::vector<uint8_t>> kSeeds = {
    {0, 'a', 'b', 'c', 0},
    {0, 'a', 'b', 'c', 'd', 'e', 0},
};

int main(int argc, char** argv) {
  const long runs = argc > 1 ? std::atol(argv[1]) : 100000;
  for (const auto& seed : kSeeds) LLVMFuzzerTestOneInput(seed.data(), seed.size());
  std::mt19937 rng(12345);
  const uint8_t interesting[] = {'\t', '\r', '\n', '\0', ' ', '"', '\'', ',', '%', '.', ':',
                                 '\\', 'a', 'F', '0', 0x81, 0x95, 0x5C, 0xE0, 0xFC, 0x83};
  std::vector<uint8_t> buf;
  for (long i = 0; i < runs; ++i) {
    buf.resize(rng() % 600);
    for (auto& b : buf)
      b = (rng() % 3) ? interesting[rng() % sizeof interesting] : static_cast<uint8_t>(rng());
    LLVMFuzzerTestOneInput(buf.data(), buf.size());
  }
  return 0;
}
