// Base of the windows of our own classes, and what the wrappers around
// system controls share. A window finds its object through GWLP_USERDATA
// (attached at WM_NCCREATE, cleared at WM_NCDESTROY); a control's wrapper is
// found in its window's user data too, once its procedure is ours, so that a
// parent can reflect WM_COMMAND, WM_NOTIFY, WM_DRAWITEM and the colour
// messages to the child's own wrapper.
#pragma once
#include <windows.h>

#include "ui/box.h"

namespace ui {

class Control;

// The child a notification or colour request comes from; null for others.
HWND NotificationSource(UINT msg, WPARAM wp, LPARAM lp);
// Finds the wrapper of the control a notification comes from and lets it
// answer. Returns true when the wrapper handled the message.
bool ReflectToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers a class whose procedure dispatches to HandleMessage.
  static void RegisterClassOnce(const char* cls, HICON icon, HBRUSH background, UINT style = 0);
  bool CreateWin(DWORD exStyle, const char* cls, const char* title, DWORD style, int x, int y,
                 int w, int h, HWND parent, int id);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;  // owned: destroyed with this object unless it has already gone
};

// Registers `wc` for this module, with the arrow pointer, unless a class of
// its name already is: every window class of the program is made here, a
// Unicode class on the NT family (its windows' texts are UTF-16).
void RegisterModuleClass(WNDCLASSEXA wc);

// True when a button release at client point `lp` (as the mouse messages
// carry it) lies inside `w`: a press counts as a click only then.
bool ReleasedInside(HWND w, LPARAM lp);

// True when `w` has no frame, edge or scroll bar: its WM_NCPAINT has
// nothing to draw, though Wine's default answer still takes a window device
// context for it (about a millisecond per control when a window is shown).
bool HasNoFrame(HWND w);
// True for a WM_NCPAINT that `w` can skip, having no frame.
inline bool SkipsNcPaint(HWND w, UINT msg) { return msg == WM_NCPAINT && HasNoFrame(w); }

// Moves a child window to a box in its parent's client coordinates.
void PlaceWindow(HWND w, const Box& b);

// A child window's rectangle in its parent's client coordinates.
Box BoundsInParent(HWND w);

}  // namespace ui
