// A status bar with one simple panel.
#pragma once
#include "ui/control.h"

namespace ui {

class StatusBar : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    int id = 0;
    const char* text = "";
  };
  bool Create(const Args& a);
};

}  // namespace ui
