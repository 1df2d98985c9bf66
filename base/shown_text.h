// UTF-16 text as the program shows it: text of the ANSI code page (932).
#pragma once
#include <string>
#include <string_view>

// A character the code page cannot hold shows as "?" (never as a look-alike
// that could name another file). The text never ends inside a character.
std::string ShownText(std::wstring_view text);

// Code page text in UTF-16; false when a character did not survive the way
// there and back (then the text names no file of its own).
bool WideOfShown(const std::string& text, std::wstring& wide);
