// The details window's fields: their labels in window order, and the texts
// its values are shown as. Free of Windows, so that the texts are tested
// natively. Labels are code page 932 (like every text of the program);
// values are UTF-16, so that a command line or path keeps what code page
// 932 cannot hold.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "procinfo/process_counters.h"

enum DetailField : int {
  // イメージ: read once, when the window opens.
  kDfImageName, kDfPath, kDfCommandLine, kDfFolder, kDfParent, kDfStarted, kDfUser, kDfBits,
  kDfCompany, kDfDescription, kDfVersion, kDfPriority,
  // パフォーマンス: read every second.
  kDfCpuNow, kDfCpuUser, kDfCpuKernel, kDfCpuTotal, kDfPrivate, kDfWorkingSet,
  kDfPeakWorkingSet, kDfPageFaults, kDfThreads, kDfHandles, kDfReads, kDfWrites, kDfOthers,
  kDfCount
};
inline constexpr int kDfFirstLive = kDfCpuNow;

extern const char* const kDetailLabels[kDfCount];

namespace detail_text {
// What a field shows when its value cannot be known.
inline constexpr wchar_t kDenied[] = L"アクセスが拒否されました";
inline constexpr wchar_t kEnded[] = L"終了しました";
inline constexpr wchar_t kUnread[] = L"読み取れません";
inline constexpr wchar_t kForged[] = L"不正な値です";
inline constexpr wchar_t kNotOnThisSystem[] = L"この Windows では読めません";
inline constexpr wchar_t kMeasuring[] = L"測定中";
}  // namespace detail_text

// Digits in groups of three: "67,108,864".
std::wstring Grouped(uint64_t n);
// Bytes as whole KB (of 1,024, rounded): "65,536 KB".
std::wstring KilobytesText(uint64_t bytes);
// A span of 100 ns units as "h:mm:ss.fff".
std::wstring DurationText(uint64_t hundredNs);
// Tenths of a per cent: "12.3%"; negative: still measuring.
std::wstring ShareText(int tenths);
// An I/O figure: "12 回 / 10,485,760 バイト".
std::wstring IoText(const IoFigures& io);
// A local date and time: "2024/05/01 09:03:07".
std::wstring DateTimeText(int year, int month, int day, int hour, int minute, int second);
// The parent: "name (ID)", "終了 (ID)" when it has ended, "なし" for ID 0.
std::wstring ParentText(const std::wstring& name, uint32_t pid, bool ended);

// Text another process wrote (a command line, a module's path, a file's
// version texts) as the window shows it: each control character becomes a
// visible picture of it (U+2400 on; DEL U+2421, the C1 controls U+FFFD), so
// that no text can start a row or a column of its own.
std::wstring Visible(std::wstring_view text);

// One row of the module list: its columns, each Visible, TAB-separated and
// ended by CR LF.
std::wstring ModuleRow(std::initializer_list<std::wstring_view> columns);

// A path on a local drive ("C:\\..."): the only kind whose file a module's
// version is read from. A process can forge its module list; a share or a
// device named there is never opened.
bool OnLocalDrive(std::wstring_view path);

// Every field as a "label：value" line (CR LF), the module list after a
// line of its own label.
std::wstring DetailsCopyText(const std::wstring (&values)[kDfCount], const std::wstring& modules,
                             Widen widen);
