// Where the icon list draws an entry's glyph and text lines.
#pragma once
#include <string_view>
#include <vector>

enum TButtonLayout { blGlyphLeft = 0, blGlyphRight = 1, blGlyphTop = 2, blGlyphBottom = 3 };

struct ItemMetrics {
  TButtonLayout layout = blGlyphLeft;
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
  int contentHeight = 0;        // CH
  int textX = 0, textY = 0;     // top-left of line 0; line i is lineHeight lower
  int glyphX = 0, glyphY = 0;
  int clearColumnsAt = -1;      // blGlyphRight: two columns from here, full height
  int clearRowAt = -1;          // blGlyphBottom: this row, full width
};

ItemGeometry ComputeItemGeometry(const ItemMetrics& m);

// The item height an auto-sized list takes for a font `fontHeight` (the
// font's Height, negative for a character height) and glyphs GH high.
int AutoItemHeight(int fontHeight, bool hasGlyphs, int glyphHeight, TButtonLayout layout);
