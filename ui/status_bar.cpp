#include "ui/status_bar.h"

#include "ui/gdi.h"

namespace ui {

namespace {

constexpr WPARAM kSimplePart = 255;

// A light text colour: the scheme is a dark one, high contrast for instance.
bool IsLight(COLORREF c) {
  return GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114 > 128 * 1000;
}

}  // namespace

bool StatusBar::Create(const Args& a) {
  if (!Control::Create(a.parent, STATUSCLASSNAMEA, "", CCS_BOTTOM, 0, {0, 0, 0, 0}, a.id))
    return false;
  text_ = a.text;
  SendMessageA(hwnd(), SB_SIMPLE, TRUE, 0);
  FollowColours();
  return true;
}

void StatusBar::FollowColours() {
  // A visual style keeps its light bar whatever the scheme (Wine styles
  // even this classic status bar), while the bar writes in the scheme's
  // button text colour: light on light in a dark scheme. There the text is
  // ours to draw, on the scheme's button face.
  const bool ours = IsLight(GetSysColor(COLOR_BTNTEXT));
  SendMessageA(hwnd(), SB_SETTEXTA, kSimplePart | (ours ? SBT_OWNERDRAW : 0),
               ours ? 0 : reinterpret_cast<LPARAM>(text_.c_str()));
  SendMessageA(hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

bool StatusBar::OnReflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (msg != WM_DRAWITEM) return false;
  const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
  Selected sel(d.hDC, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor(COLOR_BTNTEXT));
  RECT r = d.rcItem;
  r.left += 2;
  DrawTextA(d.hDC, text_.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  result = TRUE;
  return true;
}

}  // namespace ui
