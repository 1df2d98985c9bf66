#include "ui/panel.h"

#include "ui/gdi.h"

namespace ui {

namespace {
constexpr char kClass[] = "VorlanePanel";
}

bool Panel::Create(const Args& a) {
  edge_ = a.edge;
  const Box& b = a.bounds;
  RegisterClassOnce(kClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                    CS_HREDRAW | CS_VREDRAW);
  return CreateWin(WS_EX_CONTROLPARENT, kClass, "",
                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, b.left, b.top,
                   b.width, b.height, a.parent, 0);
}

void Panel::SetBevelBox(int index, const Box& b) {
  if (static_cast<int>(bevels_.size()) <= index) bevels_.resize(static_cast<size_t>(index) + 1);
  bevels_[static_cast<size_t>(index)] = b;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::Paint() {
  PaintDC paint(hwnd());
  const HDC dc = paint.get();
  RECT r;
  GetClientRect(hwnd(), &r);
  if (edge_ == Edge::Etched) DrawEdge(dc, &r, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_RECT);
  for (const Box& b : bevels_) {
    RECT br{b.left, b.top, b.right(), b.bottom()};
    DrawEdge(dc, &br, BDR_SUNKENOUTER, BF_RECT);
  }
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    Paint();
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
