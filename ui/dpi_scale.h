// Design values, in pixels at 96 DPI, for another DPI. Free of Windows, so
// that the layout that uses them is tested natively.
#pragma once

namespace ui {

inline constexpr int kDesignDpi = 96;

// A design value for `dpi`, rounded to the nearest pixel (halves away from
// zero), as MulDiv rounds.
constexpr int ScaleForDpi(int value, int dpi) {
  const long long scaled = static_cast<long long>(value) * dpi;
  return static_cast<int>((scaled + (scaled < 0 ? -kDesignDpi / 2 : kDesignDpi / 2)) / kDesignDpi);
}

}  // namespace ui
