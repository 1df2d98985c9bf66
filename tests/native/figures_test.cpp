#include <gtest/gtest.h>

#include <cstring>

#include "model/figure_text.h"
#include "procinfo/figures.h"
#include "procinfo/process_counters.h"
#include "app/details/details_fields.h"

TEST(FigureText, ProcessorShare) {
  EXPECT_EQ(CpuText(120), L"CPU 12%");
  EXPECT_EQ(CpuText(45), L"CPU 4.5%");
  EXPECT_EQ(CpuText(0), L"CPU 0%");
  EXPECT_EQ(CpuText(1), L"CPU 0.1%");
  EXPECT_EQ(CpuText(99), L"CPU 9.9%");
  EXPECT_EQ(CpuText(100), L"CPU 10%");
  EXPECT_EQ(CpuText(125), L"CPU 13%");
  EXPECT_EQ(CpuText(1000), L"CPU 100%");
  EXPECT_EQ(CpuText(-1), L"CPU —");
}

TEST(FigureText, MemoryThreeSignificantDigits) {
  EXPECT_EQ(MemoryText(0), L"メモリ 0 KB");
  EXPECT_EQ(MemoryText(4096), L"メモリ 4.00 KB");
  EXPECT_EQ(MemoryText(12 * 1024 + 300), L"メモリ 12.3 KB");
  EXPECT_EQ(MemoryText(999 * 1024), L"メモリ 999 KB");
  EXPECT_EQ(MemoryText(1023 * 1024), L"メモリ 0.999 MB");
  EXPECT_EQ(MemoryText(45 * 1048576 + 200 * 1024), L"メモリ 45.2 MB");
  EXPECT_EQ(MemoryText(256ull << 20), L"メモリ 256 MB");
  EXPECT_EQ(MemoryText((1ull << 30) + (240ull << 20)), L"メモリ 1.23 GB");
  EXPECT_EQ(MemoryText(5000ull << 30), L"メモリ 5000 GB");
}

namespace {
// A SystemProcessInformation buffer as the 32-bit or the 64-bit system
// writes it: its offsets written out here, field by field.
struct ListBuilder {
  explicit ListBuilder(bool wide) : wide(wide) {}
  bool wide;
  std::vector<unsigned char> bytes;
  size_t last = 0;
  size_t Record() const { return wide ? 256 : 184; }  // with its I/O counters
  template <typename T>
  void Put(size_t at, T v) { std::memcpy(&bytes[at], &v, sizeof v); }
  void Word(size_t at, uint64_t v) { wide ? Put<uint64_t>(at, v) : Put<uint32_t>(at, static_cast<uint32_t>(v)); }
  // Each field's offset: 32-bit, 64-bit.
  size_t Of(size_t narrow, size_t wideAt) const { return wide ? wideAt : narrow; }
  void Add(uint32_t pid, uint64_t created, uint64_t user, uint64_t kernel, uint64_t pagefile) {
    const size_t at = bytes.size();
    bytes.resize(at + Record() + 64);  // a record and one thread
    if (at) Put<uint32_t>(last, static_cast<uint32_t>(at - last));
    last = at;
    Put(at + 32, created);
    Put(at + 40, user);
    Put(at + 48, kernel);
    Word(at + Of(68, 80), pid);
    Word(at + Of(124, 184), pagefile);
  }
  const ProcessListLayout& Layout() const { return wide ? kProcessList64 : kProcessList32; }
};
}  // namespace

void ParsesEveryRecord(bool wide) {
  ListBuilder b(wide);
  b.Add(4, 11, 100, 20, 8192);
  b.Add(0x1C, 12, 5, 5, 1u << 28);
  std::vector<ProcessSample> s = ParseProcessList(b.Layout(), b.bytes.data(), b.bytes.size());
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].pid, 4u);
  EXPECT_EQ(s[0].created, 11u);
  EXPECT_EQ(s[0].cpuTime, 120u);
  EXPECT_EQ(s[0].privateBytes, 8192u);
  EXPECT_EQ(s[1].pid, 0x1Cu);
  EXPECT_EQ(s[1].privateBytes, 1u << 28);
  // An offset past the end, or a buffer cut inside a record: no overrun.
  b.Put<uint32_t>(b.last, 4096);
  EXPECT_EQ(ParseProcessList(b.Layout(), b.bytes.data(), b.bytes.size()).size(), 2u);
  EXPECT_EQ(ParseProcessList(b.Layout(), b.bytes.data(), 100).size(), 0u);
  const size_t room = wide ? 192 : 128;  // a record's fields without I/O counters
  EXPECT_EQ(ParseProcessList(b.Layout(), b.bytes.data(), b.last + room - 1).size(), 1u);
  EXPECT_EQ(ParseProcessList(b.Layout(), b.bytes.data(), b.last + room).size(), 2u);
  EXPECT_EQ(ParseProcessList(b.Layout(), nullptr, 0).size(), 0u);
}

