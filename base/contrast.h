// The contrast of two colours as the accessibility guidelines of the web
// define it: from 1 (the same) to 21 (black on white).
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace base {

// The least contrast at which normal text counts as readable.
inline constexpr double kReadableContrast = 4.5;

// `rgb` as 0x00BBGGRR, the system's own layout.
inline double RelativeLuminance(uint32_t rgb) {
  auto linear = [](uint32_t v) {
    const double s = static_cast<double>(v & 0xFF) / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(rgb) + 0.7152 * linear(rgb >> 8) + 0.0722 * linear(rgb >> 16);
}

inline double ContrastRatio(uint32_t a, uint32_t b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace base
