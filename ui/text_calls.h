// The system calls that take or give a text, for texts in code page 932:
// on the NT family in UTF-16 (converted from that code page explicitly,
// never through the system's), on the 9x family as they are.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

// A window of class `cls` with text `text`; a Unicode window on the NT family.
HWND CreateWindow932(DWORD exStyle, const char* cls, const char* text, DWORD style, int x, int y,
                     int w, int h, HWND parent, HMENU menu, void* param);
// Registers `wc` (its class name in ASCII) as a Unicode class on the NT family.
bool RegisterClass932(const WNDCLASSEXA& wc);
bool ClassRegistered(const char* cls);
LRESULT DefProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
// A window procedure called, and a window's procedure read or replaced, in
// the system's form: Unicode on the NT family, ANSI on the 9x family.
LRESULT CallProc(WNDPROC proc, HWND w, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC ProcOf(HWND w);
WNDPROC ReplaceProc(HWND w, WNDPROC proc);

void SetWindowText932(HWND w, std::string_view text);

// Text drawing and measuring in the font selected into `dc`.
int DrawText932(HDC dc, std::string_view text, RECT* r, UINT format);
SIZE TextExtent932(HDC dc, std::string_view text);
SIZE TextExtentWide(HDC dc, std::wstring_view text);
void TextOutWide(HDC dc, int x, int y, std::wstring_view text);

bool AppendMenu932(HMENU menu, UINT flags, UINT_PTR id, const char* text);
int WINAPI MessageBox932(HWND owner, const char* text, const char* caption, UINT type);

// The message loop's calls and a message sent, in the system's form: the
// program's windows are Unicode on the NT family, so characters come and go
// as UTF-16 there.
bool NextMessage(MSG& msg);  // false at WM_QUIT or on an error
void DispatchTo(const MSG& msg);
bool DialogMessage(HWND dialog, MSG& msg);
LRESULT Send(HWND w, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC DialogDefProc();  // the dialog class's own procedure
INT_PTR DialogBoxIndirect932(const DLGTEMPLATE* dlg, HWND owner, DLGPROC proc, LPARAM param);
// A font of face `face` (code page 932), `height` pixels, Shift JIS.
HFONT CreateFont932(int height, const char* face);
// `w`'s whole client as a tool of `tooltip` with hint `text`.
void AddTool932(HWND tooltip, HWND w, const char* text);
// `w`'s title asked with WM_GETTEXT for at most `room` units, waiting at most
// `waitMs` as `flags` say; false where it did not answer.
bool TitleWithin(HWND w, UINT room, UINT flags, DWORD waitMs, std::wstring& title);

// Explorer started with `args`; a file's properties sheet. The 9x family
// takes them in code page 932.
void OpenExplorer(HWND owner, const std::wstring& args);
void ShowFileProperties(HWND owner, const std::wstring& path);

}  // namespace ui
