// Structure checks of resources read from other programs' files, done on
// the bytes before any system function walks them: a length that points
// outside what was read makes those functions read or write out of bounds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// True when the version block in `block` (as GetFileVersionInfo returns it,
// `size` bytes) is sound: the root and every node inside it lie within their
// parent, each key ends inside its node and each value fits in its node.
// Both the 32-bit (UTF-16 keys) and the 16-bit (ANSI keys) form are read.
bool VersionBlockIsSound(const unsigned char* block, size_t size);

// True for the 16-bit form (ANSI keys, no type word).
bool VersionBlockIs16Bit(const unsigned char* block, size_t size);

// Bytes a buffer holding the block needs: VerQueryValueA writes its ANSI
// copy of a value at (root length + 4 + the value's offset).
size_t VersionQueryRoom(const unsigned char* block, size_t size);

// A value's text: the bytes from `text` up to its terminating NUL, never
// past `end`; empty when `text` is not inside [begin, end).
std::string TextUpToNul(const char* text, const char* begin, const char* end);

// A UTF-16 value's length in characters, from `text` up to its zero or to
// the last whole character before `end` (a block of odd size ends in half a
// character, never read); 0 when `text` is not inside [begin, end).
size_t WideTextUnits(const unsigned char* text, const unsigned char* begin, const unsigned char* end);

// True when an icon group resource (`size` bytes) holds the entries its
// count claims, at least one, and every icon it names is present:
// `iconSize(id)` gives the size of icon resource `id`, 0 when missing.
bool IconGroupIsSound(const unsigned char* group, size_t size,
                      const std::function<size_t(uint16_t)>& iconSize);
