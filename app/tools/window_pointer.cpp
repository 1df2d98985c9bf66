#include "app/tools/window_pointer.h"

#include "procinfo/process_api.h"
#include "ui/dpi_scale.h"

WindowPointer* WindowPointer::active_ = nullptr;

namespace {

constexpr char kEdgeClass[] = "VorlaneOutline";
// WS_EX_NOACTIVATE (2000 and later; a style bit older systems ignore).
constexpr DWORD kNoActivate = 0x08000000;

void RegisterEdgeClass() {
  WNDCLASSA wc{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), kEdgeClass, &wc)) return;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kEdgeClass;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS));
  // The system's highlight: readable in every scheme, high contrast too.
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
  RegisterClassA(&wc);
}

}  // namespace

bool WindowPointer::Supported() { return PlatformId() == VER_PLATFORM_WIN32_NT; }

bool WindowPointer::Start(HWND owner, int dpi) {
  End();
  if (!Supported()) return false;
  // WH_MOUSE_LL is a number older systems refuse, not a function: nothing to bind.
  hook_ = SetWindowsHookExA(WH_MOUSE_LL, Hook, GetModuleHandleA(nullptr), 0);
  if (!hook_) return false;
  owner_ = owner;
  active_ = this;
  thickness_ = ui::ScaleForDpi(3, dpi);
  RegisterEdgeClass();
  for (HWND& edge : edges_)
    edge = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | kNoActivate, kEdgeClass, "", WS_POPUP, 0,
                           0, 0, 0, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  before_ = GetCursor();
  POINT at{};
  GetCursorPos(&at);
  Moved(at);
  return true;
}

void WindowPointer::End() {
  if (!hook_) return;
  UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  active_ = nullptr;
  for (HWND& edge : edges_) {
    if (edge) DestroyWindow(edge);
    edge = nullptr;
  }
  outlined_ = nullptr;
  if (GetCapture() == owner_) ReleaseCapture();
  SetCursor(before_);
}

bool WindowPointer::IsEdge(HWND w) const {
  for (HWND edge : edges_)
    if (edge && edge == w) return true;
  return false;
}

HWND WindowPointer::WindowAt(POINT p) const {
  // Top-level windows from the top of the z-order down: the first visible
  // one the point is in. WindowFromPoint would find the outline itself.
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (IsEdge(w) || !IsWindowVisible(w) || IsIconic(w)) continue;
    if (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TRANSPARENT) continue;
    RECT r{};
    if (GetWindowRect(w, &r) && PtInRect(&r, p)) return w;
  }
  return nullptr;
}

void WindowPointer::Moved(POINT p) {
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS)));
  Outline(WindowAt(p));
}

void WindowPointer::Outline(HWND target) {
  RECT r{};
  if (target && !GetWindowRect(target, &r)) target = nullptr;
  if (target == outlined_ && EqualRect(&r, &outlinedRect_)) return;
  outlined_ = target;
  outlinedRect_ = r;
  if (!target) {
    for (HWND edge : edges_) ShowWindow(edge, SW_HIDE);
    return;
  }
  // Inside the window's own rectangle: also seen on a window that fills the screen.
  const int t = thickness_, w = r.right - r.left, h = r.bottom - r.top;
  const RECT places[4] = {{r.left, r.top, w, t}, {r.left, r.bottom - t, w, t},
                          {r.left, r.top, t, h}, {r.right - t, r.top, t, h}};
  for (int i = 0; i < 4; ++i)
    SetWindowPos(edges_[i], HWND_TOPMOST, places[i].left, places[i].top, places[i].right,
                 places[i].bottom, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT CALLBACK WindowPointer::Hook(int code, WPARAM wp, LPARAM lp) {
  WindowPointer* self = active_;
  if (code != HC_ACTION || !self) return CallNextHookEx(nullptr, code, wp, lp);
  const POINT p = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->pt;
  switch (wp) {
    case WM_MOUSEMOVE:
      self->Moved(p);
      break;  // passed on: the pointer moves
    // Taken, the press and its release: the window under the pointer gets
    // neither. The choice is made on the release, so no release follows it.
    case WM_LBUTTONUP:
      PostMessageA(self->owner_, kWmPointerClicked, 0, MAKELPARAM(p.x, p.y));
      return 1;
    case WM_RBUTTONUP:
      PostMessageA(self->owner_, kWmPointerCancelled, 0, 0);
      return 1;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_MBUTTONUP:
    case WM_XBUTTONDOWN: case WM_XBUTTONUP: case WM_MOUSEWHEEL:
      return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}
