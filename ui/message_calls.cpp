// The text calls of the message loop, of messages and of the windows made
// from templates: see text_calls.h.
#include "ui/text_calls.h"

#include <commctrl.h>

#include <cwchar>
#include <vector>

#include "base/shown_text.h"

namespace ui {

bool NextMessage(MSG& msg) {
  return (WideSystem() ? GetMessageW(&msg, nullptr, 0, 0) : GetMessageA(&msg, nullptr, 0, 0)) > 0;
}

void DispatchTo(const MSG& msg) {
  if (WideSystem())
    DispatchMessageW(&msg);
  else
    DispatchMessageA(&msg);
}

bool DialogMessage(HWND dialog, MSG& msg) {
  return (WideSystem() ? IsDialogMessageW(dialog, &msg) : IsDialogMessageA(dialog, &msg)) != FALSE;
}

LRESULT Send(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  return WideSystem() ? SendMessageW(w, msg, wp, lp) : SendMessageA(w, msg, wp, lp);
}

WNDPROC DialogDefProc() { return WideSystem() ? DefDlgProcW : DefDlgProcA; }

INT_PTR DialogBoxIndirect932(const DLGTEMPLATE* dlg, HWND owner, DLGPROC proc, LPARAM param) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  if (WideSystem()) return DialogBoxIndirectParamW(module, dlg, owner, proc, param);
  return DialogBoxIndirectParamA(module, dlg, owner, proc, param);
}

HFONT CreateFont932(int height, const char* face) {
  if (WideSystem())
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, WideText(face).c_str());
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

namespace {

// The whole window as one tool with `text`, in the size every comctl32 knows.
template <typename Info, typename Char>
Info ToolOf(UINT size, HWND w, Char* text) {
  Info ti{};
  ti.cbSize = size;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = w;
  ti.uId = reinterpret_cast<UINT_PTR>(w);
  ti.lpszText = text;
  return ti;
}

}  // namespace

void AddTool932(HWND tooltip, HWND w, const char* text) {
  if (WideSystem()) {
    std::wstring wide = WideText(text);
    TOOLINFOW ti = ToolOf<TOOLINFOW>(TTTOOLINFOW_V1_SIZE, w, wide.data());
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    return;
  }
  TOOLINFOA ti = ToolOf<TOOLINFOA>(TTTOOLINFOA_V1_SIZE, w, const_cast<char*>(text));
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

bool TitleWithin(HWND w, UINT room, UINT flags, DWORD waitMs, std::wstring& title) {
  DWORD_PTR copied = 0;
  title.clear();
  if (WideSystem()) {
    std::vector<wchar_t> buf(room + 1, L'\0');
    if (!SendMessageTimeoutW(w, WM_GETTEXT, room, reinterpret_cast<LPARAM>(buf.data()), flags, waitMs,
                             &copied))
      return false;
    title.assign(buf.data(), wcsnlen(buf.data(), room));
    return true;
  }
  std::vector<char> buf(room + 1, '\0');
  if (!SendMessageTimeoutA(w, WM_GETTEXT, room, reinterpret_cast<LPARAM>(buf.data()), flags, waitMs,
                           &copied))
    return false;
  title = WideText(std::string_view(buf.data(), strnlen(buf.data(), room)));
  return true;
}

}  // namespace ui
