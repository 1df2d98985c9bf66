// The DPI a window draws for, and the system settings that change its look.
// The per-monitor functions are bound at run time: the program still loads
// where they do not exist (Windows XP and older).
#pragma once
#include <windows.h>

namespace ui {

inline constexpr int kDesignDpi = 96;

// A design value in 96-DPI pixels, for `dpi`.
inline int ScaleForDpi(int value, int dpi) { return MulDiv(value, dpi, kDesignDpi); }

// The window's DPI; the system's where the system has no per-window DPI.
int WindowDpi(HWND w);

// The system's large-icon size for `dpi`.
int IconSizeForDpi(int dpi);

// The work area (the screen less the taskbar) of the monitor that holds most
// of `w`; the primary one's where the system knows one monitor only.
RECT WorkAreaOf(HWND w);

// The system's high-contrast setting is on.
bool HighContrastOn();

}  // namespace ui
