// A status bar with one simple panel.
#pragma once
#include "ui/control.h"

namespace ui {

class StatusBar : public Control {
 public:
  bool Create(HWND parent, int id, const char* text);
};

}  // namespace ui
