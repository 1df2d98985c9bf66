#include "procinfo/loader_list.h"

#include <unordered_set>

#include "base/bytes.h"

namespace {

// Where the fields lie, by pointer width.
struct Layout {
  size_t ldrInPeb;       // PEB.Ldr
  size_t listInLdr;      // PEB_LDR_DATA.InLoadOrderModuleList
  size_t base, size;     // LDR_DATA_TABLE_ENTRY.DllBase, SizeOfImage
  size_t fullName, baseName;  // UNICODE_STRINGs
  size_t bufferInString;
  size_t pointerSize;
  size_t entrySize;      // as far as the fields read here go
  uint64_t highest;
};
constexpr Layout kLayout32{0x0C, 0x0C, 0x18, 0x20, 0x24, 0x2C, 4, 4, 0x34, 0xFFFFFFFFull};
constexpr Layout kLayout64{0x18, 0x10, 0x30, 0x40, 0x48, 0x58, 8, 8, 0x68, ~0ull};

uint64_t PointerAt(const unsigned char* p, size_t offset, const Layout& l) {
  return l.pointerSize == 8 ? At<uint64_t>(p, offset) : At<uint32_t>(p, offset);
}

bool Fits(uint64_t base, uint64_t length, const Layout& l) {
  return base != 0 && base <= l.highest && length <= l.highest - base;
}

bool ReadPointer(MemoryReader& memory, uint64_t at, const Layout& l, uint64_t& out) {
  unsigned char bytes[8] = {};
  if (!Fits(at, l.pointerSize, l) || !memory.Read(at, bytes, l.pointerSize)) return false;
  out = PointerAt(bytes, 0, l);
  return true;
}

// A name as far as it can be believed: an odd or overlong length, or a
// buffer that cannot be read, leaves it empty; a long one is cut.
std::u16string ReadName(MemoryReader& memory, const unsigned char* entry, size_t at, const Layout& l) {
  const uint16_t length = At<uint16_t>(entry, at), room = At<uint16_t>(entry, at + 2);
  const uint64_t buffer = PointerAt(entry, at + l.bufferInString, l);
  if (length == 0 || length % 2 != 0 || length > room) return {};
  const size_t units = std::min<size_t>(length / 2, kMostNameUnits);
  if (!Fits(buffer, units * 2, l)) return {};
  std::u16string name(units, u'\0');
  if (!memory.Read(buffer, name.data(), units * 2)) return {};
  const size_t end = name.find(u'\0');
  if (end != std::u16string::npos) name.resize(end);
  return name;
}

}  // namespace

LoaderList ReadLoaderList(MemoryReader& memory, uint64_t peb, PointerWidth width, size_t most,
                          const std::function<bool()>& stop) {
  const Layout& l = width == PointerWidth::Bits64 ? kLayout64 : kLayout32;
  LoaderList out;
  uint64_t ldr = 0, link = 0;
  if (!ReadPointer(memory, peb + l.ldrInPeb, l, ldr) || !Fits(ldr, l.listInLdr + 2 * l.pointerSize, l))
    return out;
  const uint64_t head = ldr + l.listInLdr;
  if (!ReadPointer(memory, head, l, link)) return out;
  out.state = LoaderList::State::Read;
  std::unordered_set<uint64_t> met;
  // InLoadOrderLinks is the entry's first field: a link is its entry.
  while (link != head) {
    if (out.modules.size() >= most || !met.insert(link).second || (stop && stop()) ||
        !Fits(link, l.entrySize, l)) {
      out.state = LoaderList::State::Cut;
      break;
    }
    unsigned char entry[0x68] = {};
    static_assert(kLayout64.entrySize <= sizeof entry);
    if (!memory.Read(link, entry, l.entrySize)) {
      out.state = LoaderList::State::Cut;
      break;
    }
    LoaderModule m;
    m.base = PointerAt(entry, l.base, l);
    m.size = At<uint32_t>(entry, l.size);
    m.path = ReadName(memory, entry, l.fullName, l);
    m.name = ReadName(memory, entry, l.baseName, l);
    out.modules.push_back(std::move(m));
    link = PointerAt(entry, 0, l);
  }
  return out;
}
