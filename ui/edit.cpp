#include "ui/edit.h"

namespace ui {

bool Edit::Create(HWND parent, const Box& b, int id, Kind kind, const char* text, bool visible) {
  DWORD style = ES_READONLY | ES_AUTOHSCROLL;
  if (kind == Kind::Memo) style = ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
  if (!Control::Create(parent, "EDIT", text, style, WS_EX_CLIENTEDGE, b, id)) return false;
  if (!visible) ShowWindow(hwnd(), SW_HIDE);
  return true;
}

}  // namespace ui
