#include "procinfo/params_block.h"

#include <cstring>
#include <vector>

#include "base/bytes.h"

namespace {

// Where the fields lie, by pointer width.
struct Layout {
  size_t paramsInPeb;     // PEB.ProcessParameters
  size_t currentFolder;   // CurrentDirectory.DosPath, a UNICODE_STRING
  size_t commandLine;     // CommandLine, a UNICODE_STRING
  size_t bufferInString;  // UNICODE_STRING.Buffer (after padding on 64-bit)
  size_t pointerSize;
  uint64_t highest;       // the last address a process of that width has
};
constexpr Layout kLayout32{0x10, 0x24, 0x40, 4, 4, 0xFFFFFFFFull};
constexpr Layout kLayout64{0x20, 0x38, 0x70, 8, 8, ~0ull};
// The block's fixed part, as far as the fields read here go (the 64-bit
// command line's string ends there).
constexpr size_t kHeadRoom = 0x80;
constexpr size_t kFlagsAt = 8;
constexpr uint32_t kNormalized = 1;  // string addresses are absolute, not offsets from the block

uint64_t PointerAt(const unsigned char* p, size_t offset, const Layout& l) {
  return l.pointerSize == 8 ? At<uint64_t>(p, offset) : At<uint32_t>(p, offset);
}

// `base` + `length` stays within the process's addresses.
bool Fits(uint64_t base, uint64_t length, const Layout& l) {
  return base <= l.highest && length <= l.highest - base;
}

ParamsText Malformed() { return {ParamsText::State::Malformed, {}}; }

ParamsText ReadString(MemoryReader& memory, const unsigned char* head, size_t at, uint64_t block,
                      bool normalized, const Layout& l) {
  const uint16_t length = At<uint16_t>(head, at);
  const uint16_t room = At<uint16_t>(head, at + 2);
  uint64_t buffer = PointerAt(head, at + l.bufferInString, l);
  // Half a character, or more characters than the buffer holds.
  if (length % 2 != 0 || length > room) return Malformed();
  if (length == 0) return {ParamsText::State::Read, {}};
  if (!normalized) {
    if (!Fits(block, buffer, l)) return Malformed();
    buffer += block;
  }
  if (buffer == 0 || !Fits(buffer, length, l)) return Malformed();
  std::vector<unsigned char> bytes(length);
  if (!memory.Read(buffer, bytes.data(), bytes.size())) return {};
  ParamsText t{ParamsText::State::Read, {}};
  t.text.resize(length / 2);
  std::memcpy(t.text.data(), bytes.data(), length);
  t.text.resize(t.text.find(u'\0') == std::u16string::npos ? t.text.size() : t.text.find(u'\0'));
  return t;
}

}  // namespace

ProcessParams ReadProcessParams(MemoryReader& memory, uint64_t peb, PointerWidth width) {
  const Layout& l = width == PointerWidth::Bits64 ? kLayout64 : kLayout32;
  ProcessParams p;
  unsigned char pointer[8] = {};
  if (peb == 0 || !Fits(peb, l.paramsInPeb + l.pointerSize, l)) return p;
  if (!memory.Read(peb + l.paramsInPeb, pointer, l.pointerSize)) return p;
  const uint64_t block = PointerAt(pointer, 0, l);
  const size_t headSize = l.commandLine + l.bufferInString + l.pointerSize;
  if (block == 0 || !Fits(block, headSize, l)) {
    p.commandLine = p.currentFolder = Malformed();
    return p;
  }
  unsigned char head[kHeadRoom] = {};
  static_assert(kLayout64.commandLine + kLayout64.bufferInString + 8 <= kHeadRoom);
  if (!memory.Read(block, head, headSize)) return p;
  const bool normalized = (At<uint32_t>(head, kFlagsAt) & kNormalized) != 0;
  p.commandLine = ReadString(memory, head, l.commandLine, block, normalized, l);
  p.currentFolder = ReadString(memory, head, l.currentFolder, block, normalized, l);
  return p;
}
