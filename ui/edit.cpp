#include "ui/edit.h"

#include "base/shown_text.h"
#include "ui/text_calls.h"

namespace ui {

bool Edit::Create(const Args& a) {
  DWORD style = ES_READONLY | ES_AUTOHSCROLL;
  if (a.kind == Kind::Memo) style = ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
  if (a.tabStop) style |= WS_TABSTOP;
  if (a.kind == Kind::Memo && a.unwrapped) style |= ES_AUTOHSCROLL | WS_HSCROLL;
  if (!Control::Create(a.parent, "EDIT", a.text, style, WS_EX_CLIENTEDGE, a.bounds, a.id))
    return false;
  if (!a.visible) ShowWindow(hwnd(), SW_HIDE);
  return true;
}

void Edit::Append(const std::wstring& text) {
  // The selection and the lines in view stay where the reader left them.
  DWORD from = 0, to = 0;
  Send(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  const LRESULT firstLine = Send(hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0);
  const LRESULT end = Send(hwnd(), WM_GETTEXTLENGTH, 0, 0);
  Send(hwnd(), EM_SETSEL, end, end);
  // In the system's form: UTF-16 on the NT family, code page 932 on the 9x family.
  const std::string shown = WideSystem() ? std::string() : ShownText(text);
  const void* p = WideSystem() ? static_cast<const void*>(text.c_str()) : shown.c_str();
  Send(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(p));
  Send(hwnd(), EM_SETSEL, from, to);
  Send(hwnd(), EM_LINESCROLL, 0, firstLine - Send(hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

bool Edit::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  return ReadableOnFace(msg, wp, result);  // read-only, it is drawn as a static
}

}  // namespace ui
