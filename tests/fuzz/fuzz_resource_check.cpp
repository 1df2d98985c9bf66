// Fuzz target: the version block and icon group checks. Whatever a check
// passes, a reader that trusts every length (as the system's readers do)
// stays inside the bytes; the sanitizers see any step outside. A seed holds
// a block of odd size whose text has no zero: its last half character.
#include <cstdint>
#include <cstring>
#include <vector>

#include "productinfo/resource_check.h"
#include "tests/native/version_block_builder.h"

namespace {

size_t Word(const unsigned char* p) { return p[0] | (p[1] << 8); }

// Walks like VerQueryValue's child search: from each node's children to
// the node's end, stepping by each child's length.
size_t TrustingWalk(const unsigned char* b, size_t at, bool wide, int depth) {
  size_t visited = 1;
  const size_t end = at + Word(b + at);
  size_t p = at + (wide ? 6 : 4);
  if (wide) while (b[p] || b[p + 1]) p += 2;
  else while (b[p]) ++p;
  p = (p + (wide ? 2 : 1) + 3) & ~size_t{3};
  const bool text = wide && Word(b + at + 4) != 0;
  size_t child = (p + Word(b + at + 2) * (text ? 2 : 1) + 3) & ~size_t{3};
  while (child < end && depth < 64) {
    visited += TrustingWalk(b, child, wide, depth + 1);
    child += (Word(b + child) + 3) & ~size_t{3};
  }
  return visited;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Half the inputs are blocks of their own; half edit a sound block.
  std::vector<unsigned char> block;
  if (size > 0 && data[0] % 2 == 0) {
    block.assign(data + 1, data + size);
  } else {
    block = vblock::SoundBlock();
    for (size_t i = 1; i + 1 < size; i += 2) block[data[i] % block.size()] = data[i + 1];
    if (size % 3 == 0) block.resize(size % block.size());
  }
  // An exact-size heap copy, so a read past the end is caught.
  std::vector<unsigned char> exact(block);
  const unsigned char* b = exact.empty() ? nullptr : exact.data();
  if (VersionBlockIsSound(b, exact.size())) {
    if (VersionQueryRoom(b, exact.size()) < 2 * Word(b) + 4) __builtin_trap();
    TrustingWalk(b, 0, b[4] < ' ', 0);
  }
  auto iconSize = [](uint16_t id) -> size_t { return id % 3 ? 40 : 0; };
  if (IconGroupIsSound(b, exact.size(), iconSize)) {
    for (size_t i = 0, n = Word(b + 4); i < n; ++i)
      if (iconSize(static_cast<uint16_t>(Word(b + 6 + i * 14 + 12))) == 0) __builtin_trap();
  }
  const char* text = reinterpret_cast<const char*>(b);
  if (b) TextUpToNul(text + size % exact.size(), text, text + exact.size());
  if (b) WideTextUnits(b + size % exact.size(), b, b + exact.size());
  return 0;
}
