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

void SayStartFailed() {
  MessageBoxA(nullptr, texts::kStartError, texts::kErrorCaption, MB_OK | MB_ICONERROR);
}

void RunMainWindow(const std::function<void()>& shown) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  DdeSession dde;
  AppWindow app;
  // Never a half-built window: say so and end.
  if (!app.Create()) return SayStartFailed();
  TForm1 form(app.hwnd(), &dde);
  if (!form.Create()) return SayStartFailed();
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
    if (IsWindow(form.hwnd()) && form.PreTranslateKey(msg)) continue;
    if (IsWindow(form.hwnd()) && IsDialogMessageA(form.hwnd(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunEntrySequence(SystemEntryApi(), OwnExePath(), RunMainWindow);
}
