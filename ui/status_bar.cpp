#include "ui/status_bar.h"

namespace ui {

bool StatusBar::Create(HWND parent, int id, const char* text) {
  if (!Control::Create(parent, STATUSCLASSNAMEA, "", CCS_BOTTOM, 0, {0, 0, 0, 0}, id)) return false;
  SendMessageA(hwnd(), SB_SIMPLE, TRUE, 0);
  SendMessageA(hwnd(), SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(text));
  return true;
}

}  // namespace ui
