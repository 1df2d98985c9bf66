// Fuzz target: loader lists whose every field is the input's, their links
// and name addresses aimed in and around the input's own bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "procinfo/loader_list.h"

namespace {

constexpr uint64_t kBase = 0x10000;

struct InputMemory : MemoryReader {
  std::vector<unsigned char> bytes;
  size_t reads = 0;
  bool Read(uint64_t address, void* into, size_t size) override {
    ++reads;
    if (size > 2 * kMostNameUnits) __builtin_trap();  // no read past the cut
    if (address < kBase || address - kBase > bytes.size() || size > bytes.size() - (address - kBase))
      return false;
    std::memcpy(into, bytes.data() + (address - kBase), size);
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool is64 : {false, true}) {
    InputMemory m;
    m.bytes.assign(data, data + size);
    const size_t width = is64 ? 8 : 4;
    // Every aligned pointer-sized value aimed inside the input or just past it.
    for (size_t at = 0; at + width <= m.bytes.size(); at += width) {
      uint64_t raw = 0;
      std::memcpy(&raw, &m.bytes[at], width);
      raw = kBase + raw % (m.bytes.size() + 64);
      std::memcpy(&m.bytes[at], &raw, width);
    }
    const size_t most = 64;
    const LoaderList l = ReadLoaderList(m, kBase, is64 ? PointerWidth::Bits64 : PointerWidth::Bits32, most);
    if (l.modules.size() > most || m.reads > 3 * most + 8) __builtin_trap();
    for (const LoaderModule& mod : l.modules)
      if (mod.name.size() > kMostNameUnits || mod.path.size() > kMostNameUnits) __builtin_trap();
  }
  return 0;
}
