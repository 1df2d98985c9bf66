#include "app/figure_text.h"

#include <cstdio>

namespace {

constexpr wchar_t kCpu[] = L"CPU ";
constexpr wchar_t kMemory[] = L"メモリ ";
constexpr wchar_t kUnknown[] = L"—";
constexpr wchar_t kEnded[] = L"終了";

std::wstring Printed(const wchar_t* format, double v) {
  wchar_t buf[32];
  std::swprintf(buf, 32, format, v);
  return buf;
}

}  // namespace

std::wstring CpuText(int tenths) {
  if (tenths < 0) return std::wstring(kCpu) + kUnknown;
  if (tenths >= 100) return kCpu + std::to_wstring((tenths + 5) / 10) + L"%";
  if (tenths == 0) return std::wstring(kCpu) + L"0%";
  return kCpu + std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L"%";
}

std::wstring MemoryText(uint64_t bytes) {
  static constexpr const wchar_t* kUnits[] = {L" KB", L" MB", L" GB"};
  if (bytes == 0) return std::wstring(kMemory) + L"0 KB";
  double v = static_cast<double>(bytes) / 1024;
  size_t unit = 0;
  // A value that would round to 1,000 or more goes to the next unit.
  while (v >= 999.5 && unit + 1 < std::size(kUnits)) {
    v /= 1024;
    ++unit;
  }
  const wchar_t* format = v >= 99.95 ? L"%.0f" : v >= 9.995 ? L"%.1f" : v >= 0.9995 ? L"%.2f" : L"%.3f";
  return kMemory + Printed(format, v) + kUnits[unit];
}

EntryFigures LinesOf(const ProcessFigures& f) {
  using State = ProcessFigures::State;
  if (f.state == State::Ended) return {kEnded, L"", true};
  if (f.state == State::Unknown) return {std::wstring(kCpu) + kUnknown, std::wstring(kMemory) + kUnknown};
  return {CpuText(f.cpuTenths), MemoryText(f.privateBytes)};
}
