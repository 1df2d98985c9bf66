// Pointing at a window on the screen to find its process. While it runs, a
// low-level mouse hook takes every click (the window under the pointer
// receives none), the pointer is a crosshair and the top-level window under
// it is outlined. The owner is told of the end by a posted message.
#pragma once
#include <windows.h>

// Posted to the owner: a left click at the point in lParam (screen
// coordinates) ended the pointing.
inline constexpr UINT kWmPointerClicked = WM_APP + 0x331;
// Posted to the owner: a right click ended it, nothing chosen.
inline constexpr UINT kWmPointerCancelled = WM_APP + 0x332;

class WindowPointer {
 public:
  WindowPointer() = default;
  WindowPointer(const WindowPointer&) = delete;
  WindowPointer& operator=(const WindowPointer&) = delete;
  ~WindowPointer() { End(); }

  // Whether the system has the low-level mouse hook: not the 9x family.
  static bool Supported();
  // Starts pointing for `owner`, the outline as thick as `dpi` asks; false
  // where the hook cannot be set (the 9x family, NT 4.0 before its third
  // service pack), and then nothing has changed.
  bool Start(HWND owner, int dpi);
  // Ends pointing: the hook gone, nothing outlined, the pointer as it was.
  void End();
  bool Active() const { return hook_ != nullptr; }
  // The top-level window at `p` on the screen, the outline left out; null
  // over none.
  HWND WindowAt(POINT p) const;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
  void Moved(POINT p);
  void Outline(HWND target);
  bool IsEdge(HWND w) const;

  HWND owner_ = nullptr;
  HHOOK hook_ = nullptr;
  HWND edges_[4] = {};  // top, bottom, left, right: owned popups of owner_
  HWND outlined_ = nullptr;
  RECT outlinedRect_{};
  HCURSOR before_ = nullptr;
  int thickness_ = 3;
  // The one pointing the hook serves: a hook procedure takes no data of its own.
  static WindowPointer* active_;
};
