#include "ui/control.h"

#include "base/contrast.h"
#include "base/shown_text.h"
#include "ui/text_calls.h"
#include "ui/window.h"

#include <vector>

namespace ui {

namespace {
// Names the procedure ours replaced, kept on the window only once its wrapper
// has gone while another subclass still sat on top of ours.
constexpr char kOrphanProp[] = "Vorlane.Control.Next";
}  // namespace

// Classic subclassing, not comctl32's: under Wine every message through
// SetWindowSubclass costs server requests (its bookkeeping is a window
// property), while the window's procedure and user data are read in-process.
// Our procedure takes the system's form (Unicode on the NT family, as
// comctl32's was, ANSI on the 9x family, whose wide calls fail), so handlers
// see the messages the window itself takes. The user data and the property
// hold no text: their ANSI calls serve both families.

Control::~Control() {
  // The procedure clears the handle when the window goes, so a handle still
  // held here names our own live window, never one the system has reused.
  if (!hwnd()) return;
  SetWindowLongPtrA(hwnd(), GWLP_USERDATA, 0);
  if (ProcOf(hwnd()) == Proc) {
    ReplaceProc(hwnd(), prevProc_);
    return;
  }
  // A later subclass calls ours: it must go on reaching the one ours replaced.
  SetPropA(hwnd(), kOrphanProp, reinterpret_cast<HANDLE>(prevProc_));
}

// The user data is ours only on a window whose procedure is ours.
Control* Control::FromHandle(HWND w) {
  if (ProcOf(w) != Proc) return nullptr;
  return reinterpret_cast<Control*>(GetWindowLongPtrA(w, GWLP_USERDATA));
}

bool Control::Create(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle,
                     const Box& b, int id) {
  hwnd_ = CreateWindow932(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, b.left, b.top,
                          b.width, b.height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr);
  if (!hwnd()) return false;
  classProc_ = ProcOf(hwnd());
  // The user data first: from the moment ours is in place it finds this wrapper.
  SetWindowLongPtrA(hwnd(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  prevProc_ = ReplaceProc(hwnd(), Proc);
  if (prevProc_) return true;
  // Unsubclassed, the window would outlive this wrapper with user data naming it.
  SetWindowLongPtrA(hwnd(), GWLP_USERDATA, 0);
  return false;
}

LRESULT Control::CallDefault(UINT msg, WPARAM wp, LPARAM lp) {
  return hwnd() ? CallProc(prevProc_, hwnd(), msg, wp, lp) : 0;
}

LRESULT Control::CallClassProc(UINT msg, WPARAM wp, LPARAM lp) const {
  if (!hwnd()) return 0;  // a null window would reach the desktop's
  if (classProc_) return CallProc(classProc_, hwnd(), msg, wp, lp);
  return Send(hwnd(), msg, wp, lp);
}

LRESULT Control::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (!framePainted_ && SkipsNcPaint(hwnd(), msg)) return 0;
  return CallDefault(msg, wp, lp);
}

LRESULT CALLBACK Control::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Control*>(GetWindowLongPtrA(w, GWLP_USERDATA));
  if (!self) return Orphaned(w, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(w, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return CallProc(self->prevProc_, w, msg, wp, lp);
  }
  try {
    return self->OnMessage(msg, wp, lp);
  } catch (...) {
    return CallProc(self->prevProc_, w, msg, wp, lp);
  }
}

LRESULT Control::Orphaned(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const auto next = reinterpret_cast<WNDPROC>(GetPropA(w, kOrphanProp));
  if (msg == WM_NCDESTROY) RemovePropA(w, kOrphanProp);
  return next ? CallProc(next, w, msg, wp, lp) : DefProc(w, msg, wp, lp);
}

bool Control::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool Control::ReadableOnFace(UINT msg, WPARAM wp, LRESULT& result) {
  if (msg != WM_CTLCOLORSTATIC) return false;
  const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_WINDOWTEXT);
  if (!base::DrawInSystemColours(false, {{text, face}})) return false;
  HDC dc = reinterpret_cast<HDC>(wp);
  SetTextColor(dc, base::ReadableOn(face, {GetSysColor(COLOR_BTNTEXT), text}));
  SetBkColor(dc, face);
  result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  return true;
}

void Control::SetBounds(const Box& b) { PlaceWindow(hwnd(), b); }

Box Control::Bounds() const { return BoundsInParent(hwnd()); }

// Straight to the control: no subclass does anything with its text.
void Control::SetText(const std::string& text) {
  if (WideSystem())
    SetText(WideText(text));
  else
    CallClassProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Control::SetText(const std::wstring& text) {
  if (!WideSystem()) return SetText(ShownText(text));
  CallClassProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

namespace {
template <typename Char, typename Call>
std::basic_string<Char> TextThrough(Call call) {
  const auto n = static_cast<int>(call(WM_GETTEXTLENGTH, 0, 0));
  std::vector<Char> buf(static_cast<size_t>(n > 0 ? n : 0) + 1);
  const auto got = static_cast<int>(
      call(WM_GETTEXT, static_cast<WPARAM>(buf.size()), reinterpret_cast<LPARAM>(buf.data())));
  return std::basic_string<Char>(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
}
}  // namespace

std::string Control::Text() const {
  auto call = [this](UINT msg, WPARAM wp, LPARAM lp) { return CallClassProc(msg, wp, lp); };
  return WideSystem() ? ShownText(TextThrough<wchar_t>(call)) : TextThrough<char>(call);
}

void Control::SetEnabled(bool on) { EnableWindow(hwnd(), on ? TRUE : FALSE); }

void Control::SetFont(HFONT font) {
  font_ = base::Borrowed<HFONT>(font);
  SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace ui
