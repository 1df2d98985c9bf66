// Small text helpers that need no Windows: the "%8X" identifier text and
// line splitting.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "%8X": upper-case hex, right-aligned in 8 columns, blank-padded.
std::string HexId(uint32_t id);

// Splits at CR LF, lone CR or lone LF; a NUL ends the text. A final break adds no line, an empty
// text has no lines, and an empty line between two breaks counts.
std::vector<std::wstring_view> SplitLines(std::wstring_view text);
