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

template <typename T>
void PutNear(std::vector<unsigned char>& b, size_t at, size_t width) {
  if (at + width > b.size()) return;
  T raw;
  std::memcpy(&raw, &b[at], sizeof raw);
  const T aimed = static_cast<T>(kBase + raw % (b.size() + 64));  // inside, or just past the end
  std::memcpy(&b[at], &aimed, width);
}

template <typename T>
void Put(std::vector<unsigned char>& b, size_t at, uint64_t v) {
  const T t = static_cast<T>(v);
  std::memcpy(&b[at], &t, sizeof t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool is64 : {false, true}) {
    InputMemory m;
    m.bytes.assign(data, data + size);
    const size_t blockAt = 0x20;
    // The PEB at the input's start points at the block; string addresses near the input.
    // An odd first byte lets the PEB point anywhere near the input instead.
    const bool anywhere = size > 0 && (data[0] & 1);
    if (is64) {
      if (anywhere) PutNear<uint64_t>(m.bytes, 0x20, 8);
      else if (m.bytes.size() >= 0x28) Put<uint64_t>(m.bytes, 0x20, kBase + blockAt);
      PutNear<uint64_t>(m.bytes, blockAt + 0x38 + 8, 8);
      PutNear<uint64_t>(m.bytes, blockAt + 0x70 + 8, 8);
    } else {
      if (anywhere) PutNear<uint32_t>(m.bytes, 0x10, 4);
      else if (m.bytes.size() >= 0x14) Put<uint32_t>(m.bytes, 0x10, kBase + blockAt);
      PutNear<uint32_t>(m.bytes, blockAt + 0x24 + 4, 4);
      PutNear<uint32_t>(m.bytes, blockAt + 0x40 + 4, 4);
    }
    const ProcessParams p =
        ReadProcessParams(m, kBase, is64 ? PointerWidth::Bits64 : PointerWidth::Bits32);
    for (const ParamsText* t : {&p.commandLine, &p.currentFolder})
      if (t->text.size() > size / 2 || (t->state != ParamsText::State::Read && !t->text.empty()))
        __builtin_trap();
  }
  return 0;
}
