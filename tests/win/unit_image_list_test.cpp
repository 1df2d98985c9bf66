// The image list's bulk append keeps one image per distinct icon and gives
// each entry the index of its own.
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

TEST(ImageListOps, AppendDistinctSharesRepeatsAfterWhatWasThere) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
  ui::UniqueIcon r = SolidIcon(red), g = SolidIcon(green), b = SolidIcon(blue);
  ui::ImageList list(32, 32);
  list.Add(b.get());  // what was there stays
  const std::vector<int> indices =
      list.AppendDistinct({r.get(), g.get(), r.get(), b.get(), g.get(), r.get()});
  ASSERT_EQ(indices.size(), 6u);
  EXPECT_EQ(list.Count(), 4);  // the three colours once each after the first image
  EXPECT_EQ(ColourOf(list, 0), blue);
  const std::vector<COLORREF> expected = {red, green, red, blue, green, red};
  for (size_t i = 0; i < indices.size(); ++i) {
    EXPECT_GE(indices[i], 1) << i;
    EXPECT_EQ(ColourOf(list, indices[i]), expected[i]) << i;
  }
  EXPECT_EQ(indices[0], indices[2]);
  EXPECT_EQ(indices[0], indices[5]);
  EXPECT_EQ(indices[1], indices[4]);
}
