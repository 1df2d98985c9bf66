#include "controls/glyph_cache.h"

#include <algorithm>
#include <utility>

bool GlyphCache::Draw(HDC to, int x, int y, const ui::ImageList& images, int glyph,
                      COLORREF back, HBRUSH backBrush) {
  Squares& s = SquaresOf(images);
  const int slot = SlotOf(s, to, glyph, back, backBrush);
  if (slot < 0) {  // not kept: blended the same way where it is drawn
    const RECT square{x, y, x + images.Width(), y + images.Height()};
    return FillRect(to, &square, backBrush) &&
           ImageList_DrawEx(images.get(), glyph, to, x, y, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
  }
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
  if (it->images != &images || it->version != images.Version() || it->slots.size() >= MaxSlots(*it)) {
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
  // Blended on the background alone: nothing the entry draws under the
  // glyph (a long line) shows through its half-transparent edges.
  const RECT square{x, y, x + s.width, y + s.height};
  FillRect(s.dc.get(), &square, backBrush);
  ImageList_DrawEx(s.images->get(), glyph, s.dc.get(), x, y, 0, 0, CLR_NONE, CLR_DEFAULT,
                   ILD_NORMAL);
  s.slots.emplace(key, slot);
  return slot;
}

size_t GlyphCache::KeptBytes() const {
  size_t bytes = 0;
  for (const Squares& s : lists_) bytes += static_cast<size_t>(s.rows) * RowBytes(s);
  return bytes;
}

size_t GlyphCache::RowBytes(const Squares& s) {
  return static_cast<size_t>(kColumns) * static_cast<size_t>(s.width) *
         static_cast<size_t>(s.height) * 4;
}

size_t GlyphCache::MaxSlots(const Squares& s) {
  const size_t rows = kMaxBytesPerList / std::max<size_t>(RowBytes(s), 1);
  return std::min(kMaxSlots, rows * kColumns);
}

// Room for at least `rows` rows of squares, those made so far kept; never
// more than the bound allows.
bool GlyphCache::Grow(Squares& s, HDC like, int rows) {
  const int most = static_cast<int>(MaxSlots(s) / kColumns);
  if (rows > most) return false;
  rows = std::min(std::max(rows, s.rows * 2), most);
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