TEST(Figures, ParsesEveryRecordAndStopsAtBadOffsets) {
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "64-bit" : "32-bit");
    ParsesEveryRecord(wide);
  }
}

TEST(Figures, ShareOfTheMachineBetweenReadings) {
  FigureSampler f;
  EXPECT_EQ(f.Of(4, 1).state, ProcessFigures::State::Unknown);
  f.Take({{4, 1, 1000, 4096}, {8, 2, 0, 8192}, {9, 3, 50, 1}}, 10'000'000, 2);
  EXPECT_EQ(f.Of(4, 1).state, ProcessFigures::State::Live);
  EXPECT_EQ(f.Of(4, 1).cpuTenths, -1);  // one reading: no period yet
  EXPECT_EQ(f.Of(8, 2).privateBytes, 8192u);
  // 2 s on 2 processors: 1 s of time is half the machine, 12 ms 0.3 %.
  f.Take({{4, 1, 10'001'000, 4096}, {8, 2, 120'000, 8192}, {9, 4, 60, 1}}, 30'000'000, 2);
  EXPECT_EQ(f.Of(4, 1).cpuTenths, 250);
  EXPECT_EQ(f.Of(8, 2).cpuTenths, 3);
  // Process 9 is another process under a reused identifier: no share from the old one's time.
  EXPECT_EQ(f.Of(9, 4).cpuTenths, -1);
  EXPECT_EQ(f.Of(9, 3).state, ProcessFigures::State::Ended);
  f.Take({{8, 2, 120'000, 8192}}, 50'000'000, 2);
  EXPECT_EQ(f.Of(4, 1).state, ProcessFigures::State::Ended);
  EXPECT_EQ(f.Of(8, 2).cpuTenths, 0);
  f.Fail();
  EXPECT_EQ(f.Of(8, 2).state, ProcessFigures::State::Unknown);
  EXPECT_EQ(LinesOf(f.Of(8, 2)).first, L"CPU —");
}

void ReadsWholeRecord(bool wide) {
  ListBuilder b(wide);
  const ProcessListLayout& l = b.Layout();
  b.Add(4, 11, 100, 20, 8192);
  b.Add(0x1C, 12, 5, 7, 5ull << 32 | 1u << 28);
  const size_t r = b.last;  // SYSTEM_PROCESS_INFORMATION, field by field
  b.Put<uint32_t>(r + 4, 8);                      // NumberOfThreads
  b.Put<int32_t>(r + b.Of(64, 72), 13);           // BasePriority
  b.Word(r + b.Of(72, 88), 4);                    // InheritedFromUniqueProcessId
  b.Put<uint32_t>(r + b.Of(76, 96), 123);         // HandleCount
  b.Put<uint32_t>(r + b.Of(96, 128), 4567);       // PageFaultCount
  b.Word(r + b.Of(100, 136), 3u << 20);           // PeakWorkingSetSize
  b.Word(r + b.Of(104, 144), 2u << 20);           // WorkingSetSize
  for (int k = 0; k < 6; ++k) b.Put<uint64_t>(r + b.Of(136, 208) + 8 * k, 100 + k);  // IO_COUNTERS
  ProcessCounters c;
  ASSERT_TRUE(FindProcessCounters(l, b.bytes.data(), b.bytes.size(), 0x1C, true, c));
  EXPECT_EQ(c.parentPid, 4u);
  EXPECT_EQ(c.created, 12u);
  EXPECT_EQ(c.userTime, 5u);
  EXPECT_EQ(c.kernelTime, 7u);
  EXPECT_EQ(c.threads, 8u);
  EXPECT_EQ(c.handles, 123u);
  EXPECT_EQ(c.basePriority, 13);
  EXPECT_EQ(c.pageFaults, 4567u);
  EXPECT_EQ(c.peakWorkingSet, 3u << 20);
  EXPECT_EQ(c.workingSet, 2u << 20);
  // Past 4 GB only in 64 bits, where the field is that wide.
  EXPECT_EQ(c.privateBytes, wide ? 5ull << 32 | 1u << 28 : 1u << 28);
  EXPECT_EQ(c.reads.count, 100u);
  EXPECT_EQ(c.writes.count, 101u);
  EXPECT_EQ(c.others.count, 102u);
  EXPECT_EQ(c.reads.bytes, 103u);
  EXPECT_EQ(c.writes.bytes, 104u);
  EXPECT_EQ(c.others.bytes, 105u);
  // Without I/O counters (NT 4.0) nothing past the page-file figure is read.
  const size_t room = wide ? 192 : 128;
  ASSERT_TRUE(FindProcessCounters(l, b.bytes.data(), b.last + room, 0x1C, false, c));
  EXPECT_EQ(c.writes.bytes, 0u);
  EXPECT_FALSE(FindProcessCounters(l, b.bytes.data(), b.last + room, 0x1C, true, c));
  // Process 4 started at 11: the parent of a process started at 12, not of one
  // started at 10 (its ID was reused); a parent no longer listed has ended.
  EXPECT_FALSE(ParentEnded(l, b.bytes.data(), b.bytes.size(), 4, 12));
  EXPECT_FALSE(ParentEnded(l, b.bytes.data(), b.bytes.size(), 4, 11));
  EXPECT_TRUE(ParentEnded(l, b.bytes.data(), b.bytes.size(), 4, 10));
  EXPECT_TRUE(ParentEnded(l, b.bytes.data(), b.bytes.size(), 0x99, 12));
  // An ID above 16 bits is a whole ID: its handle count is its own record's,
  // never that of the process whose ID shares its low half.
  b.Add(0x1001C, 13, 1, 1, 4096);
  b.Put<uint32_t>(b.last + b.Of(76, 96), 77);
  ASSERT_TRUE(FindProcessCounters(l, b.bytes.data(), b.bytes.size(), 0x1001C, true, c));
  EXPECT_EQ(c.handles, 77u);
  ASSERT_TRUE(FindProcessCounters(l, b.bytes.data(), b.bytes.size(), 0x1C, true, c));
  EXPECT_EQ(c.handles, 123u);
}

TEST(Figures, WholeRecordOfOneProcess) {
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "64-bit" : "32-bit");
    ReadsWholeRecord(wide);
  }
}

TEST(FigureText, DetailValues) {
  EXPECT_EQ(KilobytesText(64ull << 20), L"65,536 KB");
  EXPECT_EQ(DurationText((3600ull * 25 + 61) * 10000000 + 1234567), L"25:01:01.123");
  EXPECT_EQ(ShareText(-1), L"測定中");
  EXPECT_EQ(ShareText(5), L"0.5%");
  EXPECT_EQ(IoText({12, 10485760}), L"12 回 / 10,485,760 バイト");
  EXPECT_EQ(ParentText(L"", 0, true), L"なし");
  EXPECT_TRUE(OnLocalDrive(L"c:\\a.dll") && !OnLocalDrive(L"C:a"));
  // A forged module path cannot write a row, or a column, of its own.
  const std::wstring row = ModuleRow({L"a.dll", L"0x10000000", L"4 KB",
                                      L"C:\\a.dll\r\nfake.dll\t0x77000000\t1 KB\tC:\\fake\\fake.dll\x7F\x85", L"", L""});
  EXPECT_EQ(row, L"a.dll\t0x10000000\t4 KB\tC:\\a.dll\u240D\u240Afake.dll\u24090x77000000\u24091 KB"
                 L"\u2409C:\\fake\\fake.dll\u2421\uFFFD\t\t\r\n");
  EXPECT_FALSE(OnLocalDrive(L"\\\\srv\\s\\a.dll") || OnLocalDrive(L"\\\\?\\C:\\a") || OnLocalDrive(L"C:\\\\srv"));
}
