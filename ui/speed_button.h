// A latching button: in a group exactly one is down, and a click puts the
// clicked one down. It takes no keyboard focus.
#pragma once
#include <vector>

#include "ui/bitmap_button.h"

namespace ui {

class SpeedButton : public BitmapButton {
 public:
  // Takes no keyboard focus, whatever `a.tabStop` says.
  bool Create(Args a);
  // Buttons of one group; each must outlive the others' use of it.
  void JoinGroup(std::vector<SpeedButton*>* group) { group_ = group; }
  bool Down() const { return down_; }
  void SetDown(bool down);

 protected:
  bool LooksDown(const DRAWITEMSTRUCT& d) const override;
  void Clicked() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool down_ = false;
  std::vector<SpeedButton*>* group_ = nullptr;  // borrowed, owned by the form
};

}  // namespace ui
