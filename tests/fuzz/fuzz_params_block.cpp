// Fuzz target: parameters blocks whose every field is the input's, their
// string addresses aimed in and around the input's own bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "procinfo/params_block.h"

namespace {

constexpr uint64_t kBase = 0x10000;

struct InputMemory : MemoryReader {
  std::vector<unsigned char> bytes;
  bool Read(uint64_t address, void* into, size_t size) override {
    if (size > 0xFFFF) __builtin_trap();  // a text is never longer than its 16-bit length
    if (address < kBase || address - kBase > bytes.size() || size > bytes.size() - (address - kBase))
      return false;
    std::memcpy(into, bytes.data() + (address - kBase), size);
    return true;
  }
};

// The pointer of `width` bytes at `at` aimed inside the input or just past
// its end (little-endian, as both layouts are).
void Aim(std::vector<unsigned char>& b, size_t at, size_t width) {
  if (at + width > b.size()) return;
  uint64_t raw = 0;
  std::memcpy(&raw, &b[at], width);
  raw = kBase + raw % (b.size() + 64);
  std::memcpy(&b[at], &raw, width);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool is64 : {false, true}) {
    InputMemory m;
    m.bytes.assign(data, data + size);
    // The PEB at the input's start points at the block at 0x40, or, after an
    // odd first byte, anywhere near the input; string addresses near it too.
    const size_t width = is64 ? 8 : 4, blockAt = 0x40, pebField = is64 ? 0x20 : 0x10;
    uint64_t block = kBase + blockAt;
    if (size > 0 && (data[0] & 1)) Aim(m.bytes, pebField, width);
    else if (m.bytes.size() >= pebField + width) std::memcpy(&m.bytes[pebField], &block, width);
    Aim(m.bytes, blockAt + (is64 ? 0x38 + 8 : 0x24 + 4), width);
    Aim(m.bytes, blockAt + (is64 ? 0x70 + 8 : 0x40 + 4), width);
    const ProcessParams p =
        ReadProcessParams(m, kBase, is64 ? PointerWidth::Bits64 : PointerWidth::Bits32);
    for (const ParamsText* t : {&p.commandLine, &p.currentFolder})
      if (t->text.size() > size / 2 || (t->state != ParamsText::State::Read && !t->text.empty()))
        __builtin_trap();
  }
  return 0;
}
