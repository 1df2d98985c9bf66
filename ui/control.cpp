#include "ui/control.h"

#include "ui/window.h"

#include <vector>

namespace ui {

namespace {
constexpr char kProp[] = "Vorlane.Control";
constexpr UINT_PTR kSubclassId = 1;
}  // namespace

Control::~Control() {
  // The subclass clears the handle when the window goes, so a handle still held
  // here names our own live window, never one the system has reused.
  if (!hwnd()) return;
  if (subclassed_) RemoveWindowSubclass(hwnd(), SubclassProc, kSubclassId);
  RemovePropA(hwnd(), kProp);
}

Control* Control::FromHandle(HWND w) { return static_cast<Control*>(GetPropA(w, kProp)); }

bool Control::Create(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle,
                     const Box& b, int id) {
  hwnd_ = CreateWindowExA(exStyle, cls, text, style | WS_CHILD | WS_VISIBLE, b.left, b.top,
                          b.width, b.height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleA(nullptr), nullptr);
  if (!hwnd()) return false;
  SetPropA(hwnd(), kProp, this);
  classProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd(), GWLP_WNDPROC));
  Subclass();
  // Unsubclassed, the window would outlive this wrapper with a property naming it.
  if (!subclassed_) RemovePropA(hwnd(), kProp);
  return subclassed_;
}

void Control::Subclass() {
  if (subclassed_) return;
  subclassed_ = SetWindowSubclass(hwnd(), SubclassProc, kSubclassId,
                                  reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

LRESULT Control::CallClassProc(UINT msg, WPARAM wp, LPARAM lp) const {
  if (!classProc_) return SendMessageA(hwnd(), msg, wp, lp);
  return CallWindowProcA(classProc_, hwnd(), msg, wp, lp);
}

LRESULT Control::OnMessage(UINT msg, WPARAM wp, LPARAM lp) { return CallDefault(msg, wp, lp); }

LRESULT CALLBACK Control::SubclassProc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR ref) {
  auto* self = reinterpret_cast<Control*>(ref);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(w, SubclassProc, kSubclassId);
    RemovePropA(w, kProp);
    self->subclassed_ = false;
    self->hwnd_ = nullptr;
    return DefSubclassProc(w, msg, wp, lp);
  }
  try {
    return self->OnMessage(msg, wp, lp);
  } catch (...) {
    return DefSubclassProc(w, msg, wp, lp);
  }
}

bool Control::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void Control::SetBounds(const Box& b) { PlaceWindow(hwnd(), b); }

Box Control::Bounds() const { return BoundsInParent(hwnd()); }

// Straight to the control: no subclass does anything with its text.
void Control::SetText(const std::string& text) {
  CallClassProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string Control::Text() const {
  const auto n = static_cast<int>(CallClassProc(WM_GETTEXTLENGTH, 0, 0));
  std::vector<char> buf(static_cast<size_t>(n > 0 ? n : 0) + 1);
  const auto got = static_cast<int>(
      CallClassProc(WM_GETTEXT, static_cast<WPARAM>(buf.size()), reinterpret_cast<LPARAM>(buf.data())));
  return std::string(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void Control::SetEnabled(bool on) { EnableWindow(hwnd(), on ? TRUE : FALSE); }

void Control::SetFont(HFONT font) {
  font_ = base::Borrowed<HFONT>(font);
  SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace ui
