#include "productinfo/resource_check.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxDepth = 16;  // real blocks nest four deep

size_t Word(const unsigned char* p) { return p[0] | (p[1] << 8); }
size_t Align4(size_t n) { return (n + 3) & ~size_t{3}; }

// The 16-bit form has no type word: its ANSI key starts at offset 4.
bool Is16Bit(const unsigned char* block, size_t size) { return size > 4 && block[4] >= ' '; }

// The node at [at, limit): true when it and all its children are sound.
bool NodeIsSound(const unsigned char* b, size_t at, size_t limit, bool wide, int depth) {
  const size_t header = wide ? 6 : 4;
  if (depth > kMaxDepth || limit - at < header) return false;
  const size_t length = Word(b + at);
  if (length < header || length > limit - at) return false;
  const size_t end = at + length;
  // The key, zero-terminated inside the node.
  size_t p = at + header;
  const size_t unit = wide ? 2 : 1;
  for (;; p += unit) {
    if (end - p < unit) return false;
    if (b[p] == 0 && (!wide || b[p + 1] == 0)) break;
  }
  const size_t value = Align4(p + unit);
  const size_t valueLength = Word(b + at + 2);
  if (value >= end) return valueLength == 0;  // a key and nothing else
  // A text value may be counted in bytes or in characters: its byte count
  // must fit; the children start where the system expects them.
  if (valueLength > end - value) return false;
  const bool text = wide && Word(b + at + 4) != 0;
  size_t child = Align4(value + valueLength * (text ? 2 : 1));
  while (child < end) {
    if (!NodeIsSound(b, child, end, wide, depth + 1)) return false;
    child = Align4(child + Word(b + child));
  }
  return true;
}

}  // namespace

bool VersionBlockIs16Bit(const unsigned char* block, size_t size) {
  return block && Is16Bit(block, size);
}

bool VersionBlockIsSound(const unsigned char* block, size_t size) {
  if (!block || size < 6) return false;
  return NodeIsSound(block, 0, size, !Is16Bit(block, size), 0);
}

size_t VersionQueryRoom(const unsigned char* block, size_t size) {
  if (!block || size < 2) return size;
  return std::max(size, 2 * Word(block) + 4);
}

std::string TextUpToNul(const char* text, const char* begin, const char* end) {
  if (!text || text < begin || text >= end) return {};
  const void* nul = std::memchr(text, 0, static_cast<size_t>(end - text));
  return std::string(text, nul ? static_cast<const char*>(nul) : end);
}

size_t WideTextUnits(const unsigned char* text, const unsigned char* begin, const unsigned char* end) {
  if (!text || text < begin || text >= end) return 0;
  const size_t whole = static_cast<size_t>(end - text) / 2;
  size_t n = 0;
  while (n < whole && (text[2 * n] || text[2 * n + 1])) ++n;
  return n;
}

bool IconGroupIsSound(const unsigned char* group, size_t size,
                      const std::function<size_t(uint16_t)>& iconSize) {
  constexpr size_t kHeader = 6, kEntry = 14, kIdAt = 12;
  if (!group || size < kHeader) return false;
  const size_t count = Word(group + 4);
  if (count == 0 || count > (size - kHeader) / kEntry) return false;
  for (size_t i = 0; i < count; ++i) {
    const size_t id = Word(group + kHeader + i * kEntry + kIdAt);
    if (iconSize(static_cast<uint16_t>(id)) == 0) return false;
  }
  return true;
}
