#include "ui/tab_control.h"

#include "base/shown_text.h"
#include "ui/window.h"

namespace ui {

bool TabControl::Create(const Args& a) {
  if (!Control::Create(a.parent, WC_TABCONTROLA, "",
                       WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_HOTTRACK |
                           TCS_FIXEDWIDTH,
                       WS_EX_CONTROLPARENT, a.bounds, a.id))
    return false;
  SendMessageA(hwnd(), TCM_SETITEMSIZE, 0, MAKELPARAM(a.tabWidth, a.tabHeight));
  int i = 0;
  for (const char* text : a.tabs) {
    std::wstring wide = WideText(text);
    TCITEMW wideItem{TCIF_TEXT, 0, 0, wide.data(), 0, -1, 0};
    TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(text), 0, -1, 0};
    if (WideSystem())
      CallClassProc(TCM_INSERTITEMW, i++, reinterpret_cast<LPARAM>(&wideItem));
    else
      CallClassProc(TCM_INSERTITEMA, i++, reinterpret_cast<LPARAM>(&item));
  }
  return true;
}

int TabControl::TabIndex() const { return static_cast<int>(SendMessageA(hwnd(), TCM_GETCURSEL, 0, 0)); }

int TabControl::TabCount() const {
  return static_cast<int>(SendMessageA(hwnd(), TCM_GETITEMCOUNT, 0, 0));
}

void TabControl::SetTabIndex(int index) { SendMessageA(hwnd(), TCM_SETCURSEL, index, 0); }

Box TabControl::DisplayArea() const {
  RECT r;
  GetClientRect(hwnd(), &r);
  SendMessageA(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool TabControl::OnReflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == TCN_SELCHANGE) {
    if (OnChange) OnChange();
    result = 0;
    return true;
  }
  return false;
}

LRESULT TabControl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ReflectToControl(msg, wp, lp, result)) return result;
  return CallDefault(msg, wp, lp);
}

}  // namespace ui
