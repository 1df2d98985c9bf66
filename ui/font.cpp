#include "ui/font.h"

#include <cstring>

#include "ui/dpi.h"
#include "ui/text_calls.h"

namespace ui {

UniqueFont CreateFormFont(int dpi) {
  static constexpr char kFace[] = "ＭＳ Ｐゴシック";  // the system's code page would garble it
  return UniqueFont(CreateFont932(-ScaleForDpi(12, dpi), kFace));
}

SIZE MeasureText(HFONT font, const char* text) {
  ClientDC dc(nullptr);
  Selected sel(dc.get(), font);
  return TextExtent932(dc.get(), text);
}

}  // namespace ui
