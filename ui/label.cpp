#include "ui/label.h"

#include "ui/font.h"
#include "ui/window.h"

namespace ui {

bool Label::Create(const Args& a) {
  size_ = a.size.cx > 0 ? a.size : MeasureText(a.font, a.text);
  framePainted_ = false;
  if (!Control::Create(a.parent, "STATIC", a.text, SS_LEFT | SS_NOPREFIX, 0,
                       {a.left, a.top, size_.cx, size_.cy}, a.id))
    return false;
  SetFont(a.font);
  return true;
}

bool Label::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  return ReadableOnFace(msg, wp, result);
}

void Label::SetFontAndSize(HFONT font) {
  size_ = MeasureText(font, Text().c_str());
  SetFont(font);
}

}  // namespace ui
