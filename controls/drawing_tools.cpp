// The list's drawing tools: kept solid brushes and pens, and the
// off-screen image each item is drawn into.
#include <algorithm>

#include "controls/graphic_list_box.h"

namespace {

// Colours come and go only when a property changes: past this many, the
// kept tools are dropped and made again as they are used.
constexpr size_t kMaxKeptColours = 8;

template <typename Tools, typename Make>
auto KeptFor(Tools& kept, COLORREF c, Make make) {
  for (auto& [colour, tool] : kept)
    if (colour == c) return tool.get();
  if (kept.size() >= kMaxKeptColours) kept.clear();
  kept.emplace_back(c, make());
  return kept.back().second.get();
}

}  // namespace

HBRUSH SolidTools::Brush(COLORREF c) {
  return KeptFor(brushes_, c, [c] { return ui::UniqueBrush(CreateSolidBrush(c)); });
}

HPEN SolidTools::Pen(COLORREF c) {
  return KeptFor(pens_, c, [c] { return ui::UniquePen(CreatePen(PS_SOLID, 1, c)); });
}

HDC BackBuffer::Get(HDC like, int w, int h) {
  if (dc_ && w <= width_ && h <= height_) return dc_.get();
  if (!dc_) dc_.reset(CreateCompatibleDC(like));
  const int nw = std::max(w, width_), nh = std::max(h, height_);
  ui::UniqueBitmap bits(CreateCompatibleBitmap(like, nw, nh));
  if (!dc_ || !bits) return nullptr;
  SelectObject(dc_.get(), bits.get());  // the old bitmap is no longer selected
  bits_ = std::move(bits);
  width_ = nw;
  height_ = nh;
  return dc_.get();
}
