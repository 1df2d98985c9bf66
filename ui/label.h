// A static text that sizes itself to its text in its font.
#pragma once
#include "ui/control.h"

namespace ui {

class Label : public Control {
 public:
  bool Create(HWND parent, int left, int top, int id, const char* text, HFONT font);
  int Width() const { return size_.cx; }
  int Height() const { return size_.cy; }

 private:
  SIZE size_{};
};

}  // namespace ui
