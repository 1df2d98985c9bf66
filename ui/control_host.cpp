#include "ui/control_host.h"

#include "ui/gdi.h"

namespace ui {

namespace {
constexpr char kClass[] = "VorlaneControlHost";
}

bool ControlHost::Create(const Args& a) {
  RegisterClassOnce(kClass, nullptr, nullptr);
  const Box& b = a.bounds;
  return CreateWin(WS_EX_CONTROLPARENT, kClass, "",
                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, b.left, b.top,
                   b.width, b.height, a.parent, 0);
}

void ControlHost::SetBounds(const Box& b) {
  PlaceWindow(hwnd(), b);
  if (child_ && child_->hwnd()) child_->SetBounds(ChildBox(b));
}

LRESULT ControlHost::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return TRUE;  // the control covers every pixel
    case WM_PAINT: {
      PaintDC paint(hwnd());
      return 0;
    }
    case WM_DELETEITEM:
      return TRUE;  // no entry holds anything to free
  }
  LRESULT result = 0;
  if (child_ && child_->hwnd() && NotificationSource(msg, wp, lp) == child_->hwnd() &&
      child_->OnReflect(msg, wp, lp, result))
    return result;
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
