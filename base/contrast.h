// The contrast of two colours as the accessibility guidelines of the web
// define it: from 1 (the same) to 21 (black on white).
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

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

// The first of `preferred` readable on `back`; when none is, whichever of
// them, black and white has the most contrast on it.
inline uint32_t ReadableOn(uint32_t back, std::initializer_list<uint32_t> preferred) {
  for (uint32_t c : preferred)
    if (ContrastRatio(c, back) >= kReadableContrast) return c;
  uint32_t best = 0x000000;
  for (uint32_t c : preferred) best = ContrastRatio(c, back) > ContrastRatio(best, back) ? c : best;
  return ContrastRatio(0xFFFFFF, back) > ContrastRatio(best, back) ? 0xFFFFFF : best;
}

// A colour of the program's own look drawn on another: `ink` on `back`.
struct OwnPairing {
  uint32_t ink, back;
};

// The one test of whether to draw in the system's colours rather than the
// program's own look: where the system asks for high contrast, or where the
// scheme makes any of the look's pairings unreadable (a dark scheme, or one
// of Wine's high-contrast schemes, which never set the request).
inline bool DrawInSystemColours(bool highContrast, std::initializer_list<OwnPairing> pairings) {
  if (highContrast) return true;
  for (const OwnPairing& p : pairings)
    if (ContrastRatio(p.ink, p.back) < kReadableContrast) return true;
  return false;
}

}  // namespace base
