// A static text that sizes itself to its text in its font, readable on the
// face colour whatever the scheme pairs with it.
#pragma once
#include "ui/control.h"

namespace ui {

class Label : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    int left = 0, top = 0;  // the size follows the text
    int id = 0;
    const char* text = "";
    HFONT font = nullptr;  // borrowed
    SIZE size{};  // the text's size in the font where measured already; else measured here
  };
  bool Create(const Args& a);
  // A new font (borrowed), the size following the text in it.
  void SetFontAndSize(HFONT font);
  int Width() const { return size_.cx; }
  int Height() const { return size_.cy; }
  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  SIZE size_{};
};

}  // namespace ui
