// The one font every control of the main window uses.
#pragma once
#include "ui/gdi.h"

namespace ui {

// "ＭＳ Ｐゴシック", 12-pixel characters at 96 DPI (height -12) scaled for
// `dpi`, Shift-JIS character set.
UniqueFont CreateFormFont(int dpi = 96);

// Width and height of `text` drawn in `font`.
SIZE MeasureText(HFONT font, const char* text);

}  // namespace ui
