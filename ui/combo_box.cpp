#include "ui/combo_box.h"

namespace ui {

bool ComboBox::Create(HWND parent, const Box& b, int id, std::initializer_list<const char*> items,
                      int itemHeight) {
  Box dropped = b;
  dropped.height = b.height + 160;  // room for the open list
  if (!Control::Create(parent, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                       dropped, id))
    return false;
  for (const char* item : items) SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageA(hwnd(), CB_SETITEMHEIGHT, 0, itemHeight);
  SetColor(clBtnFace);
  return true;
}

void ComboBox::SetColor(TColor c) {
  color_ = c;
  brush_.reset(CreateSolidBrush(ColorToRGB(c)));
  InvalidateRect(hwnd(), nullptr, TRUE);
}

bool ComboBox::OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == CBN_SELCHANGE && OnChange) OnChange();
      result = 0;
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, ColorToRGB(color_));
      SetTextColor(dc, GetSysColor(Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
      result = reinterpret_cast<LRESULT>(brush_.get());
      return true;
    }
    default:
      (void)lp;
      return false;
  }
}

}  // namespace ui
