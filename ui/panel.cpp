#include "ui/panel.h"

#include "ui/handles.h"

namespace ui {

namespace {
constexpr char kClass[] = "VorlanePanel";
}

bool Panel::Create(HWND parent, const Box& b, Edge edge) {
  edge_ = edge;
  RegisterClassOnce(kClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                    CS_HREDRAW | CS_VREDRAW);
  return CreateWin(WS_EX_CONTROLPARENT, kClass, "",
                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, b.left, b.top,
                   b.width, b.height, parent, 0);
}

void Panel::SetBevelBox(int index, const Box& b) {
  if (static_cast<int>(bevels_.size()) <= index) bevels_.resize(static_cast<size_t>(index) + 1);
  bevels_[static_cast<size_t>(index)] = b;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Panel::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  RECT r;
  GetClientRect(hwnd(), &r);
  if (edge_ == Edge::Etched) DrawEdge(dc, &r, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_RECT);
  for (const Box& b : bevels_) {
    RECT br{b.left, b.top, b.right(), b.bottom()};
    DrawEdge(dc, &br, BDR_SUNKENOUTER, BF_RECT);
  }
  EndPaint(hwnd(), &ps);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    Paint();
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
