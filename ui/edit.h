// Read-only edit fields in the parent's colour: single-line, or multi-line
// with a vertical scroll bar (the memo).
#pragma once
#include "ui/control.h"

namespace ui {

class Edit : public Control {
 public:
  enum class Kind { SingleLine, Memo };
  bool Create(HWND parent, const Box& b, int id, Kind kind, const char* text, bool visible = true);
};

}  // namespace ui
