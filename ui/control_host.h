// A plain window that one control fills. What the control sends its parent
// (draw requests, one delete notice per entry when a list empties, its
// notifications) comes straight here and goes straight to the control's
// wrapper: a system control as the parent would take each through its own
// wrapper and procedure first, once per entry.
#pragma once
#include "ui/control.h"
#include "ui/window.h"

namespace ui {

class ControlHost : public Window {
 public:
  struct Args {
    HWND parent = nullptr;
    Box bounds;
  };
  bool Create(const Args& a);
  // The control that fills the host; borrowed, made as a child of hwnd().
  void Hold(Control* child) { child_ = child; }
  // Moves the host; the control follows in its client area.
  void SetBounds(const Box& b);
  // The control's place while the host is at `b`.
  static Box ChildBox(const Box& b) { return {0, 0, b.width, b.height}; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  Control* child_ = nullptr;  // borrowed: the form owns both
};

}  // namespace ui
