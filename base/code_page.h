// The code page every text of the program is written in, whatever the
// system's own: one constant, one lead-byte test, one cut for each form.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

inline constexpr unsigned kCodePage = 932;

// Code page 932 text in UTF-16: the system's conversion in the program, a
// stand-in where tested without Windows.
using Widen = std::wstring (*)(std::string_view text);

// The lead-byte test of code page 932 (no system call: also for native builds).
bool IsCp932LeadByte(unsigned char c);

// Cuts code page 932 text to at most `limit` bytes without splitting a
// double-byte character: the one cut of the program's texts.
void CutText(std::string& text, size_t limit);

// UTF-16 text cut to at most `limit` units. Text that reaches the limit never
// ends in the high half of a surrogate pair: its low half was cut off, here or
// by whoever filled a buffer of that room.
std::wstring_view CutUnits(std::wstring_view text, size_t limit);
