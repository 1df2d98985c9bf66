// The loader list walked from made-up memory of both widths: whole, looping,
// enormous, pointing anywhere, with forged names, stopped.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "procinfo/loader_list.h"

namespace {

// Sparse memory: what was put is readable, nothing else.
struct FakeMemory : MemoryReader {
  std::map<uint64_t, unsigned char> bytes;
  size_t reads = 0;
  bool Read(uint64_t address, void* into, size_t size) override {
    ++reads;
    auto* out = static_cast<unsigned char*>(into);
    for (size_t i = 0; i < size; ++i) {
      auto it = bytes.find(address + i);
      if (it == bytes.end()) return false;
      out[i] = it->second;
    }
    return true;
  }
  void Put(uint64_t at, const void* data, size_t size) {
    for (size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<const unsigned char*>(data)[i];
  }
  void Pointer(uint64_t at, uint64_t value, bool is64) { Put(at, &value, is64 ? 8 : 4); }
};

// A process of either width: its PEB at 0x1000, loader data at 0x2000,
// entry i at 0x10000 + i * 0x100, its name's text at Name(i).
struct Process {
  bool is64;
  FakeMemory m;
  size_t pw() const { return is64 ? 8 : 4; }
  uint64_t Head() const { return 0x2000 + (is64 ? 0x10 : 0x0C); }
  static uint64_t Entry(size_t i) { return 0x10000 + i * 0x100; }
  static uint64_t Name(size_t i) { return 0x10000000 + i * 0x2000; }
  explicit Process(bool wide) : is64(wide) {
    m.Pointer(0x1000 + (is64 ? 0x18 : 0x0C), 0x2000, is64);
    m.Pointer(Head(), Head(), is64);  // empty: the head points at itself
  }
  // Entry i, linked to `next`; its full and base names both `name`.
  void Add(size_t i, uint64_t next, const std::u16string& name, uint16_t length = 0xFFFF) {
    std::vector<unsigned char> e(is64 ? 0x68 : 0x34);
    auto put = [&](size_t at, uint64_t v, size_t n) { std::memcpy(&e[at], &v, n); };
    put(0, next, pw());
    put(is64 ? 0x30 : 0x18, 0x400000 + i * 0x10000, pw());
    put(is64 ? 0x40 : 0x20, 0x3000, 4);
    const uint16_t bytes = length == 0xFFFF ? static_cast<uint16_t>(name.size() * 2) : length;
    for (size_t s : {is64 ? size_t{0x48} : size_t{0x24}, is64 ? size_t{0x58} : size_t{0x2C}}) {
      put(s, bytes, 2);
      put(s + 2, bytes, 2);
      put(s + pw(), Name(i), pw());
    }
    m.Put(Entry(i), e.data(), e.size());
    m.Put(Name(i), name.data(), name.size() * 2);
  }
  void First(uint64_t link) { m.Pointer(Head(), link, is64); }
  LoaderList Walk(size_t most = kMostLoaderEntries, const std::function<bool()>& stop = nullptr) {
    return ReadLoaderList(m, 0x1000, is64 ? PointerWidth::Bits64 : PointerWidth::Bits32, most, stop);
  }
};

}  // namespace

TEST(LoaderList, WholeLoopingEnormousAndBrokenListsInEitherWidth) {
  for (bool is64 : {false, true}) {
    SCOPED_TRACE(is64 ? "64-bit" : "32-bit");
    Process p(is64);
    p.First(Process::Entry(0));
    p.Add(0, Process::Entry(1), u"a.exe");
    p.Add(1, Process::Entry(2), u"b.dll");
    p.Add(2, p.Head(), u"c.dll");
    LoaderList l = p.Walk();
    ASSERT_EQ(l.state, LoaderList::State::Read);
    ASSERT_EQ(l.modules.size(), 3u);
    EXPECT_EQ(l.modules[1].name, u"b.dll");
    EXPECT_EQ(l.modules[1].base, 0x410000u);
    EXPECT_EQ(l.modules[1].size, 0x3000u);

    // The last entry leads back to the second, not to the head: each once.
    p.Add(2, Process::Entry(1), u"c.dll");
    l = p.Walk();
    EXPECT_EQ(l.state, LoaderList::State::Cut);
    EXPECT_EQ(l.modules.size(), 3u);
    // A link into memory that cannot be read ends the walk there.
    p.Add(2, 0xDEAD0000, u"c.dll");
    l = p.Walk();
    EXPECT_EQ(l.state, LoaderList::State::Cut);
    EXPECT_EQ(l.modules.size(), 3u);
    // Asked to stop, it stops before the next entry.
    int asked = 0;
    l = p.Walk(kMostLoaderEntries, [&] { return ++asked > 1; });
    EXPECT_EQ(l.modules.size(), 1u);
    EXPECT_EQ(l.state, LoaderList::State::Cut);
    // No PEB, no loader data: unread, nothing listed.
    Process none(is64);
    none.m.bytes.clear();
    EXPECT_EQ(none.Walk().state, LoaderList::State::Unread);
  }
  // 100,000 entries: the walk takes `most` and says the list was cut,
  // having read no more than it took.
  Process big(false);
  big.First(Process::Entry(0));
  for (size_t i = 0; i < 100000; ++i) big.Add(i, i + 1 < 100000 ? Process::Entry(i + 1) : big.Head(), u"m.dll");
  big.m.reads = 0;
  const LoaderList l = big.Walk();
  EXPECT_EQ(l.state, LoaderList::State::Cut);
  EXPECT_EQ(l.modules.size(), kMostLoaderEntries);
  EXPECT_LE(big.m.reads, 3 * kMostLoaderEntries + 4);
}

TEST(LoaderList, ForgedNamesAreCutOrLeftEmptyNeverReadPastTheirLength) {
  Process p(false);
  p.First(Process::Entry(0));
  p.Add(0, Process::Entry(1), u"odd", 5);  // half a character
  p.Add(1, Process::Entry(2), std::u16string(3000, u'x'));  // longer than the walk takes
  p.Add(2, p.Head(), std::u16string(u"nul\0after", 9));
  const LoaderList l = p.Walk();
  ASSERT_EQ(l.modules.size(), 3u);
  EXPECT_TRUE(l.modules[0].name.empty());
  EXPECT_EQ(l.modules[1].path, std::u16string(kMostNameUnits, u'x'));
  EXPECT_EQ(l.modules[2].name, u"nul");
}
