// The program's entry: single-instance check, windows, message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/app_window.h"
#include "app/details/details_window.h"
#include "app/entry_sequence.h"
#include "app/unit1.h"
#include "base/late_bound.h"
#include "productinfo/home_page.h"
#include "productinfo/qorfunc.h"
#include "ui/text_calls.h"

namespace {

bool RunMainWindow(const MainWindowHooks& hooks) {
  // Windows 95's first common controls (4.00) have only the plain call.
  using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  if (auto initEx = base::LateBound<InitExFn>("comctl32.dll", "InitCommonControlsEx"))
    initEx(&icc);
  else
    InitCommonControls();
  DdeSession dde;
  AppWindow app;
  if (!app.Create()) return false;
  TForm1 form(app.hwnd(), &dde);
  if (!form.Create()) return false;  // never a half-built window
  form.OnClosing = hooks.closing;
  app.SetMainWindow(form.hwnd());
  // Made at its place and size: shown and painted first, then activated.
  // The worker's first reload, begun at creation, waits in the queue.
  ShowWindow(app.hwnd(), SW_SHOWNA);
  ShowWindow(form.hwnd(), SW_SHOWNA);
  RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ShowWindow(form.hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(form.hwnd());
  hooks.shown();
  MSG msg;
  while (ui::NextMessage(msg)) {
    const bool used = DetailsWindow::PreTranslate(msg) ||
                      (IsWindow(form.hwnd()) &&
                       (form.PreTranslateKey(msg) || ui::DialogMessage(form.hwnd(), msg)));
    if (!used) {
      TranslateMessage(&msg);
      ui::DispatchTo(msg);
    }
    // What a message did may have disabled or hidden the focused control.
    if (IsWindow(form.hwnd())) form.KeepFocus();
  }
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunEntrySequence(SystemEntryApi(), OwnExePath(), RunMainWindow);
}
