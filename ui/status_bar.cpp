#include "ui/status_bar.h"

#include <algorithm>

#include "base/contrast.h"
#include "base/shown_text.h"
#include "ui/gdi.h"
#include "ui/text_calls.h"

namespace ui {

namespace {

constexpr WPARAM kSimplePart = 255;

// The light bar a visual style paints whatever the scheme.
constexpr uint32_t kStyledBarBack = 0xFFFFFF;

}  // namespace

bool StatusBar::Create(const Args& a) {
  if (!Control::Create(a.parent, STATUSCLASSNAMEA, "", CCS_BOTTOM, 0, {0, 0, 0, 0}, a.id))
    return false;
  text_ = a.text;
  SendMessageA(hwnd(), SB_SIMPLE, TRUE, 0);
  FollowColours();
  return true;
}

void StatusBar::SetStatus(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  FollowColours();
}

void StatusBar::FollowColours() {
  // A visual style keeps its light bar whatever the scheme (Wine styles
  // even this classic status bar), while the bar writes in the scheme's
  // button text colour: light on light in a dark scheme. There the text is
  // ours to draw, on the scheme's button face.
  const bool ours = base::DrawInSystemColours(false, {{GetSysColor(COLOR_BTNTEXT), kStyledBarBack}});
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
  // Our procedure takes the system's form; the system converts for askers of
  // the other. On the 9x family it is ANSI: code page 932 bytes, counted in
  // bytes, never cut inside a character.
  if (!WideSystem()) {
    if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text_.size());
    std::string shown = text_;
    if (wp > 0) CutText(shown, wp - 1);
    return CopyText(shown, wp, lp);
  }
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
