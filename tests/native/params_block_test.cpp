#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "procinfo/params_block.h"

namespace {

// Regions of a made-up process; a read that leaves its region fails, and
// every read is recorded.
struct FakeMemory : MemoryReader {
  std::map<uint64_t, std::vector<unsigned char>> regions;
  std::vector<std::pair<uint64_t, size_t>> reads;
  bool Read(uint64_t address, void* into, size_t size) override {
    reads.push_back({address, size});
    for (auto& [base, bytes] : regions)
      if (address >= base && address - base <= bytes.size() && size <= bytes.size() - (address - base)) {
        std::memcpy(into, bytes.data() + (address - base), size);
        return true;
      }
    return false;
  }
  void Put(uint64_t address, uint64_t v, size_t width) {
    for (auto& [base, bytes] : regions)
      if (address >= base && address + width <= base + bytes.size())
        std::memcpy(bytes.data() + (address - base), &v, width);
  }
};

struct Text { uint16_t length, room; uint64_t buffer; };

// A PEB at `peb` and a parameters block at `block`, laid out by hand for
// the given width, and the strings' characters at their own addresses.
struct Process {
  FakeMemory mem;
  bool wide;
  uint64_t peb, block;
  Process(bool is64, uint64_t pebAt, uint64_t blockAt) : wide(is64), peb(pebAt), block(blockAt) {
    mem.regions[peb].resize(0x100);
    mem.regions[block].resize(0x400);
    SetBlock(block);
    mem.Put(block + 8, 1, 4);  // normalized
  }
  void SetBlock(uint64_t at) { mem.Put(peb + (wide ? 0x20 : 0x10), at, wide ? 8 : 4); }
  void SetString(bool commandLine, Text t) {
    const uint64_t at = block + (wide ? (commandLine ? 0x70 : 0x38) : (commandLine ? 0x40 : 0x24));
    mem.Put(at, t.length | uint64_t{t.room} << 16, 4);
    mem.Put(at + (wide ? 8 : 4), t.buffer, wide ? 8 : 4);
  }
  void Place(bool commandLine, uint64_t at, const std::u16string& s) {
    mem.regions[at].assign(reinterpret_cast<const unsigned char*>(s.data()),
                           reinterpret_cast<const unsigned char*>(s.data() + s.size() + 1));
    SetString(commandLine, {static_cast<uint16_t>(s.size() * 2), static_cast<uint16_t>(s.size() * 2 + 2), at});
  }
  ProcessParams Read() {
    return ReadProcessParams(mem, peb, wide ? PointerWidth::Bits64 : PointerWidth::Bits32);
  }
};

using State = ParamsText::State;
const std::u16string kLine = u"\"C:\\テスト フォルダー\\a b.exe\" /x \"引数\"";
const std::u16string kFolder = u"C:\\作業\\";

}  // namespace

TEST(ParamsBlock, ReadsBothTextsInEitherWidth) {
  for (bool is64 : {false, true}) {
    const uint64_t high = is64 ? 0x7FF6'0000'0000ull : 0;
    Process p(is64, high + 0x7FFD'E000, high + 0x0002'0000);
    p.Place(true, high + 0x0003'0000, kLine);
    p.Place(false, high + 0x0004'0000, kFolder);
    EXPECT_EQ(p.Read().commandLine.text, kLine) << is64;
    EXPECT_EQ(p.Read().currentFolder.text, kFolder);
    // Before the block is normalized, string addresses are offsets from it.
    p.mem.Put(p.block + 8, 0, 4);
    std::memcpy(p.mem.regions[p.block].data() + 0x200, kLine.data(), kLine.size() * 2);
    p.SetString(true, {static_cast<uint16_t>(kLine.size() * 2), 0x100, 0x200});
    EXPECT_EQ(p.Read().commandLine.text, kLine);
  }
}

TEST(ParamsBlock, ForgedLengthsAndAddressesNeverReadPastWhatWasChecked) {
  for (bool is64 : {false, true}) {
    Process p(is64, 0x7FFD'E000, 0x0002'0000);
    p.Place(false, 0x0004'0000, kFolder);
    // A length past its buffer, half a character, a null buffer, an address
    // that wraps around, and one into unmapped memory.
    const uint64_t top = is64 ? ~0ull - 4 : 0xFFFF'FFF0ull;
    const Text forged[] = {{0x200, 0x100, 0x4'0000}, {7, 8, 0x4'0000}, {8, 8, 0},
                           {0x40, 0x40, top}, {0xFFFE, 0xFFFE, 0x6'0000}};
    const State expected[] = {State::Malformed, State::Malformed, State::Malformed,
                              State::Malformed, State::Unread};
    for (size_t i = 0; i < std::size(forged); ++i) {
      p.SetString(true, forged[i]);
      p.mem.reads.clear();
      const ProcessParams r = p.Read();
      EXPECT_EQ(r.commandLine.state, expected[i]) << is64 << " case " << i;
      EXPECT_TRUE(r.commandLine.text.empty());
      EXPECT_EQ(r.currentFolder.text, kFolder) << "the other text is still read";
      for (auto [address, size] : p.mem.reads) {
        EXPECT_LE(size, 0xFFFEu);
        EXPECT_NE(address, top) << "a wrapping address is never read";
      }
    }
  }
}

TEST(ParamsBlock, UnreadableOrForgedBlockSaysSo) {
  Process p(false, 0x7FFD'E000, 0x0002'0000);
  EXPECT_EQ(ReadProcessParams(p.mem, 0, PointerWidth::Bits32).commandLine.state, State::Unread);
  p.SetBlock(0);
  EXPECT_EQ(p.Read().commandLine.state, State::Malformed);
  p.SetBlock(0xFFFF'FFC0);  // its fixed part would wrap
  EXPECT_EQ(p.Read().currentFolder.state, State::Malformed);
  p.SetBlock(0x0009'0000);  // nothing there
  EXPECT_EQ(p.Read().commandLine.state, State::Unread);
  // A NUL ends the text, as an edit field would.
  Process q(false, 0x7FFD'E000, 0x0002'0000);
  q.Place(true, 0x3'0000, std::u16string(u"ab\0cd", 5));
  EXPECT_EQ(q.Read().commandLine.text, u"ab");
}
