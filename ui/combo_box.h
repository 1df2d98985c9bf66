// A drop-down list (no typing) whose background colour can be set.
#pragma once
#include <functional>
#include <vector>

#include "ui/color.h"
#include "ui/control.h"
#include "ui/gdi.h"

namespace ui {

// The box as the system takes it: the closed box with the open list's room below.
inline Box Dropped(Box closed, int dropHeight) {
  closed.height += dropHeight;
  return closed;
}

class ComboBox : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    Box bounds;  // closed; the open list drops below it
    int id = 0;
    std::vector<const char*> items;
    int itemHeight = 0;
    int dropHeight = 0;  // the open list's room, at the window's DPI
  };
  bool Create(const Args& a);
  // Places the closed box with room `dropHeight` below it for the open list.
  void SetClosedBounds(const Box& b, int dropHeight);
  int ItemIndex() const { return static_cast<int>(SendMessageA(hwnd(), CB_GETCURSEL, 0, 0)); }
  // Selecting from the program does not count as the user's change.
  void SetItemIndex(int i) { SendMessageA(hwnd(), CB_SETCURSEL, i, 0); }
  void SetColor(TColor c);
  // A system colour's brush made anew after the scheme changed.
  void FollowColours() { SetColor(color_); }
  std::function<void()> OnChange;  // the user picked an item

  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  TColor color_ = clBtnFace;
  UniqueBrush brush_;  // owned, in color_
};

}  // namespace ui
