// The program's entry: single-instance check, windows, message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/app_window.h"
#include "app/entry_sequence.h"
#include "app/texts.h"
#include "app/unit1.h"
#include "productinfo/home_page.h"
#include "productinfo/qorfunc.h"

namespace {

void RunMainWindow(const std::function<void()>& shown) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  DdeSession dde;
  AppWindow app;
  if (!app.Create()) return;
  TForm1 form(app.hwnd(), &dde);
  if (!form.Create()) {
    // Never a half-built window: say so and end.
    MessageBoxA(nullptr, texts::kStartError, texts::kErrorCaption, MB_OK | MB_ICONERROR);
    return;
  }
  app.SetMainWindow(form.hwnd());
  // Centred on the screen when first shown.
  RECT r;
  GetWindowRect(form.hwnd(), &r);
  SetWindowPos(form.hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(form.hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(form.hwnd());
  shown();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    const bool used = IsWindow(form.hwnd()) &&
                      (form.PreTranslateKey(msg) || IsDialogMessageA(form.hwnd(), &msg));
    if (!used) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    // What a message did may have disabled or hidden the focused control.
    if (IsWindow(form.hwnd())) form.KeepFocus();
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunEntrySequence(SystemEntryApi(), OwnExePath(), RunMainWindow);
}
