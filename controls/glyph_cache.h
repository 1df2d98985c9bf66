// Glyphs as they are drawn on an entry: each image of a list blended onto
// one background colour in a square of its own. Blending is most of the
// cost of drawing an entry, and a list shows few images on few colours, so
// each square is made once and copied from then on, until the images change.
// The squares of a few image lists are kept (one per tab of entries), each
// list's in a bitmap of bounded size: where the squares cannot be kept (the
// bound reached, or no bitmap to be had), the glyph is blended in place.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "ui/gdi.h"
#include "ui/image_list.h"

class GlyphCache {
 public:
  // Copies image `glyph` of `images`, blended onto `back` (`backBrush`, of
  // that colour, borrowed), to (x, y) of `to`. False when nothing could be drawn.
  bool Draw(HDC to, int x, int y, const ui::ImageList& images, int glyph, COLORREF back,
            HBRUSH backBrush);
  // The bytes of the squares' bitmaps, as if 32 bits a pixel.
  size_t KeptBytes() const;
  // The most one list's squares may take: 128 squares at 192 DPI.
  static constexpr size_t kMaxBytesPerList = 2 * 1024 * 1024;

 private:
  // The squares made from one image list at one of its versions.
  struct Squares {
    const ui::ImageList* images = nullptr;  // borrowed
    unsigned version = 0;
    int width = 0, height = 0;  // one square
    int rows = 0;
    std::unordered_map<uint64_t, int> slots;  // (back << 32 | glyph) -> slot
    ui::UniqueBitmap bits;  // owned; selected into dc while both live
    ui::UniqueMemDC dc;     // owned; released before bits
  };
  Squares& SquaresOf(const ui::ImageList& images);
  // Slot of (glyph, back), made on first use; -1 on failure.
  static int SlotOf(Squares& s, HDC like, int glyph, COLORREF back, HBRUSH backBrush);
  static bool Grow(Squares& s, HDC like, int rows);
  static size_t RowBytes(const Squares& s);
  // Past this many squares, a list's squares begin again.
  static size_t MaxSlots(const Squares& s);

  static constexpr int kColumns = 16;
  static constexpr size_t kMaxSlots = 1024;
  static constexpr size_t kMaxLists = 4;
  std::vector<Squares> lists_;
};
