#include "ui/font.h"

#include <cstring>

#include "ui/dpi.h"

namespace ui {

UniqueFont CreateFormFont(int dpi) {
  return UniqueFont(CreateFontA(-ScaleForDpi(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック"));
}

SIZE MeasureText(HFONT font, const char* text) {
  ClientDC dc(nullptr);
  Selected sel(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32A(dc.get(), text, static_cast<int>(std::strlen(text)), &size);
  return size;
}

}  // namespace ui
