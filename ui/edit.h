// Read-only edit fields in the parent's colour: single-line, or multi-line
// with a vertical scroll bar (the memo). Their text stays readable on the
// face colour whatever the scheme pairs with it.
#pragma once
#include <string>

#include "ui/control.h"

namespace ui {

class Edit : public Control {
 public:
  enum class Kind { SingleLine, Memo };
  struct Args {
    HWND parent = nullptr;
    Box bounds;
    int id = 0;
    Kind kind = Kind::SingleLine;
    const char* text = "";
    bool visible = true;
    bool tabStop = false;  // reached by Tab, its text selected on arrival
    bool unwrapped = false;  // a memo whose long lines scroll sideways
  };
  bool Create(const Args& a);
  // `text` added at the end, without the whole text laid out again.
  void Append(const std::wstring& text);
  bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

}  // namespace ui
