#include "ui/window.h"

#include "ui/control.h"
#include "ui/text_calls.h"

namespace ui {

HWND NotificationSource(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lp);
    case WM_NOTIFY:
      return reinterpret_cast<NMHDR*>(lp)->hwndFrom;
    case WM_DRAWITEM:
      return wp ? reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem : nullptr;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<HWND>(lp);
    default:
      return nullptr;
  }
}

bool ReflectToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  HWND source = NotificationSource(msg, wp, lp);
  if (!source) return false;
  Control* c = Control::FromHandle(source);
  return c && c->OnReflect(msg, wp, lp, result);
}

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Window::RegisterClassOnce(const char* cls, HICON icon, HBRUSH background, UINT style) {
  RegisterModuleClass({.style = style, .lpfnWndProc = Proc, .hIcon = icon,
                       .hbrBackground = background, .lpszClassName = cls});
}

void RegisterModuleClass(WNDCLASSEXA wc) {
  if (ClassRegistered(wc.lpszClassName)) return;
  wc.cbSize = sizeof wc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  RegisterClass932(wc);
}

LRESULT Window::Default(UINT msg, WPARAM wp, LPARAM lp) { return DefProc(hwnd_, msg, wp, lp); }

bool ReleasedInside(HWND w, LPARAM lp) {
  RECT r;
  GetClientRect(w, &r);
  const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  return PtInRect(&r, p) != FALSE;
}

bool Window::CreateWin(DWORD exStyle, const char* cls, const char* title, DWORD style, int x,
                       int y, int w, int h, HWND parent, int id) {
  HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
  return CreateWindow932(exStyle, cls, title, style, x, y, w, h, parent, menu, this) != nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (SkipsNcPaint(hwnd_, msg)) return 0;
  LRESULT result = 0;
  if (ReflectToControl(msg, wp, lp, result)) return result;
  return Default(msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = w;
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(w, GWLP_USERDATA));
  if (!self) return DefProc(w, msg, wp, lp);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the system's code; the message just fails.
    result = DefProc(w, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(w, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

bool HasNoFrame(HWND w) {
  RECT outer{}, inner{};
  GetWindowRect(w, &outer);
  GetClientRect(w, &inner);
  return outer.right - outer.left == inner.right && outer.bottom - outer.top == inner.bottom;
}

void PlaceWindow(HWND w, const Box& b) {
  SetWindowPos(w, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Box BoundsInParent(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace ui
