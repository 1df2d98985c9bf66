// Glyphs as they are drawn on an entry: each image of a list blended onto
// one background colour in a square of its own. Blending is most of the
// cost of drawing an entry, and a list shows few images on few colours, so
// each square is made once and copied from then on, until the images change.
// The squares of a few image lists are kept (one per tab of entries).
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

  static constexpr int kColumns = 16;
  static constexpr size_t kMaxSlots = 1024;  // past this, a list's squares begin again
  static constexpr size_t kMaxLists = 4;
  std::vector<Squares> lists_;
};
