// Small text helpers that need no Windows: the "%8X" identifier text and
// line splitting.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "%8X": upper-case hex, right-aligned in 8 columns, blank-padded.
std::string HexId(uint32_t id);

// Reads the "%8X" text back. Blanks count as "0"; characters 1-4 are the
// high half, 5-8 the low half. A half holding anything but hex digits reads
// as 0, so malformed text gives a number, never a fault.
uint32_t HexToDWord(std::string_view text);

// Splits at CR LF, lone CR or lone LF; a NUL ends the text. A final break adds no line, an empty
// text has no lines, and an empty line between two breaks counts.
std::vector<std::string_view> SplitLines(std::string_view text);
std::vector<std::wstring_view> SplitLines(std::wstring_view text);
