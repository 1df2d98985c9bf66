// A picture: an icon or a bitmap, with an optional click handler and hint.
#pragma once
#include <functional>

#include "ui/gdi.h"
#include "ui/window.h"

namespace ui {

using CursorLoader = HCURSOR(WINAPI*)(HINSTANCE, LPCSTR);
// The pointer over a link: the system's hand, or the arrow where there is none.
HCURSOR PointingHandCursor(CursorLoader load);

class Image : public Window {
 public:
  struct Args {
    HWND parent = nullptr;
    Box bounds;
    int id = 0;
    const char* text = "";  // names the picture to screen readers; never drawn
  };
  bool Create(const Args& a);
  // Shows a copy of `icon` (null shows nothing).
  void SetIcon(HICON icon);
  void SetBitmap(int resourceId);
  void SetHint(const char* text);
  bool HasHint() const { return static_cast<bool>(tooltip_); }
  std::function<void()> OnClick;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint();
  UniqueIcon icon_;      // owned copy
  UniqueBitmap bitmap_;  // owned
  UniqueWindow tooltip_; // owned top-level tooltip window
  bool pressed_ = false;
};

}  // namespace ui
