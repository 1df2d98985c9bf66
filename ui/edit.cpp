#include "ui/edit.h"

namespace ui {

bool Edit::Create(const Args& a) {
  DWORD style = ES_READONLY | ES_AUTOHSCROLL;
  if (a.kind == Kind::Memo) style = ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
  if (!Control::Create(a.parent, "EDIT", a.text, style, WS_EX_CLIENTEDGE, a.bounds, a.id))
    return false;
  if (!a.visible) ShowWindow(hwnd(), SW_HIDE);
  return true;
}

}  // namespace ui
