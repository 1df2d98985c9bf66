// Builds version resource nodes byte by byte, the way resource compilers
// lay them out, so tests can make sound blocks and then break them.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vblock {

using Bytes = std::vector<unsigned char>;

inline void PutWord(Bytes& b, size_t at, size_t v) {
  b[at] = static_cast<unsigned char>(v & 0xFF);
  b[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

inline void Pad4(Bytes& b) {
  while (b.size() % 4) b.push_back(0);
}

// A 32-bit node: ASCII key as UTF-16, `value` bytes (text counted in
// characters when `text`), the children appended 4-aligned.
inline Bytes Node(const std::string& key, const Bytes& value, bool text,
                  const std::vector<Bytes>& children = {}) {
  Bytes b(6, 0);
  for (char c : key) {
    b.push_back(static_cast<unsigned char>(c));
    b.push_back(0);
  }
  b.push_back(0);
  b.push_back(0);
  Pad4(b);
  b.insert(b.end(), value.begin(), value.end());
  for (const Bytes& c : children) {
    Pad4(b);
    b.insert(b.end(), c.begin(), c.end());
  }
  PutWord(b, 0, b.size());
  PutWord(b, 2, text ? value.size() / 2 : value.size());
  PutWord(b, 4, text ? 1 : 0);
  return b;
}

inline Bytes Wide(const std::string& ascii) {  // with its terminating zero
  Bytes v;
  for (char c : ascii) {
    v.push_back(static_cast<unsigned char>(c));
    v.push_back(0);
  }
  v.push_back(0);
  v.push_back(0);
  return v;
}

// VS_VERSION_INFO with a fixed-info value, one string table (Japanese,
// code page 932) holding CompanyName and FileDescription, and a translation.
inline Bytes SoundBlock(const std::string& company = "Co",
                        const std::string& description = "Desc") {
  Bytes fixed(52, 0);
  fixed[0] = 0xBD, fixed[1] = 0x04, fixed[2] = 0xEF, fixed[3] = 0xFE;  // signature
  Bytes table = Node("041103A4", {}, true,
                     {Node("CompanyName", Wide(company), true),
                      Node("FileDescription", Wide(description), true)});
  Bytes strings = Node("StringFileInfo", {}, true, {table});
  Bytes var = Node("VarFileInfo", {}, true, {Node("Translation", {0x11, 0x04, 0xA4, 0x03}, false)});
  return Node("VS_VERSION_INFO", fixed, false, {strings, var});
}

// Offset of the node whose key is `key` (its first occurrence).
inline size_t KeyOffset(const Bytes& b, const std::string& key) {
  Bytes wide = Wide(key);
  for (size_t i = 6; i + wide.size() <= b.size(); ++i)
    if (std::equal(wide.begin(), wide.end(), b.begin() + i)) return i - 6;
  return 0;
}

}  // namespace vblock
