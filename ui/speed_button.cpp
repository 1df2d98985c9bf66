#include "ui/speed_button.h"

#include "ui/window.h"

namespace ui {

bool SpeedButton::Create(Args a) {
  a.tabStop = false;
  return BitmapButton::Create(a);
}

void SpeedButton::SetDown(bool down) {
  if (down && group_) {
    for (SpeedButton* other : *group_)
      if (other != this) other->SetDown(false);
  }
  if (down_ != down) {
    down_ = down;
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
}

bool SpeedButton::LooksDown(const DRAWITEMSTRUCT& d) const {
  return down_ || (d.itemState & ODS_SELECTED);
}

void SpeedButton::Clicked() {
  SetDown(true);
  BitmapButton::Clicked();
}

LRESULT SpeedButton::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // A click must not take the focus away from the list.
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    SetCapture(hwnd());
    SendMessageA(hwnd(), BM_SETSTATE, TRUE, 0);
    return 0;
  }
  if (msg == WM_LBUTTONUP && GetCapture() == hwnd()) {
    ReleaseCapture();
    SendMessageA(hwnd(), BM_SETSTATE, FALSE, 0);
    if (ReleasedInside(hwnd(), lp))
      SendMessageA(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(hwnd()));
    return 0;
  }
  return BitmapButton::OnMessage(msg, wp, lp);
}

}  // namespace ui
