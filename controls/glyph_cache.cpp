#include "controls/glyph_cache.h"

#include <algorithm>
#include <utility>

bool GlyphCache::Draw(HDC to, int x, int y, const ui::ImageList& images, int glyph,
                      COLORREF back, HBRUSH backBrush) {
  Squares& s = SquaresOf(images);
  const int slot = SlotOf(s, to, glyph, back, backBrush);
  if (slot < 0) return false;
  return BitBlt(to, x, y, s.width, s.height, s.dc.get(), (slot % kColumns) * s.width,
                (slot / kColumns) * s.height, SRCCOPY) != FALSE;
}

GlyphCache::Squares& GlyphCache::SquaresOf(const ui::ImageList& images) {
  auto it = std::find_if(lists_.begin(), lists_.end(),
                         [&](const Squares& s) { return s.images == &images; });
  if (it == lists_.end()) {
    if (lists_.size() >= kMaxLists) lists_.clear();
    it = lists_.emplace(lists_.end());
  }
  if (it->images != &images || it->version != images.Version() || it->slots.size() >= kMaxSlots) {
    it->dc.reset();  // lets go of the bitmap before it goes
    *it = Squares{};
    it->images = &images;
    it->version = images.Version();
    it->width = images.Width();
    it->height = images.Height();
  }
  return *it;
}

int GlyphCache::SlotOf(Squares& s, HDC like, int glyph, COLORREF back, HBRUSH backBrush) {
  const uint64_t key = (static_cast<uint64_t>(back) << 32) | static_cast<uint32_t>(glyph);
  if (auto it = s.slots.find(key); it != s.slots.end()) return it->second;
  const int slot = static_cast<int>(s.slots.size());
  if (slot / kColumns >= s.rows && !Grow(s, like, slot / kColumns + 1)) return -1;
  const int x = (slot % kColumns) * s.width, y = (slot / kColumns) * s.height;
  // Blended in a square of its own: blended in place, its half-transparent
  // edges would come out otherwise than they always have.
  const RECT square{x, y, x + s.width, y + s.height};
  FillRect(s.dc.get(), &square, backBrush);
  ImageList_DrawEx(s.images->get(), glyph, s.dc.get(), x, y, 0, 0, CLR_NONE, CLR_DEFAULT,
                   ILD_NORMAL);
  s.slots.emplace(key, slot);
  return slot;
}

// Room for at least `rows` rows of squares, those made so far kept.
bool GlyphCache::Grow(Squares& s, HDC like, int rows) {
  rows = std::max(rows, s.rows * 2);
  ui::UniqueMemDC dc(CreateCompatibleDC(like));
  ui::UniqueBitmap bits(CreateCompatibleBitmap(like, kColumns * s.width, rows * s.height));
  if (!dc || !bits) return false;
  SelectObject(dc.get(), bits.get());
  if (s.dc) BitBlt(dc.get(), 0, 0, kColumns * s.width, s.rows * s.height, s.dc.get(), 0, 0, SRCCOPY);
  s.dc.reset();  // lets go of the old bitmap before it goes
  s.bits = std::move(bits);
  s.dc = std::move(dc);
  s.rows = rows;
  return true;
}
