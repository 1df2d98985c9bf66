// A status bar with one simple panel.
#pragma once
#include <string>

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
  void SetText(std::string text);
  // Takes the system's colours again (at creation and on their change).
  void FollowColours();

  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  // Its window text is its status text, for screen readers and automation.
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  std::string text_;
};

}  // namespace ui
