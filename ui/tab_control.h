// The system tab control, with fixed-size tabs that light up under the mouse.
#pragma once
#include <functional>
#include <vector>

#include "ui/control.h"

namespace ui {

class TabControl : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    Box bounds;
    int id = 0;
    std::vector<const char*> tabs;
    int tabWidth = 0, tabHeight = 0;
  };
  bool Create(const Args& a);
  int TabIndex() const;
  int TabCount() const;
  void SetTabIndex(int index);
  // The area below the tabs, in the tab control's client coordinates.
  Box DisplayArea() const;
  std::function<void()> OnChange;

  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace ui
