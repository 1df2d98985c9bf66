#include "controls/item_geometry.h"

#include <algorithm>

ItemGeometry ComputeItemGeometry(const ItemMetrics& m) {
  const int gw = m.hasGlyphs ? m.glyphWidth : 0;
  const int gh = m.hasGlyphs ? m.glyphHeight : 0;
  const int textHeight = m.lineCount * m.lineHeight;
  ItemGeometry g;
  g.width = std::max(m.hasGlyphs ? m.textWidth + gw + 4 : m.textWidth, m.clientWidth);
  g.height = std::max({textHeight, gh, m.itemHeight});
  g.textX = gw + 4;
  g.textY = (g.height - textHeight) / 2;
  g.glyphX = 2;
  g.glyphY = (g.height - gh) / 2;
  g.textRight = g.width;
  if (m.figureWidth > 0) {
    // Inside the entry's frame, a blank of half a line between text and figures.
    g.figureRight = m.clientWidth - 4;
    g.textRight = std::max(g.textX, g.figureRight - m.figureWidth - m.lineHeight / 2);
  }
  return g;
}
