#include "controls/item_geometry.h"

#include <gtest/gtest.h>

namespace {
ItemMetrics Metrics(bool glyphs) {
  ItemMetrics m;
  m.hasGlyphs = glyphs;
  m.glyphWidth = m.glyphHeight = glyphs ? 32 : 0;
  m.clientWidth = 600;
  m.itemHeight = 46;
  m.lineCount = 3;
  m.lineHeight = 12;
  m.textWidth = 100;
  return m;
}
}  // namespace

TEST(ItemGeometry, MainWindowEntry) {
  ItemGeometry g = ComputeItemGeometry(Metrics(true));
  EXPECT_EQ(g.height, 46);
  EXPECT_EQ(g.glyphX, 2);
  EXPECT_EQ(g.glyphY, 7);
  EXPECT_EQ(g.textX, 36);
  EXPECT_EQ(g.textY, 5);
}

TEST(ItemGeometry, WithoutGlyphs) {
  EXPECT_EQ(ComputeItemGeometry(Metrics(false)).textX, 4);
}

TEST(ItemGeometry, FiguresAtTheRightCutTheLinesBeforeThem) {
  ItemMetrics m = Metrics(true);
  EXPECT_EQ(ComputeItemGeometry(m).textRight, 600);  // no figures: nothing cut
  m.figureWidth = 90;
  m.textWidth = 900;  // a long description: the image is wider than the list
  const ItemGeometry g = ComputeItemGeometry(m);
  EXPECT_EQ(g.figureRight, 596);
  EXPECT_EQ(g.textRight, 600 - 4 - 90 - 6);
  m.clientWidth = 100;  // narrower than the figures: the text keeps no room, never negative
  EXPECT_EQ(ComputeItemGeometry(m).textRight, 36);
}
