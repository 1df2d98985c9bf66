#include "ui/font.h"

#include <cstring>

#include "base/shown_text.h"
#include "ui/dpi.h"
#include "ui/text_calls.h"

namespace ui {

UniqueFont CreateFormFont(int dpi) {
  static constexpr char kFace[] = "ＭＳ Ｐゴシック";  // the system's code page would garble it
  if (WideSystem())
    return UniqueFont(CreateFontW(-ScaleForDpi(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, WideText(kFace).c_str()));
  return UniqueFont(CreateFontA(-ScaleForDpi(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, kFace));
}

SIZE MeasureText(HFONT font, const char* text) {
  ClientDC dc(nullptr);
  Selected sel(dc.get(), font);
  return TextExtent932(dc.get(), text);
}

}  // namespace ui
