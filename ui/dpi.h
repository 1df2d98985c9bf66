// The DPI a window draws for, and the system settings that change its look.
// The per-monitor functions are bound at run time: the program still loads
// where they do not exist (Windows XP and older).
#pragma once
#include <windows.h>

#include "ui/dpi_scale.h"

namespace ui {

// WM_DPICHANGED, newer than the Windows version the headers are set for.
inline constexpr UINT kWmDpiChanged = 0x02E0;

// The window's DPI; the system's where the system has no per-window DPI.
int WindowDpi(HWND w);

// The system's large-icon size for `dpi`.
int IconSizeForDpi(int dpi);

// The work area of the monitor `w` is on (of the primary one where the
// system knows one monitor only), in screen coordinates.
RECT WorkAreaOf(HWND w);

// The system's high-contrast setting is on.
bool HighContrastOn();

}  // namespace ui
