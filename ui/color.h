// TColor: an RGB value 0x00BBGGRR, or 0x80000000 plus a system colour index.
#pragma once
#include <windows.h>

#include <cstdint>

namespace ui {

using TColor = uint32_t;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clHighlight = 0x8000000D;
inline constexpr TColor clHighlightText = 0x8000000E;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clBtnHighlight = 0x80000014;
inline constexpr TColor clGreen = 0x00008000;
inline constexpr TColor clMoneyGreen = 0x00C0DCC0;
inline constexpr TColor clSkyBlue = 0x00F0CAA6;

inline COLORREF ColorToRGB(TColor c) {
  return (c & 0x80000000u) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

}  // namespace ui
