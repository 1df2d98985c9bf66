#include "controls/item_geometry.h"

#include <algorithm>
#include <cstdlib>

ItemGeometry ComputeItemGeometry(const ItemMetrics& m) {
  const int gw = m.hasGlyphs ? m.glyphWidth : 0;
  const int gh = m.hasGlyphs ? m.glyphHeight : 0;
  const int textHeight = m.lineCount * m.lineHeight;
  const bool sideways = m.layout == blGlyphLeft || m.layout == blGlyphRight;
  int w0 = m.textWidth, ch = textHeight;
  if (m.hasGlyphs) {
    if (sideways) {
      w0 = m.textWidth + gw + 4;
      ch = std::max(textHeight, gh);
    } else {
      ch = textHeight + gh + 2;
      w0 = std::max(m.textWidth, gw);
    }
  }
  ItemGeometry g;
  g.width = std::max(w0, m.clientWidth);
  g.height = std::max(ch, m.itemHeight);
  g.contentHeight = ch;
  switch (m.layout) {
    case blGlyphLeft:
      g.textX = gw + 4;
      g.textY = (g.height - textHeight) / 2;
      g.glyphX = 2;
      g.glyphY = (g.height - gh) / 2;
      break;
    case blGlyphRight:
      g.textX = 0;
      g.textY = (g.height - textHeight) / 2;
      g.glyphX = g.width - 2 - gw;
      g.glyphY = (g.height - gh) / 2;
      g.clearColumnsAt = g.glyphX - 2;
      break;
    case blGlyphTop:
      g.textX = (g.width - m.textWidth) / 2;
      g.textY = (g.height - ch) / 2 + gh + 2;
      g.glyphX = (g.width - gw) / 2;
      g.glyphY = (g.height - ch) / 2 + 1;
      break;
    case blGlyphBottom:
      g.textX = (g.width - m.textWidth) / 2;
      g.textY = (g.height - ch) / 2;
      g.glyphX = (g.width - gw) / 2;
      g.glyphY = (g.height - ch) / 2 + textHeight + 2;
      g.clearRowAt = g.glyphY - 1;
      break;
  }
  return g;
}

int AutoItemHeight(int fontHeight, bool hasGlyphs, int glyphHeight, TButtonLayout layout) {
  int h = std::abs(fontHeight);
  if (!hasGlyphs) return h;
  if (layout == blGlyphLeft || layout == blGlyphRight) return std::max(h, glyphHeight + 2);
  return h + glyphHeight + 2;
}
