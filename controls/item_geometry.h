// Where the icon list draws an entry's glyph and text lines: the glyph at
// the left, the lines beside it, and two figures right-aligned on the
// second and third lines, which cut those lines before them.
#pragma once

struct ItemMetrics {
  bool hasGlyphs = false;
  int clientWidth = 0;  // CW
  int itemHeight = 0;   // IH
  int glyphWidth = 0, glyphHeight = 0;
  int lineCount = 0;   // N
  int lineHeight = 0;  // LH
  int textWidth = 0;   // TW, the widest line
  int figureWidth = 0;  // the room kept for the figures; 0: none drawn
};

struct ItemGeometry {
  int width = 0, height = 0;    // the off-screen image, W x H
  int textX = 0, textY = 0;     // top-left of line 0; line i is lineHeight lower
  int glyphX = 0, glyphY = 0;
  // The figures end at figureRight; the second and third lines end at
  // textRight (the image's width when there are no figures).
  int figureRight = 0, textRight = 0;
};

ItemGeometry ComputeItemGeometry(const ItemMetrics& m);
