// The image list's bulk append and in-place reordering keep every image
// with its entry.
#include <gtest/gtest.h>

#include "ui/image_list.h"

namespace {

// A 32 x 32 icon of one colour.
ui::UniqueIcon SolidIcon(COLORREF colour) {
  HDC screen = GetDC(nullptr);
  ui::UniqueBitmap colourBits(CreateCompatibleBitmap(screen, 32, 32));
  ui::UniqueBitmap mask(CreateBitmap(32, 32, 1, 1, nullptr));
  {
    ui::UniqueMemDC dc(CreateCompatibleDC(screen));
    ui::Selected sel(dc.get(), colourBits.get());
    RECT r{0, 0, 32, 32};
    ui::UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc.get(), &r, brush.get());
    ui::Selected selMask(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, 32, 32, BLACKNESS);  // all opaque
  }
  ReleaseDC(nullptr, screen);
  ICONINFO info{TRUE, 0, 0, mask.get(), colourBits.get()};
  return ui::UniqueIcon(CreateIconIndirect(&info));
}

// The colour of image i, drawn onto white.
COLORREF ColourOf(const ui::ImageList& list, int i) {
  HDC screen = GetDC(nullptr);
  ui::UniqueMemDC dc(CreateCompatibleDC(screen));
  ui::UniqueBitmap bits(CreateCompatibleBitmap(screen, 32, 32));
  ReleaseDC(nullptr, screen);
  ui::Selected sel(dc.get(), bits.get());
  PatBlt(dc.get(), 0, 0, 32, 32, WHITENESS);
  ImageList_Draw(list.get(), i, dc.get(), 0, 0, ILD_NORMAL);
  return GetPixel(dc.get(), 16, 16);
}

}  // namespace

TEST(ImageListOps, AppendCopiesRepeatsAndReorderMovesImages) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
  ui::UniqueIcon r = SolidIcon(red), g = SolidIcon(green), b = SolidIcon(blue);
  ui::ImageList list(32, 32);
  list.Add(b.get());  // what was there stays
  list.Append({r.get(), g.get(), r.get(), b.get(), g.get(), r.get()});
  ASSERT_EQ(list.Count(), 7);
  const std::vector<COLORREF> expected = {blue, red, green, red, blue, green, red};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(ColourOf(list, i), expected[static_cast<size_t>(i)]) << i;

  const std::vector<size_t> order = {6, 2, 0, 5, 1, 4, 3};
  list.Rearrange(order);
  ASSERT_EQ(list.Count(), 7);
  for (size_t k = 0; k < order.size(); ++k)
    EXPECT_EQ(ColourOf(list, static_cast<int>(k)), expected[order[k]]) << k;
}
