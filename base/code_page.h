// The code page every text of the program is written in, whatever the
// system's own: one constant, one lead-byte test.
#pragma once
#include <cstddef>
#include <string>

inline constexpr unsigned kCodePage = 932;

// The lead-byte test of code page 932 (no system call: also for native builds).
bool IsCp932LeadByte(unsigned char c);

// Cuts code page 932 text to at most `limit` bytes without splitting a
// double-byte character: the one cut of the program's texts.
void CutText(std::string& text, size_t limit);
