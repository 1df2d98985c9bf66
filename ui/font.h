// The one font every control of the main window uses.
#pragma once
#include "ui/gdi.h"

namespace ui {

// "ＭＳ Ｐゴシック", 12-pixel characters (height -12), Shift-JIS character set.
UniqueFont CreateFormFont();

// Width and height of `text` drawn in `font`.
SIZE MeasureText(HFONT font, const char* text);

}  // namespace ui
