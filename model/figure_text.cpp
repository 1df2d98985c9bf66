#include "model/figure_text.h"

#include <cmath>

namespace {

constexpr wchar_t kCpu[] = L"CPU ";
constexpr wchar_t kMemory[] = L"メモリ ";
constexpr wchar_t kUnknown[] = L"—";
constexpr wchar_t kEnded[] = L"終了";

// Digits of `n`, at least `width` of them. No C library formatting: it
// would import wide-character functions the program needs nowhere else.
std::wstring Digits(long long n, size_t width = 1) {
  std::wstring text;
  for (; n > 0 || text.size() < width; n /= 10) text.insert(text.begin(), static_cast<wchar_t>(L'0' + n % 10));
  return text;
}

// `v` with `decimals` digits after the point.
std::wstring Fixed(double v, int decimals) {
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const long long n = std::llround(v * static_cast<double>(scale));
  const std::wstring whole = Digits(n / scale);
  return decimals == 0 ? whole : whole + L"." + Digits(n % scale, static_cast<size_t>(decimals));
}

}  // namespace

std::wstring CpuText(int tenths) {
  if (tenths < 0) return std::wstring(kCpu) + kUnknown;
  if (tenths >= 100) return kCpu + Digits((tenths + 5) / 10) + L"%";
  if (tenths == 0) return std::wstring(kCpu) + L"0%";
  return kCpu + Digits(tenths / 10) + L"." + Digits(tenths % 10) + L"%";
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
  const int decimals = v >= 99.95 ? 0 : v >= 9.995 ? 1 : v >= 0.9995 ? 2 : 3;
  return kMemory + Fixed(v, decimals) + kUnits[unit];
}

EntryFigures LinesOf(const ProcessFigures& f) {
  using State = ProcessFigures::State;
  if (f.state == State::Ended) return {kEnded, L"", true};
  if (f.state == State::Unknown) return {std::wstring(kCpu) + kUnknown, std::wstring(kMemory) + kUnknown};
  return {CpuText(f.cpuTenths), MemoryText(f.privateBytes)};
}
