#include "ui/dpi.h"

#include "ui/gdi.h"
#include "base/late_bound.h"

namespace ui {

namespace {

template <typename F>
F User32Function(const char* name) {
  return base::LateBound<F>("user32.dll", name);
}

int SystemDpi() {
  ClientDC dc(nullptr);
  return dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : kDesignDpi;
}

}  // namespace

int WindowDpi(HWND w) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  const int dpi = getDpi && w ? static_cast<int>(getDpi(w)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

int IconSizeForDpi(int dpi) {
  using GetMetricForDpiFn = int(WINAPI*)(int, UINT);
  static const auto metric = User32Function<GetMetricForDpiFn>("GetSystemMetricsForDpi");
  const int size = metric ? metric(SM_CXICON, static_cast<UINT>(dpi)) : 0;
  if (size > 0) return size;
  // Without per-monitor metrics the system's own size is the one for its DPI.
  return dpi == SystemDpi() ? GetSystemMetrics(SM_CXICON) : ScaleForDpi(32, dpi);
}

RECT WorkAreaOf(HWND w) {
  using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
  using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);
  static const auto monitorOf = User32Function<MonitorFromWindowFn>("MonitorFromWindow");
  static const auto infoOf = User32Function<GetMonitorInfoFn>("GetMonitorInfoA");
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitorOf && infoOf && infoOf(monitorOf(w, MONITOR_DEFAULTTONEAREST), &info))
    return info.rcWork;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

bool HighContrastOn() {
  HIGHCONTRASTA hc{};
  hc.cbSize = sizeof hc;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
         (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace ui
