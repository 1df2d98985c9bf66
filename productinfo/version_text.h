// Pieces of the version-resource reader that need no Windows.
#pragma once
#include <cstdint>
#include <string>

// "\StringFileInfo\LLLLCCCC\" for the first translation entry
// (low word: language, high word: code page).
std::string StringTablePath(uint32_t translation);

// The text before the second "." ("1.23.0.4" gives "1.23"); empty with
// fewer than two dots.
std::string ShortVersionOf(const std::string& productVersion);

// The DDE command that asks the browser to open `url`.
std::string OpenUrlCommand(const std::string& url);
