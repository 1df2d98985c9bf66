#include "ui/label.h"

#include "ui/font.h"

namespace ui {

bool Label::Create(HWND parent, int left, int top, int id, const char* text, HFONT font) {
  size_ = MeasureText(font, text);
  if (!Control::Create(parent, "STATIC", text, SS_LEFT | SS_NOPREFIX, 0,
                       {left, top, size_.cx, size_.cy}, id))
    return false;
  SetFont(font);
  return true;
}

}  // namespace ui
