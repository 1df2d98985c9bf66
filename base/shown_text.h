// The program's texts are code page 932; the system takes them in UTF-16 on
// the NT family, converted from that code page explicitly, so that they read
// the same whatever the system's code page. The 9x family takes them as they are.
#pragma once
#include <string>
#include <string_view>

#include "base/code_page.h"

// A character the code page cannot hold shows as "?" (never as a look-alike
// that could name another file). The text never ends inside a character.
std::string ShownText(std::wstring_view text);

// Code page text in UTF-16; false when a character did not survive the way
// there and back (then the text names no file of its own).
bool WideOfShown(const std::string& text, std::wstring& wide);

// Code page text in UTF-16, as the system is to show it.
std::wstring WideText(std::string_view text);

// `wide` where it holds what code page 932 cannot; else empty, and its code
// page form is the whole truth.
std::wstring TrueFormOf(std::wstring_view wide);

// The system's platform identifier (GetVersionExA: 2 the NT family, 1 the
// 9x family), read once: the program's one test of the family.
unsigned long SystemPlatformId();
// True on the NT family, where every text goes to the system in UTF-16.
bool WideSystem();
// The NT family from Windows 2000 (5.0) on.
bool Windows2000OrLater();
