#include "ui/edit.h"

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

bool Edit::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  return ReadableOnFace(msg, wp, result);  // read-only, it is drawn as a static
}

}  // namespace ui
