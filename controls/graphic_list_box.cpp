#include "controls/graphic_list_box.h"

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace {

constexpr UINT_PTR kHoverTimerId = 1;
constexpr UINT kHoverInterval = 100;

ui::UniqueFont DefaultFont() {
  LOGFONTA lf{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  return ui::UniqueFont(CreateFontIndirectA(&lf));
}

int FontHeight(HFONT f) {
  LOGFONTA lf{};
  if (!f || !GetObjectA(f, sizeof lf, &lf)) return 0;
  return lf.lfHeight;
}

void Polyline3(HDC dc, POINT a, POINT b, POINT c, COLORREF color) {
  ui::UniquePen pen(CreatePen(PS_SOLID, 1, color));
  ui::Selected sel(dc, pen.get());
  POINT pts[3] = {a, b, c};
  Polyline(dc, pts, 3);
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  ui::UniqueBrush brush(CreateSolidBrush(color));
  FillRect(dc, &r, brush.get());
}

}  // namespace

TGraphicListBox::TGraphicListBox()
    : ownFocusedFont_(DefaultFont()), ownSelectedFont_(DefaultFont()) {
  FocusedFont.handle = ownFocusedFont_.get();
  SelectedFont.handle = ownSelectedFont_.get();
}

TGraphicListBox::~TGraphicListBox() {
  if (hwnd() && timerOn_) KillTimer(hwnd(), kHoverTimerId);
}

bool TGraphicListBox::Create(const Args& a) {
  font_ = a.font;
  if (!Control::Create(a.parent, "LISTBOX", "",
                       LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                           WS_VSCROLL | WS_TABSTOP,
                       WS_EX_CLIENTEDGE, a.bounds, a.id))
    return false;
  SetFont(a.font);
  // The list asks for its item height while it is being created, before
  // its wrapper can answer: the height is set here instead.
  UpdateAutoItemHeight();
  if (pendingItemHeight_ > 0) SetItemHeight(pendingItemHeight_);
  return true;
}

void TGraphicListBox::SetAutoItemHeight(bool v) {
  autoItemHeight_ = v;
  UpdateAutoItemHeight();
}

void TGraphicListBox::SetGlyphs(const ui::ImageList* list) {
  glyphs_ = list;
  UpdateAutoItemHeight();
}

void TGraphicListBox::SetLayout(TButtonLayout l) {
  layout_ = l;
  UpdateAutoItemHeight();
}

void TGraphicListBox::UpdateAutoItemHeight() {
  if (!autoItemHeight_) return;
  SetItemHeight(::AutoItemHeight(FontHeight(font_.get()), glyphs_ != nullptr,
                                 glyphs_ ? glyphs_->Height() : 0, layout_));
}

int TGraphicListBox::ItemHeight() const {
  if (!hwnd()) return pendingItemHeight_;
  return static_cast<int>(SendMessageA(hwnd(), LB_GETITEMHEIGHT, 0, 0));
}

void TGraphicListBox::SetItemHeight(int h) {
  if (h <= 0) return;
  if (!hwnd()) {
    pendingItemHeight_ = h;
    return;
  }
  if (h == ItemHeight()) return;
  SendMessageA(hwnd(), LB_SETITEMHEIGHT, 0, h);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

int TGraphicListBox::Count() const { return static_cast<int>(SendMessageA(hwnd(), LB_GETCOUNT, 0, 0)); }
int TGraphicListBox::ItemIndex() const { return static_cast<int>(SendMessageA(hwnd(), LB_GETCURSEL, 0, 0)); }
void TGraphicListBox::SetItemIndex(int i) { SendMessageA(hwnd(), LB_SETCURSEL, i, 0); }
void TGraphicListBox::Clear() { CallList(LB_RESETCONTENT, 0, 0); }

void TGraphicListBox::AddItem(const std::string& text) {
  SendMessageA(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TGraphicListBox::SetItems(const std::vector<std::string>& texts) {
  CallList(WM_SETREDRAW, FALSE, 0);
  CallList(LB_RESETCONTENT, 0, 0);
  CallList(LB_INITSTORAGE, texts.size(), texts.size() * 96);
  for (const std::string& text : texts)
    CallList(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  CallList(WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT TGraphicListBox::CallList(UINT msg, WPARAM wp, LPARAM lp) const {
  return CallClassProc(msg, wp, lp);
}

std::string TGraphicListBox::ItemText(int i) const {
  LRESULT n = SendMessageA(hwnd(), LB_GETTEXTLEN, i, 0);
  if (n == LB_ERR) return {};
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  SendMessageA(hwnd(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
  return std::string(buf.data());
}

void TGraphicListBox::FilterDrawRequest(DRAWITEMSTRUCT& d) { d.itemState &= ~ODS_FOCUS; }

void TGraphicListBox::DrawRequest(HDC dc, int index, RECT rect, UINT state) {
  DRAWITEMSTRUCT d{};
  d.hDC = dc;
  d.itemID = static_cast<UINT>(index);
  d.rcItem = rect;
  d.itemState = state;
  FilterDrawRequest(d);
  if (index >= 0) {
    PaintItem(dc, index, rect, d.itemState);
  } else {
    FillSolid(dc, rect, ui::ColorToRGB(Color));
  }
  if (d.itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
}

void TGraphicListBox::PaintItem(HDC surface, int index, const RECT& rect, UINT state) {
  const bool selected = state & kSelected, hot = state & kHot;
  COLORREF surfaceBrush = ui::ColorToRGB(Color);
  TFontRef font{font_.get(), ui::clWindowText};
  if (Flat && selected) {
    surfaceBrush = ui::ColorToRGB(ui::clHighlight);
    font.color = ui::clHighlightText;
  }
  RECT client;
  GetClientRect(hwnd(), &client);
  const std::string text = ItemText(index);
  const std::vector<std::string_view> lines = SplitLines(text);

  ItemMetrics m;
  m.layout = layout_;
  m.hasGlyphs = glyphs_ != nullptr;
  m.glyphWidth = glyphs_ ? glyphs_->Width() : 0;
  m.glyphHeight = glyphs_ ? glyphs_->Height() : 0;
  m.clientWidth = client.right;
  m.itemHeight = ItemHeight();
  m.lineCount = static_cast<int>(lines.size());
  {
    ui::Selected sel(surface, font_.get());
    SIZE whole{};
    GetTextExtentPoint32A(surface, text.c_str(), static_cast<int>(text.size()), &whole);
    m.lineHeight = whole.cy;
    for (std::string_view line : lines) {
      SIZE s{};
      GetTextExtentPoint32A(surface, line.data(), static_cast<int>(line.size()), &s);
      m.textWidth = std::max<int>(m.textWidth, s.cx);
    }
  }
  const ItemGeometry g = ComputeItemGeometry(m);

  ui::UniqueMemDC image(CreateCompatibleDC(surface));
  ui::UniqueBitmap bits(CreateCompatibleBitmap(surface, g.width, g.height));
  ui::Selected selBits(image.get(), bits.get());

  COLORREF back = surfaceBrush;
  if (!Flat) {
    if (selected) {
      back = ui::ColorToRGB(SelectedColor);
      font = SelectedFont;
    }
    if (hot) {
      back = ui::ColorToRGB(FocusedColor);
      font = FocusedFont;
    }
  }
  FillSolid(image.get(), {0, 0, g.width, g.height}, back);

  {
    ui::Selected selFont(image.get(), font.handle ? font.handle : font_.get());
    SetBkMode(image.get(), OPAQUE);
    SetBkColor(image.get(), back);
    SetTextColor(image.get(), ui::ColorToRGB(font.color));
    for (size_t i = 0; i < lines.size(); ++i)
      TextOutA(image.get(), g.textX, g.textY + static_cast<int>(i) * m.lineHeight,
               lines[i].data(), static_cast<int>(lines[i].size()));
  }

  if (glyphs_ && index < glyphs_->Count()) {
    ui::UniqueMemDC glyph(CreateCompatibleDC(surface));
    ui::UniqueBitmap glyphBits(CreateCompatibleBitmap(surface, m.glyphWidth, m.glyphHeight));
    ui::Selected selGlyph(glyph.get(), glyphBits.get());
    FillSolid(glyph.get(), {0, 0, m.glyphWidth, m.glyphHeight}, back);
    ImageList_DrawEx(glyphs_->get(), index, glyph.get(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT,
                     ILD_NORMAL);
    if (layout_ == blGlyphRight)
      FillSolid(image.get(), {g.clearColumnsAt, 0, g.clearColumnsAt + 2, g.height}, back);
    if (g.clearRowAt >= 0) FillSolid(image.get(), {0, g.clearRowAt, g.width, g.clearRowAt + 1}, back);
    BitBlt(image.get(), g.glyphX, g.glyphY, m.glyphWidth, m.glyphHeight, glyph.get(), 0, 0, SRCCOPY);
  }

  if (!Flat) {
    const int cw = m.clientWidth, ih = m.itemHeight;
    auto frame = [&](ui::TColor first, ui::TColor second) {
      Polyline3(image.get(), {0, ih - 1}, {0, 0}, {cw - 1, 0}, ui::ColorToRGB(first));
      Polyline3(image.get(), {0, ih - 1}, {cw - 1, ih - 1}, {cw - 1, 0}, ui::ColorToRGB(second));
    };
    if (selected) frame(BorderShadow, BorderHighlight);
    if (hot) frame(BorderHighlight, BorderShadow);
  }

  FillSolid(surface, rect, surfaceBrush);
  SetStretchBltMode(surface, COLORONCOLOR);
  StretchBlt(surface, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
             image.get(), 0, 0, m.clientWidth, m.itemHeight, SRCCOPY);
  if (Flat && selected) DrawFocusRect(surface, &rect);
}

void TGraphicListBox::SetTimerEnabled(bool on) {
  if (on == timerOn_) return;
  timerOn_ = on;
  if (on)
    SetTimer(hwnd(), kHoverTimerId, kHoverInterval, nullptr);
  else
    KillTimer(hwnd(), kHoverTimerId);
}

void TGraphicListBox::PointerEntered() {
  if (Count() > 0) SetTimerEnabled(true);
}

void TGraphicListBox::PointerLeft() {
  SetTimerEnabled(false);
  PaintHotItem(false);
  hotIndex_ = -1;
}

void TGraphicListBox::TrackHotItem() {
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(hwnd(), &p);
  int found = -1;
  RECT client;
  GetClientRect(hwnd(), &client);
  if (PtInRect(&client, p)) {
    LRESULT r = SendMessageA(hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    if (HIWORD(r) == 0 && static_cast<int>(LOWORD(r)) < Count()) found = LOWORD(r);
  }
  if (found == hotIndex_) return;
  PaintHotItem(false);
  hotIndex_ = found;
  PaintHotItem(true);
}

void TGraphicListBox::PaintHotItem(bool hot) {
  if (hotIndex_ < 0 || hotIndex_ >= Count()) return;
  RECT r;
  SendMessageA(hwnd(), LB_GETITEMRECT, hotIndex_, reinterpret_cast<LPARAM>(&r));
  UINT state = SendMessageA(hwnd(), LB_GETSEL, hotIndex_, 0) > 0 ? kSelected : 0;
  if (hot) state |= kHot;
  ui::WindowDC dc(hwnd());
  PaintItem(dc.get(), hotIndex_, r, state);
}

bool TGraphicListBox::OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_DRAWITEM) {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    DrawRequest(d->hDC, static_cast<int>(d->itemID), d->rcItem, d->itemState);
    result = TRUE;
    return true;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == LBN_SELCHANGE) {
    if (OnClick) OnClick();
    result = 0;
    return true;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == LBN_DBLCLK && OnDblClick) {
    OnDblClick();
    result = 0;
    return true;
  }
  if (msg == WM_CTLCOLORLISTBOX) {
    SetBkColor(reinterpret_cast<HDC>(wp), ui::ColorToRGB(Color));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    return Color == ui::clWindow;
  }
  return false;
}

LRESULT TGraphicListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
        tracking_ = TrackMouseEvent(&tme) != FALSE;
        PointerEntered();
      }
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      PointerLeft();
      return 0;
    case WM_CONTEXTMENU:
      if (OnContextMenu) {
        OnContextMenu(lp);
        return 0;
      }
      break;
    case WM_CHAR:
      if (OnChar && OnChar(static_cast<char>(wp))) return 0;
      break;
    case WM_TIMER:
      if (wp == kHoverTimerId) {
        TrackHotItem();
        return 0;
      }
      break;
  }
  return CallDefault(msg, wp, lp);
}
