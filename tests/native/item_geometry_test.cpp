#include "controls/item_geometry.h"

#include <gtest/gtest.h>

namespace {
ItemMetrics Metrics(TButtonLayout layout, bool glyphs, int lines = 3, int textWidth = 100) {
  ItemMetrics m;
  m.layout = layout;
  m.hasGlyphs = glyphs;
  m.glyphWidth = m.glyphHeight = glyphs ? 32 : 0;
  m.clientWidth = 600;
  m.itemHeight = 46;
  m.lineCount = lines;
  m.lineHeight = 12;
  m.textWidth = textWidth;
  return m;
}
}  // namespace

TEST(ItemGeometry, MainWindowEntry) {
  ItemGeometry g = ComputeItemGeometry(Metrics(blGlyphLeft, true));
  EXPECT_EQ(g.height, 46);
  EXPECT_EQ(g.glyphX, 2);
  EXPECT_EQ(g.glyphY, 7);
  EXPECT_EQ(g.textX, 36);
  EXPECT_EQ(g.textY, 5);
}

TEST(ItemGeometry, WithoutGlyphs) {
  EXPECT_EQ(ComputeItemGeometry(Metrics(blGlyphLeft, false)).textX, 4);
  EXPECT_EQ(ComputeItemGeometry(Metrics(blGlyphRight, false)).textX, 0);
  ItemGeometry top = ComputeItemGeometry(Metrics(blGlyphTop, false, 1));
  EXPECT_EQ(top.textY, (46 - 12) / 2 + 2);
}

TEST(ItemGeometry, OtherLayouts) {
  ItemGeometry r = ComputeItemGeometry(Metrics(blGlyphRight, true));
  EXPECT_EQ(r.glyphX, 600 - 2 - 32);
  EXPECT_EQ(r.clearColumnsAt, r.glyphX - 2);
  ItemGeometry wide = ComputeItemGeometry(Metrics(blGlyphRight, true, 1, 700));
  EXPECT_EQ(wide.width, 736);
  EXPECT_GE(wide.glyphX, 600);  // pushed past the shown part
  ItemGeometry t = ComputeItemGeometry(Metrics(blGlyphTop, true, 1));
  EXPECT_EQ(t.contentHeight, 12 + 32 + 2);
  EXPECT_EQ(t.glyphY, 1);
  EXPECT_EQ(t.textY, 34);
  EXPECT_EQ(t.glyphX, (600 - 32) / 2);
  ItemGeometry b = ComputeItemGeometry(Metrics(blGlyphBottom, true, 1));
  EXPECT_EQ(b.textY, 0);
  EXPECT_EQ(b.glyphY, 14);
  EXPECT_EQ(b.clearRowAt, 13);
}

TEST(ItemGeometry, AutoItemHeight) {
  EXPECT_EQ(AutoItemHeight(-12, false, 0, blGlyphLeft), 12);
  EXPECT_EQ(AutoItemHeight(-12, true, 32, blGlyphLeft), 34);
  EXPECT_EQ(AutoItemHeight(-12, true, 32, blGlyphRight), 34);
  EXPECT_EQ(AutoItemHeight(-12, true, 32, blGlyphTop), 46);
  EXPECT_EQ(AutoItemHeight(-12, true, 32, blGlyphBottom), 46);
}
