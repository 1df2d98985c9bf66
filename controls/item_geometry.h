// Where the icon list draws an entry's glyph and text lines: the glyph at
// the left, the lines beside it.
#pragma once

struct ItemMetrics {
  bool hasGlyphs = false;
  int clientWidth = 0;  // CW
  int itemHeight = 0;   // IH
  int glyphWidth = 0, glyphHeight = 0;
  int lineCount = 0;   // N
  int lineHeight = 0;  // LH
  int textWidth = 0;   // TW, the widest line
};

struct ItemGeometry {
  int width = 0, height = 0;    // the off-screen image, W x H
  int textX = 0, textY = 0;     // top-left of line 0; line i is lineHeight lower
  int glyphX = 0, glyphY = 0;
};

ItemGeometry ComputeItemGeometry(const ItemMetrics& m);
