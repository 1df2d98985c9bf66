#include "ui/combo_box.h"

#include "base/shown_text.h"

namespace ui {

bool ComboBox::Create(const Args& a) {
  if (!Control::Create(a.parent, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                       Dropped(a.bounds, a.dropHeight), a.id))
    return false;
  for (const char* item : a.items) {
    const std::wstring wide = WideText(item);
    const LPARAM text = WideSystem() ? reinterpret_cast<LPARAM>(wide.c_str())
                                     : reinterpret_cast<LPARAM>(item);
    if (CallClassProc(CB_ADDSTRING, 0, text) < 0) return false;
  }
  SendMessageA(hwnd(), CB_SETITEMHEIGHT, 0, a.itemHeight);
  SetColor(clBtnFace);
  return static_cast<bool>(brush_);
}

void ComboBox::SetClosedBounds(const Box& b, int dropHeight) { SetBounds(Dropped(b, dropHeight)); }

void ComboBox::SetColor(TColor c) {
  // Without a brush of its own the control paints with the system's colours:
  // a brush that cannot be made keeps the old one and its colour.
  ui::UniqueBrush brush(CreateSolidBrush(ColorToRGB(c)));
  if (!brush && brush_) return;
  color_ = c;
  brush_ = std::move(brush);
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
