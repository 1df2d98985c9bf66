// Text on the clipboard, in both forms the system keeps.
#pragma once
#include <windows.h>

#include <string>

// Puts the true text on the clipboard as CF_UNICODETEXT and its code page
// 932 form (with "?" where that code page has no character) as CF_TEXT.
void PutOnClipboard(HWND owner, const std::wstring& w);
