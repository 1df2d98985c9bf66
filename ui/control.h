// Wrapper of one child control. The control window is a borrowed view: its
// parent destroys it. Notifications the parent receives come back here
// through OnReflect.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "base/handles.h"
#include "ui/box.h"

namespace ui {

class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  // The wrapper of a window whose procedure is ours; null for any other,
  // also for one another subclass has since been put on top of.
  static Control* FromHandle(HWND w);

  HWND hwnd() const { return hwnd_.get(); }
  void SetBounds(const Box& b);
  Box Bounds() const;  // in the parent's client coordinates
  // Code page 932 text; the true text of a field (UTF-16).
  void SetText(const std::string& text);
  void SetText(const std::wstring& text);
  std::string Text() const;
  void SetEnabled(bool on);
  bool Enabled() const { return IsWindowEnabled(hwnd()) != FALSE; }
  void SetFont(HFONT font);
  // The font last set (borrowed), without asking the window: under Wine each
  // message through the subclass costs server requests. Null when none was.
  HFONT Font() const { return font_.get(); }

  // Answers a notification reflected by the parent; true when handled.
  virtual bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

 protected:
  bool Create(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle,
              const Box& b, int id);
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  // A static's colours (WM_CTLCOLORSTATIC): the system's, unless a scheme
  // puts its window text unreadably on the face colour (black on a dark
  // face); then a text colour readable there. True when it answered.
  static bool ReadableOnFace(UINT msg, WPARAM wp, LRESULT& result);
  // The procedure ours replaced, with the message as OnMessage got it.
  // Both answer 0 once the window has gone.
  LRESULT CallDefault(UINT msg, WPARAM wp, LPARAM lp);
  // The system control's own procedure, past ours, with a message as the
  // window takes it: UTF-16 texts on the NT family, ANSI on the 9x family.
  LRESULT CallClassProc(UINT msg, WPARAM wp, LPARAM lp) const;
  // False for a control made without a frame: its WM_NCPAINT is skipped
  // while it has none (see SkipsNcPaint).
  bool framePainted_ = true;

 private:
  // Routes the control's own messages to OnMessage; every control is
  // subclassed at creation, so that its wrapper learns when the window goes.
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  // After its wrapper: forwards to the procedure ours replaced.
  static LRESULT Orphaned(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  base::Borrowed<HWND> hwnd_;  // the parent window destroys it
  WNDPROC prevProc_ = nullptr;   // the procedure ours replaced (the system's form)
  WNDPROC classProc_ = nullptr;  // the procedure the window was created with
  base::Borrowed<HFONT> font_;
};

}  // namespace ui
