#include "ui/status_bar.h"

namespace ui {

bool StatusBar::Create(const Args& a) {
  if (!Control::Create(a.parent, STATUSCLASSNAMEA, "", CCS_BOTTOM, 0, {0, 0, 0, 0}, a.id))
    return false;
  SendMessageA(hwnd(), SB_SIMPLE, TRUE, 0);
  SendMessageA(hwnd(), SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(a.text));
  return true;
}

}  // namespace ui
