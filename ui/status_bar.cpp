#include "ui/status_bar.h"

#include <algorithm>

#include "base/shown_text.h"
#include "ui/gdi.h"
#include "ui/text_calls.h"

namespace ui {

namespace {

constexpr WPARAM kSimplePart = 255;

// A light text colour: the scheme is a dark one, high contrast for instance.
bool IsLight(COLORREF c) {
  return GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114 > 128 * 1000;
}

}  // namespace

bool StatusBar::Create(const Args& a) {
  if (!Control::Create(a.parent, STATUSCLASSNAMEA, "", CCS_BOTTOM, 0, {0, 0, 0, 0}, a.id))
    return false;
  text_ = a.text;
  SendMessageA(hwnd(), SB_SIMPLE, TRUE, 0);
  FollowColours();
  return true;
}

void StatusBar::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  FollowColours();
}

void StatusBar::FollowColours() {
  // A visual style keeps its light bar whatever the scheme (Wine styles
  // even this classic status bar), while the bar writes in the scheme's
  // button text colour: light on light in a dark scheme. There the text is
  // ours to draw, on the scheme's button face.
  const bool ours = IsLight(GetSysColor(COLOR_BTNTEXT));
  const WPARAM part = kSimplePart | (ours ? SBT_OWNERDRAW : 0);
  const std::wstring wide = WideText(text_);
  if (WideSystem())
    CallClassProc(SB_SETTEXTW, part, ours ? 0 : reinterpret_cast<LPARAM>(wide.c_str()));
  else
    CallClassProc(SB_SETTEXTA, part, ours ? 0 : reinterpret_cast<LPARAM>(text_.c_str()));
  SendMessageA(hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

namespace {
// WM_GETTEXT's answer: at most `room` characters with the terminating zero.
template <typename Char>
LRESULT CopyText(const std::basic_string<Char>& text, WPARAM room, LPARAM lp) {
  if (room == 0 || !lp) return 0;
  const size_t n = std::min<size_t>(text.size(), room - 1);
  Char* out = reinterpret_cast<Char*>(lp);
  std::copy_n(text.data(), n, out);
  out[n] = Char{};
  return static_cast<LRESULT>(n);
}
}  // namespace

LRESULT StatusBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_GETTEXT && msg != WM_GETTEXTLENGTH) return Control::OnMessage(msg, wp, lp);
  // Our procedure is Unicode: the system converts for ANSI askers.
  const std::wstring wide = WideText(text_);
  return msg == WM_GETTEXT ? CopyText(wide, wp, lp) : static_cast<LRESULT>(wide.size());
}

bool StatusBar::OnReflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (msg != WM_DRAWITEM) return false;
  const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
  Selected sel(d.hDC, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor(COLOR_BTNTEXT));
  RECT r = d.rcItem;
  r.left += 2;
  DrawText932(d.hDC, text_, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  result = TRUE;
  return true;
}

}  // namespace ui
