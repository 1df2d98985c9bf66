// The list and the pointer: the hot entry that follows it, and the focus
// cue, shown once keys are used.
#include "controls/graphic_list_box.h"

#include "base/late_bound.h"

namespace {

// The system's own where it has one (98, NT 4.0 on), else the common
// controls' (4.70 on); Windows 95 with neither reports no leave.
bool TrackLeave(TRACKMOUSEEVENT* tme) {
  using TrackFn = BOOL(WINAPI*)(TRACKMOUSEEVENT*);
  static const TrackFn track = [] {
    auto f = base::LateBound<TrackFn>("user32.dll", "TrackMouseEvent");
    return f ? f : base::LateBound<TrackFn>("comctl32.dll", "_TrackMouseEvent");
  }();
  return track && track(tme) != FALSE;
}

}  // namespace

void TGraphicListBox::HideFocusCueUntilKeys() {
  SendMessageA(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  // Windows 2000 on keeps it; the 9x family, NT 4.0 and Wine 8 keep none.
  systemKeepsState_ = SendMessageA(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
  focusCue_ = false;
  RepaintCaret();
}

bool TGraphicListBox::FocusCueShown() const {
  if (!systemKeepsState_) return focusCue_;
  return !(SendMessageA(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void TGraphicListBox::ShowFocusCue(bool on) {
  if (on == FocusCueShown()) return;
  if (systemKeepsState_) {
    // The window's state: the system tells every control, this list too.
    SendMessageA(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(on ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS), 0);
    return;
  }
  focusCue_ = on;
  RepaintCaret();
}

void TGraphicListBox::RepaintCaret() {
  RECT r;
  const LRESULT caret = CallList(LB_GETCARETINDEX, 0, 0);
  if (GetFocus() == hwnd() && CallList(LB_GETITEMRECT, caret, reinterpret_cast<LPARAM>(&r)) != LB_ERR)
    InvalidateRect(hwnd(), &r, FALSE);
}

void TGraphicListBox::SetTimerEnabled(bool on) {
  if (on) {
    stillTicks_ = 0;
    lastTop_ = kTopUnknown;  // the next tick looks again, whatever it finds
  }
  if (on == timerOn_) return;
  if (on) {
    // Without a timer the hot look stays off; the next entering tries again.
    timerOn_ = SetTimer(hwnd(), kHoverTimerId, kHoverInterval, nullptr) != 0;
  } else {
    KillTimer(hwnd(), kHoverTimerId);
    timerOn_ = false;
  }
}

void TGraphicListBox::PointerEntered() {
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
  tracking_ = TrackLeave(&tme);
  if (Count() > 0) SetTimerEnabled(true);
}

void TGraphicListBox::WakeHover() {
  if (tracking_ && Count() > 0) SetTimerEnabled(true);
}

void TGraphicListBox::PointerLeft() {
  SetTimerEnabled(false);
  PaintHotItem(false);
  hotIndex_ = -1;
}

void TGraphicListBox::TrackHotItem() {
  POINT p;
  GetCursorPos(&p);
  // A pointer at rest over a list at rest finds nothing new: the looks stop
  // until the pointer moves or the list scrolls (WakeHover), so a window left
  // alone under the pointer costs nothing.
  const int top = static_cast<int>(CallList(LB_GETTOPINDEX, 0, 0));
  if (p.x == lastPointer_.x && p.y == lastPointer_.y && top == lastTop_) {
    if (++stillTicks_ >= kStillTicks) SetTimerEnabled(false);
    return;
  }
  lastPointer_ = p;
  lastTop_ = top;
  stillTicks_ = 0;
  ScreenToClient(hwnd(), &p);
  int found = -1;
  RECT client;
  GetClientRect(hwnd(), &client);
  if (PtInRect(&client, p)) {
    LRESULT r = SendMessageA(hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    if (HIWORD(r) == 0 && static_cast<int>(LOWORD(r)) < Count()) found = LOWORD(r);
  }
  if (found == hotIndex_) return;
  PaintHotItem(false);
  hotIndex_ = found;
  PaintHotItem(true);
}

void TGraphicListBox::PaintHotItem(bool hot) {
  if (hotIndex_ < 0 || hotIndex_ >= Count()) return;
  RECT r;
  SendMessageA(hwnd(), LB_GETITEMRECT, hotIndex_, reinterpret_cast<LPARAM>(&r));
  UINT state = SendMessageA(hwnd(), LB_GETSEL, hotIndex_, 0) > 0 ? kSelected : 0;
  if (hot) state |= kHot;
  if (GetFocus() == hwnd() && CallList(LB_GETCARETINDEX, 0, 0) == hotIndex_ && FocusCueShown())
    state |= kFocusCue;
  ui::ClientDC dc(hwnd());
  PaintItem(dc.get(), hotIndex_, r, state);
}
