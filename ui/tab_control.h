// The system tab control, with fixed-size tabs that light up under the mouse.
#pragma once
#include <functional>
#include <initializer_list>

#include "ui/control.h"

namespace ui {

class TabControl : public Control {
 public:
  bool Create(HWND parent, const Box& b, int id, std::initializer_list<const char*> tabs,
              int tabWidth, int tabHeight);
  int TabIndex() const;
  void SetTabIndex(int index);
  // The area below the tabs, in the tab control's client coordinates.
  Box DisplayArea() const;
  std::function<void()> OnChange;

  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace ui
