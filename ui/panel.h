// A plain container window. It reflects its children's notifications to
// their wrappers and paints its own bevel and any bevel boxes laid on it.
#pragma once
#include <vector>

#include "ui/window.h"

namespace ui {

class Panel : public Window {
 public:
  enum class Edge { None, Etched };
  struct Args {
    HWND parent = nullptr;
    Box bounds;
    Edge edge = Edge::None;
  };
  bool Create(const Args& a);
  // A lowered frame drawn on the panel (a bevel has no window of its own).
  void SetBevelBox(int index, const Box& b);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint();
  Edge edge_ = Edge::None;
  std::vector<Box> bevels_;
};

}  // namespace ui
