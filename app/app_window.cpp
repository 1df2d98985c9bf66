#include "app/app_window.h"

#include "app/texts.h"

bool AppWindow::Create() {
  RegisterClassOnce(kAppWindowClass, nullptr, nullptr);
  // Of no size, so that only its taskbar button shows; made hidden, as the
  // activation a visible one would take at creation costs time and gives
  // nothing: it is shown, never activated, right before the main window.
  return CreateWin(0, kAppWindowClass, texts::kAppTitle, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                   GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                   nullptr, 0);
}

LRESULT AppWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_RESTORE) {
    // Minimized itself (from its taskbar button), it comes back first.
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    if (HWND form = form_.get()) {
      ShowWindow(form, IsIconic(form) ? SW_RESTORE : SW_SHOW);
      SetForegroundWindow(form);
    }
    return 0;
  }
  // Closed from its taskbar button: the main window closes, as its own close does.
  if (msg == WM_CLOSE && form_.get()) {
    SendMessageA(form_.get(), WM_CLOSE, 0, 0);
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}
