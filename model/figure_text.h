// The figures an entry shows, as the list draws them: "CPU 12%", "CPU 4.5%",
// "CPU 0%", "メモリ 45.2 MB"; "—" where a figure is not known, "終了" on the first
// line for a process that has ended.
#pragma once
#include <cstdint>
#include <string>

#include "model/entry_figures.h"
#include "procinfo/figures.h"

// Tenths of a per cent: whole per cents from 10 % on, one decimal below,
// "0%" for none; negative: not known.
std::wstring CpuText(int tenths);
// KB, MB or GB (of 1,024) with three significant digits.
std::wstring MemoryText(uint64_t bytes);

// The two lines of figures of one entry.
EntryFigures LinesOf(const ProcessFigures& f);
// The widest figures text of any entry, for the room the list keeps.
inline constexpr wchar_t kWidestFigure[] = L"メモリ 0.999 MB";
